#include "ViewTestApp.h"

#include "formats/ItemDialog.h"
#include "framework/ScriptedUi.h"
#include "res/Strings.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

struct NameCase
{
    std::string url;
    std::string name;
};

class NameFromUrlTest : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(NameFromUrlTest, TakesTheWordBetweenTheFirstTwoDots)
{
    KivTest::EnsureApp();
    KivStrings::SetLanguage(KivStrings::Lang1033);
    EXPECT_EQ(KivItem::NameFromUrl(GetParam().url), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, NameFromUrlTest,
    ::testing::Values(NameCase{"a.bcd.e", "Bcd"}, NameCase{"ab.cd/x", "Cd/x"},
                      NameCase{"http://www.example.com/", "Example"},
                      NameCase{"no dot here", "Nuevo"}, NameCase{".starts.with.dot", "Nuevo"},
                      NameCase{"a..b", "Nuevo"}, NameCase{"", "Nuevo"},
                      NameCase{"x.élan.fr", "Élan"},
                      // Only the first 255 bytes count: the dot at 300 is not seen.
                      NameCase{std::string(300, 'w') + ".late.org", "Nuevo"},
                      // A name cut at 255 bytes keeps whole characters.
                      NameCase{"w." + std::string(252, 'a') + "é", "A" + std::string(251, 'a')}));

struct ClipCase
{
    std::string text;
    std::string url;
};

class UrlFromClipboardTest : public ::testing::TestWithParam<ClipCase>
{
};

TEST_P(UrlFromClipboardTest, TakesShortTextsWithAWebOrFtpAddress)
{
    KivTest::EnsureApp();
    QGuiApplication::clipboard()->setText(QString::fromStdString(GetParam().text));
    EXPECT_EQ(KivItem::UrlFromClipboard(), GetParam().url);
    EXPECT_EQ(KivItem::UrlFromClipboardText(GetParam().text), GetParam().url);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, UrlFromClipboardTest,
    ::testing::Values(ClipCase{"  http://x.org/a \n", "http://x.org/a"},
                      ClipCase{"see ftp://files.org", "see ftp://files.org"},
                      ClipCase{"HTTP://upper.org", ""}, ClipCase{"plain words", ""},
                      ClipCase{" https://secure.org/p\n", "https://secure.org/p"},
                      ClipCase{"http://" + std::string(92, 'a'), "http://" + std::string(92, 'a')},
                      ClipCase{"http://" + std::string(93, 'a'), ""}));

TEST(ItemDialog, EmptyClipboardGivesNoUrl)
{
    KivTest::EnsureApp();
    QGuiApplication::clipboard()->clear();
    EXPECT_EQ(KivItem::UrlFromClipboard(), "");
}

TEST(ItemDialog, ControlsCarryTheirNumbersInTabOrder)
{
    KivTest::EnsureApp();
    CItemDlg dlg;
    EXPECT_EQ(dlg.objectName(), "dialog130");
    EXPECT_EQ(dlg.windowTitle(), "Elemento");
    QWidget* chain = dlg.findChild<QLineEdit*>("edit1000");
    ASSERT_NE(chain, nullptr);
    QStringList order;
    while (order.size() < 5) {
        if (chain->focusPolicy() & Qt::TabFocus)
            order << chain->objectName();
        chain = chain->nextInFocusChain();
    }
    EXPECT_EQ(order, (QStringList{"edit1000", "edit1001", "edit1002", "button1", "button2"}));
    auto* ok = dlg.findChild<QPushButton*>("button1");
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(ok->text(), "Aceptar");
    EXPECT_EQ(dlg.findChild<QPushButton*>("button2")->text(), "Cancelar");
}

TEST(ItemDialog, OkReturnsTheTextsAsTypedAndCancelKeepsThem)
{
    KivTest::EnsureApp();
    CScriptedUi ui;
    CItemDlg dlg;
    dlg.m_strName = "old";
    dlg.m_strUrl = "http://old.example";
    dlg.m_strComment = "c";
    QStringList seen;
    ui.m_dialogScripts.push_back([&seen](QDialog& d) {
        for (const char* id : {"edit1000", "edit1001", "edit1002"})
            seen << d.findChild<QLineEdit*>(id)->text();
        d.findChild<QLineEdit*>("edit1000")->setText("  new name ");
        d.findChild<QLineEdit*>("edit1002")->setText("");
        return QDialog::Accepted;
    });
    EXPECT_EQ(dlg.DoModal(), CUi::IDOK);
    EXPECT_EQ(seen, (QStringList{"old", "http://old.example", "c"}));
    EXPECT_EQ(dlg.m_strName, "  new name ");
    EXPECT_EQ(dlg.m_strUrl, "http://old.example");
    EXPECT_EQ(dlg.m_strComment, "");

    ui.m_dialogScripts.push_back([](QDialog& d) {
        d.findChild<QLineEdit*>("edit1001")->setText("changed");
        return QDialog::Rejected;
    });
    EXPECT_EQ(dlg.DoModal(), CUi::IDCANCEL);
    EXPECT_EQ(dlg.m_strUrl, "http://old.example");
    EXPECT_EQ(ui.m_dialogs, (std::vector<QString>{"dialog130", "dialog130"}));
}

// Qt's edits hold 32,767 characters unless told otherwise: a long data: URL or
// bookmarklet must come back whole from a plain OK, and whole plus the typing after
// an edit.
TEST(ItemDialog, LongTextsComeBackWholeWithOrWithoutAnEdit)
{
    KivTest::EnsureApp();
    CScriptedUi ui;
    CItemDlg dlg;
    const std::string url = "data:text/html," + std::string(100000 - 15, 'u');
    const std::string name = std::string(99999, 'n') + "\xC3\xA9"; // ends in a two-byte character
    dlg.m_strUrl = url;
    dlg.m_strName = name;
    ui.m_dialogScripts.push_back([](QDialog&) { return QDialog::Accepted; });
    ASSERT_EQ(dlg.DoModal(), CUi::IDOK);
    EXPECT_EQ(dlg.m_strUrl.size(), 100000u);
    EXPECT_EQ(dlg.m_strUrl, url);
    EXPECT_EQ(dlg.m_strName, name);

    ui.m_dialogScripts.push_back([](QDialog& d) {
        auto* edit = d.findChild<QLineEdit*>("edit1001");
        edit->end(false);
        edit->insert(QStringLiteral("#x"));
        return QDialog::Accepted;
    });
    ASSERT_EQ(dlg.DoModal(), CUi::IDOK);
    EXPECT_EQ(dlg.m_strUrl, url + "#x");
    EXPECT_EQ(dlg.m_strName, name);
}

}  // namespace
