// The option dialogs on their own: controls, texts, folder lists, browse buttons and
// data exchange, answered by a scripted CUi.
#include "FormatDialogsSupport.h"
#include "app/AppTestSupport.h"

#include "formats/CompareDlg.h"
#include "formats/FavoritesDlg.h"
#include "framework/ScriptedUi.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace FormatDialogsTest;

namespace {

class Dialogs : public ::testing::Test
{
protected:
    // Runs `dialog` with `script` answering it.
    template <class Dlg>
    int Run(Dlg& dialog, std::function<int(QDialog&)> script)
    {
        m_env.m_ui->m_dialogScripts.push_back(std::move(script));
        return dialog.DoModal();
    }

    KivAppTest::AppEnv m_env;
    FakeHome m_home;
};

struct ControlRow
{
    const char* dialog;
    const char* caption;
    std::vector<std::pair<const char*, const char*>> controls; // object name, text
    std::vector<const char*> labels;
};

std::unique_ptr<QDialog> MakeDialog(const std::string& name)
{
    if (name == "dialog104")
        return std::make_unique<CImportShortcutsDlg>();
    if (name == "dialog136")
        return std::make_unique<CExportShortcutsDlg>();
    return std::make_unique<CCompareDlg>();
}

class DialogControls : public Dialogs, public ::testing::WithParamInterface<ControlRow>
{};

TEST_P(DialogControls, EveryControlWithItsNumberAndText)
{
    const ControlRow& row = GetParam();
    std::unique_ptr<QDialog> dialog = MakeDialog(row.dialog);
    EXPECT_EQ(dialog->objectName(), QString::fromLatin1(row.dialog));
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8(row.caption));
    for (const auto& [name, text] : row.controls)
        EXPECT_EQ(ControlText(*dialog, QString::fromLatin1(name)), QString::fromUtf8(text))
            << name;
    QStringList labels;
    for (const QLabel* label : dialog->findChildren<QLabel*>())
        labels << label->text();
    QStringList expected;
    for (const char* text : row.labels)
        expected << QString::fromUtf8(text);
    labels.sort();
    expected.sort();
    EXPECT_EQ(labels, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Templates, DialogControls,
    ::testing::Values(
        ControlRow{"dialog104",
                   "Importar accesos directos",
                   {{"combo1001", ""}, {"button1002", "..."},
                    {"check1003", "Incluir subcarpetas"}, {"check1005", "Borrar acceso directo"},
                    {"button1", "Aceptar"}, {"button2", "Cancelar"}},
                   {"Carpeta :"}},
        ControlRow{"dialog136",
                   "Exportar accesos directos",
                   {{"edit1001", ""}, {"button1002", "..."},
                    {"check1005", "Quitar accesos directos previos"}, {"button1", "Aceptar"},
                    {"button2", "Cancelar"}},
                   {"Carpeta:"}},
        ControlRow{"dialog137",
                   "Comparar",
                   {{"combo1001", ""}, {"button1002", "..."}, {"check1003", "Incluir subcarpetas"},
                    {"edit1004", ""}, {"button1005", "..."}, {"edit1006", ""},
                    {"button1007", "..."}, {"button1", "Aceptar"}, {"button2", "Cancelar"}},
                   {"Carpeta IE:", "Archivo Netscape:", "Archivo Opera:"}}),
    [](const auto& info) { return std::string(info.param.dialog); });

// Shown on screen, every control lies inside the dialog, shows its whole text and
// overlaps no other control. KIV_DIALOG_SHOTS names a folder for a picture of each.
TEST_P(DialogControls, ControlsFitWhenShown)
{
    std::unique_ptr<QDialog> dialog = MakeDialog(GetParam().dialog);
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    const QRect inside = dialog->rect();
    std::vector<QWidget*> controls;
    for (QWidget* child : dialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (child->isVisible())
            controls.push_back(child);
    ASSERT_GE(controls.size(), GetParam().controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const QWidget* w = controls[i];
        const std::string name = w->objectName().toStdString();
        EXPECT_TRUE(inside.contains(w->geometry())) << name;
        // A push button needs room for its text; everything else its minimum size.
        const auto* button = qobject_cast<const QPushButton*>(w);
        const int needed = button ? w->fontMetrics().horizontalAdvance(button->text()) + 8
                                  : w->minimumSizeHint().width();
        EXPECT_GE(w->width(), needed) << name;
        EXPECT_GE(w->height(), w->minimumSizeHint().height()) << name;
        for (size_t j = i + 1; j < controls.size(); ++j) {
            EXPECT_FALSE(w->geometry().intersects(controls[j]->geometry()))
                << name << " / " << controls[j]->objectName().toStdString();
        }
    }
    const QByteArray shots = qgetenv("KIV_DIALOG_SHOTS");
    if (!shots.isEmpty()) {
        const QString file = QDir(QString::fromLocal8Bit(shots)).filePath(dialog->objectName());
        EXPECT_TRUE(dialog->grab().save(file + QStringLiteral(".png")));
    }
    dialog->hide();
}

struct FolderListRow
{
    bool favorites;
    bool desktop;
};

class FolderLists : public Dialogs, public ::testing::WithParamInterface<FolderListRow>
{};

// Only folders that exist are offered, the favorites before the desktop. The import
// shows the first of them; the compare keeps its remembered text.
TEST_P(FolderLists, ListOnlyFoldersThatExist)
{
    QStringList expected;
    if (GetParam().favorites)
        expected << m_home.MakeDir(QStringLiteral("Favorites"));
    if (GetParam().desktop)
        expected << m_home.MakeDir(QStringLiteral("Escritorio"));
    // A desktop in the usual place that the user folders file does not name is not it.
    m_home.MakeDir(QStringLiteral("Desktop"));

    CImportShortcutsDlg import;
    EXPECT_EQ(Run(import, [&](QDialog& d) {
        EXPECT_EQ(ComboEntries(d, QStringLiteral("combo1001")), expected);
        EXPECT_EQ(ControlText(d, QStringLiteral("combo1001")), expected.value(0));
        EXPECT_FALSE(IsChecked(d, QStringLiteral("check1003")));
        EXPECT_FALSE(IsChecked(d, QStringLiteral("check1005")));
        return QDialog::Accepted;
    }), CUi::IDOK);
    EXPECT_EQ(import.m_strFolder, expected.value(0));

    CCompareDlg compare;
    compare.m_strFolder = QStringLiteral("/remembered/folder");
    EXPECT_EQ(Run(compare, [&](QDialog& d) {
        EXPECT_EQ(ComboEntries(d, QStringLiteral("combo1001")), expected);
        EXPECT_EQ(ControlText(d, QStringLiteral("combo1001")), QStringLiteral("/remembered/folder"));
        return QDialog::Accepted;
    }), CUi::IDOK);
    EXPECT_EQ(compare.m_strFolder, QStringLiteral("/remembered/folder"));

    // A second run lists the folders once, not twice.
    EXPECT_EQ(Run(import, [&](QDialog& d) {
        EXPECT_EQ(ComboEntries(d, QStringLiteral("combo1001")), expected);
        return QDialog::Rejected;
    }), CUi::IDCANCEL);
}

INSTANTIATE_TEST_SUITE_P(Folders, FolderLists,
                         ::testing::Values(FolderListRow{false, false}, FolderListRow{true, false},
                                           FolderListRow{false, true}, FolderListRow{true, true}),
                         [](const auto& info) {
                             return std::string(info.param.favorites ? "Favorites" : "NoFavorites")
                                    + (info.param.desktop ? "Desktop" : "NoDesktop");
                         });

TEST_F(Dialogs, BrowseButtonsReplaceTheTextOnlyWhenSomethingIsChosen)
{
    CScriptedUi& ui = *m_env.m_ui;
    ui.m_folderAnswers = {QStringLiteral("/chosen/import"), QString(),
                          QStringLiteral("/chosen/export"), QStringLiteral("/chosen/compare")};
    ui.m_fileAnswers = {QStringLiteral("/files/bookmarks.htm"), QString(),
                        QStringLiteral("/files/opera6.adr")};

    CImportShortcutsDlg import;
    Run(import, [](QDialog& d) {
        Click(d, QStringLiteral("button1002"));
        EXPECT_EQ(ControlText(d, QStringLiteral("combo1001")), QStringLiteral("/chosen/import"));
        Click(d, QStringLiteral("button1002")); // cancelled: the text stays
        EXPECT_EQ(ControlText(d, QStringLiteral("combo1001")), QStringLiteral("/chosen/import"));
        return QDialog::Accepted;
    });
    EXPECT_EQ(import.m_strFolder, QStringLiteral("/chosen/import"));

    CExportShortcutsDlg exportDlg;
    exportDlg.m_strFolder = QStringLiteral("/preset");
    Run(exportDlg, [](QDialog& d) {
        EXPECT_EQ(ControlText(d, QStringLiteral("edit1001")), QStringLiteral("/preset"));
        Click(d, QStringLiteral("button1002"));
        return QDialog::Accepted;
    });
    EXPECT_EQ(exportDlg.m_strFolder, QStringLiteral("/chosen/export"));

    CCompareDlg compare;
    compare.m_strNetscapeFile = QStringLiteral("/old/ns.htm");
    compare.m_strOperaFile = QStringLiteral("/old/opera.adr");
    Run(compare, [](QDialog& d) {
        Click(d, QStringLiteral("button1002"));
        Click(d, QStringLiteral("button1005"));
        Click(d, QStringLiteral("button1005")); // cancelled
        Click(d, QStringLiteral("button1007"));
        return QDialog::Accepted;
    });
    EXPECT_EQ(compare.m_strFolder, QStringLiteral("/chosen/compare"));
    EXPECT_EQ(compare.m_strNetscapeFile, QStringLiteral("/files/bookmarks.htm"));
    EXPECT_EQ(compare.m_strOperaFile, QStringLiteral("/files/opera6.adr"));
    EXPECT_EQ(ui.m_fileFilters,
              (std::vector<QString>{QStringLiteral("Bookmark Files (*.htm)|*.htm||"),
                                    QStringLiteral("Bookmark Files (*.htm)|*.htm||"),
                                    QStringLiteral("Opera Files (*.adr)|*.adr||")}));
}

// OK takes what the controls show; Cancel leaves every member as it was.
TEST_F(Dialogs, OkTakesTheControlsAndCancelKeepsTheMembers)
{
    for (const bool ok : {true, false}) {
        CCompareDlg compare;
        compare.m_strFolder = QStringLiteral("/f");
        compare.m_bSubfolders = true;
        compare.m_strNetscapeFile = QStringLiteral("/n.htm");
        compare.m_strOperaFile = QStringLiteral("/o.adr");
        EXPECT_EQ(Run(compare, [&](QDialog& d) {
            EXPECT_TRUE(IsChecked(d, QStringLiteral("check1003")));
            EXPECT_EQ(ControlText(d, QStringLiteral("edit1004")), QStringLiteral("/n.htm"));
            EXPECT_EQ(ControlText(d, QStringLiteral("edit1006")), QStringLiteral("/o.adr"));
            SetControlText(d, QStringLiteral("combo1001"), QStringLiteral("/typed"));
            SetChecked(d, QStringLiteral("check1003"), false);
            SetControlText(d, QStringLiteral("edit1004"), QString());
            SetControlText(d, QStringLiteral("edit1006"), QStringLiteral("/p.adr"));
            return ok ? QDialog::Accepted : QDialog::Rejected;
        }), ok ? CUi::IDOK : CUi::IDCANCEL);
        EXPECT_EQ(compare.m_strFolder, ok ? QStringLiteral("/typed") : QStringLiteral("/f"));
        EXPECT_EQ(compare.m_bSubfolders, !ok);
        EXPECT_EQ(compare.m_strNetscapeFile, ok ? QString() : QStringLiteral("/n.htm"));
        EXPECT_EQ(compare.m_strOperaFile, ok ? QStringLiteral("/p.adr") : QStringLiteral("/o.adr"));

        CExportShortcutsDlg exportDlg;
        exportDlg.m_bRemoveOld = true;
        Run(exportDlg, [&](QDialog& d) {
            EXPECT_TRUE(IsChecked(d, QStringLiteral("check1005")));
            SetChecked(d, QStringLiteral("check1005"), false);
            SetControlText(d, QStringLiteral("edit1001"), QStringLiteral("/typed"));
            return ok ? QDialog::Accepted : QDialog::Rejected;
        });
        EXPECT_EQ(exportDlg.m_bRemoveOld, !ok);
        EXPECT_EQ(exportDlg.m_strFolder, ok ? QStringLiteral("/typed") : QString());
    }
    EXPECT_EQ(m_env.m_ui->m_dialogs,
              (std::vector<QString>{QStringLiteral("dialog137"), QStringLiteral("dialog136"),
                                    QStringLiteral("dialog137"), QStringLiteral("dialog136")}));
}

}  // namespace
