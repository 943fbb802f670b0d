// The About box: its texts, the read-only contact field and the link.
#include "frame/AboutDlg.h"
#include "frame/HyperLink.h"
#include "framework/ScriptedUi.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

TEST(AboutDlgTest, ShowsVersionContactAndLinkAndClosesWithAceptar)
{
    CScriptedUi ui;
    QString title;
    QStringList texts;
    bool linkCentred = false;
    QString linkText;
    QString address;
    bool readOnly = false;
    QString typedAndCopied;
    ui.m_dialogScripts.push_back([&](QDialog& dialog) {
        title = dialog.windowTitle();
        for (auto* label : dialog.findChildren<QLabel*>())
            texts << label->text();
        if (auto* link = dialog.findChild<CHyperLink*>(QStringLiteral("static1009"))) {
            linkText = link->text();
            linkCentred = link->alignment() & Qt::AlignHCenter;
        }
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("edit1002"));
        if (edit) {
            address = edit->text();
            readOnly = edit->isReadOnly();
            // Typing changes nothing; selecting and copying works.
            QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
            QApplication::sendEvent(edit, &key);
            edit->selectAll();
            edit->copy();
            typedAndCopied = edit->text() + QLatin1Char('|') + QApplication::clipboard()->text();
        }
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("button1"));
        EXPECT_TRUE(ok && ok->isDefault());
        if (ok)
            ok->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        return QDialog::Accepted;
    });

    CAboutDlg dlg;
    EXPECT_EQ(dlg.DoModal(), CUi::IDOK);
    EXPECT_EQ(ui.m_dialogs, std::vector<QString>{QStringLiteral("dialog100")});
    EXPECT_EQ(title, QStringLiteral("Acerca de kiv"));
    EXPECT_TRUE(texts.join(QLatin1Char('\n')).contains(QStringLiteral("Versión 1.4.0")));
    EXPECT_EQ(linkText, QString::fromLatin1(CAboutDlg::kWebAddress));
    EXPECT_TRUE(linkCentred);
    EXPECT_EQ(address, QString::fromLatin1(CAboutDlg::kContactAddress));
    EXPECT_TRUE(readOnly);
    EXPECT_EQ(typedAndCopied, address + QLatin1Char('|') + address);
}

}  // namespace
