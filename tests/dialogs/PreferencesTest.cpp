// The preferences sheet: what OK writes into the application object, that Cancel
// writes nothing, the browser page's enabling rules and its "..." browse.
#include "DialogsTestSupport.h"

#include "app/KivApp.h"
#include "frame/Preferences.h"
#include "framework/ScriptedUi.h"
#include "res/Strings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace {

using KivDialogsTest::FakeDesktop;

// Every setting of the application object, to compare before and after.
struct Settings
{
    QString defaultBrowserCmd;
    bool openLastFile, newWindow, keepWndSize;
    int browserChoice;
    QString browser[3];
    int listStyle;
    bool findInName, findInUrl, findInComment;
    QString checkNSFile, checkOperaFile, checkPath;
    bool checkSubFolder;
    QString helpPath;
    bool xptIEDel;

    static Settings Of(const CKivApp& a)
    {
        return {a.m_strDefaultBrowserCmd, a.m_bOpenLastFile, a.m_bNewWindow, a.m_bKeepWndSize,
                a.m_nBrowserChoice, {a.m_strBrowser[0], a.m_strBrowser[1], a.m_strBrowser[2]},
                a.m_nListStyle, a.m_bFindInName, a.m_bFindInUrl, a.m_bFindInComment,
                a.m_strCheckNSFile, a.m_strCheckOperaFile, a.m_strCheckPath, a.m_bCheckSubFolder,
                a.m_strHelpPath, a.m_bXptIEDel};
    }
    bool operator==(const Settings&) const = default;
};

// The controls of the sheet, found by their numbers.
struct Controls
{
    explicit Controls(QDialog& sheet)
        : openLastFile(sheet.findChild<QCheckBox*>(QStringLiteral("check1001"))),
          keepWndSize(sheet.findChild<QCheckBox*>(QStringLiteral("check1003"))),
          newWindow(sheet.findChild<QCheckBox*>(QStringLiteral("check1002"))),
          browser(sheet.findChild<QComboBox*>(QStringLiteral("combo1009"))),
          program(sheet.findChild<QLineEdit*>(QStringLiteral("edit1010"))),
          browse(sheet.findChild<QPushButton*>(QStringLiteral("button1011")))
    {
    }
    bool Complete() const
    {
        return openLastFile && keepWndSize && newWindow && browser && program && browse;
    }
    // What the list does when the user picks an entry.
    void Select(int index) const
    {
        browser->setCurrentIndex(index);
        emit browser->activated(index);
    }
    // What the edit does when the user types a text.
    void Type(const QString& text) const
    {
        program->setText(text);
        emit program->textEdited(text);
    }

    QCheckBox* openLastFile;
    QCheckBox* keepWndSize;
    QCheckBox* newWindow;
    QComboBox* browser;
    QLineEdit* program;
    QPushButton* browse;
};

class PreferencesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        KivStrings::SetLanguage(KivStrings::Lang1033);
        ASSERT_TRUE(desktop.IsValid());
        // Settings that no page shows, set to values a stray write would change.
        app.m_strDefaultBrowserCmd = QStringLiteral("firefox %1");
        app.m_nListStyle = 2;
        app.m_bFindInComment = true;
        app.m_strCheckNSFile = QStringLiteral("/home/u/bookmarks.html");
        app.m_strCheckOperaFile = QStringLiteral("/home/u/opera6.adr");
        app.m_strCheckPath = QStringLiteral("/home/u/Favorites");
        app.m_bCheckSubFolder = true;
        app.m_strHelpPath = QStringLiteral("/opt/kiv/help/kiv_index.html");
        app.m_bXptIEDel = true;
        // The page settings.
        app.m_bOpenLastFile = false;
        app.m_bKeepWndSize = true;
        app.m_bNewWindow = true;
        app.m_nBrowserChoice = 2;
        app.m_strBrowser[0] = QStringLiteral("/opt/ie/iexplore");
        app.m_strBrowser[1] = QStringLiteral("/opt/netscape/netscape");
        app.m_strBrowser[2] = QStringLiteral("/opt/opera/opera");
    }
    void TearDown() override { KivStrings::ResetLanguage(); }

    // Runs the sheet with `script` acting on its controls, then OK or Cancel.
    int Run(const std::function<void(Controls&)>& script, bool ok)
    {
        ui.m_dialogScripts.push_back([&script, ok](QDialog& sheet) {
            Controls controls(sheet);
            EXPECT_TRUE(controls.Complete());
            if (controls.Complete())
                script(controls);
            return ok ? QDialog::Accepted : QDialog::Rejected;
        });
        return app.EditPreferences(nullptr);
    }

    FakeDesktop desktop;
    CScriptedUi ui;
    CKivApp app;
};

TEST_F(PreferencesTest, SheetHasTwoPagesAndOnlyOkAndCancel)
{
    QStringList tabs;
    QStringList buttons;
    QString title;
    Run([&](Controls& c) {
        auto* sheet = c.browser->window();
        title = sheet->windowTitle();
        auto* tabWidget = sheet->findChild<QTabWidget*>();
        for (int i = 0; i < tabWidget->count(); ++i)
            tabs << tabWidget->tabText(i) + QLatin1Char('=') + tabWidget->widget(i)->objectName();
        for (auto* button : sheet->findChildren<QPushButton*>())
            buttons << button->objectName() + QLatin1Char('=') + button->text();
        EXPECT_EQ(tabWidget->currentIndex(), 0);
    }, false);
    EXPECT_EQ(title, QStringLiteral("Preferencia"));
    EXPECT_EQ(tabs, (QStringList{QStringLiteral("General=page135"), QStringLiteral("Navegador=page138")}));
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("button1011=..."), QStringLiteral("button1=Aceptar"),
                                    QStringLiteral("button2=Cancelar")}));
}

TEST_F(PreferencesTest, ControlsShowTheSettingsAndAreAllEnabledAtFirst)
{
    Run([](Controls& c) {
        EXPECT_FALSE(c.openLastFile->isChecked());
        EXPECT_TRUE(c.keepWndSize->isChecked());
        EXPECT_TRUE(c.newWindow->isChecked());
        EXPECT_EQ(c.browser->currentIndex(), 2);
        EXPECT_EQ(c.program->text(), QStringLiteral("/opt/netscape/netscape"));
        EXPECT_TRUE(c.program->isEnabled());
        EXPECT_TRUE(c.browse->isEnabled());
        QStringList entries;
        for (int i = 0; i < c.browser->count(); ++i)
            entries << c.browser->itemText(i);
        EXPECT_EQ(entries, (QStringList{QStringLiteral("Default"), QStringLiteral("Internet Explorer"),
                                        QStringLiteral("Netscape Navigator"), QStringLiteral("Opera")}));
    }, false);
}

TEST_F(PreferencesTest, DefaultChosenStillOpensWithProgramControlsEnabledAndEmpty)
{
    app.m_nBrowserChoice = 0;
    Run([](Controls& c) {
        EXPECT_EQ(c.browser->currentIndex(), 0);
        EXPECT_TRUE(c.program->text().isEmpty());
        EXPECT_TRUE(c.program->isEnabled());
        EXPECT_TRUE(c.browse->isEnabled());
    }, false);
}

TEST_F(PreferencesTest, OkWritesThePageSettingsAndNothingElse)
{
    Settings expected = Settings::Of(app);
    const QString opera = desktop.MakeRecorder(QStringLiteral("opera"));
    ui.m_fileAnswers = {opera};
    ASSERT_EQ(Run([](Controls& c) {
                  c.openLastFile->setChecked(true);
                  c.keepWndSize->setChecked(false);
                  c.newWindow->setChecked(false);
                  c.Select(3);
                  c.browse->click();
              }, true),
              CUi::IDOK);
    expected.openLastFile = true;
    expected.keepWndSize = false;
    expected.newWindow = false;
    expected.browserChoice = 3;
    expected.browser[2] = opera;
    EXPECT_TRUE(Settings::Of(app) == expected);
    EXPECT_EQ(app.m_nBrowserChoice, 3);
    EXPECT_EQ(app.m_strBrowser[2], opera);
    EXPECT_EQ(ui.m_dialogs, std::vector<QString>{QStringLiteral("sheetPreferences")});
    // The settings reach the file at exit, not when the sheet closes.
    const QString file = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                         + QStringLiteral("/halvane/Kiv.conf");
    QFile conf(file);
    const QByteArray text = conf.open(QIODevice::ReadOnly) ? conf.readAll() : QByteArray();
    EXPECT_FALSE(text.contains("BrowserChoice=3"));
}

TEST_F(PreferencesTest, CancelAfterChangesWritesNothing)
{
    const Settings before = Settings::Of(app);
    ui.m_fileAnswers = {desktop.MakeRecorder(QStringLiteral("ie")),
                        desktop.MakeRecorder(QStringLiteral("opera"))};
    EXPECT_EQ(Run([](Controls& c) {
                  c.openLastFile->setChecked(true);
                  c.keepWndSize->setChecked(false);
                  c.newWindow->setChecked(false);
                  c.Select(1);
                  c.browse->click();
                  c.Select(3);
                  c.browse->click();
                  c.Select(0);
              }, false),
              CUi::IDCANCEL);
    EXPECT_TRUE(Settings::Of(app) == before);
}

TEST_F(PreferencesTest, PathsBrowsedForSeveralBrowsersAreAllKept)
{
    const QString opera = desktop.MakeRecorder(QStringLiteral("opera"));
    const QString netscape = desktop.MakeRecorder(QStringLiteral("netscape"));
    ui.m_fileAnswers = {opera, netscape};
    Run([&](Controls& c) {
        c.Select(3);
        c.browse->click();
        EXPECT_EQ(c.program->text(), opera);
        c.Select(2);
        c.browse->click();
        EXPECT_EQ(c.program->text(), netscape);
        // Back on Opera the edit shows the path browsed for it before.
        c.Select(3);
        EXPECT_EQ(c.program->text(), opera);
    }, true);
    EXPECT_EQ(app.m_strBrowser[0], QStringLiteral("/opt/ie/iexplore"));
    EXPECT_EQ(app.m_strBrowser[1], netscape);
    EXPECT_EQ(app.m_strBrowser[2], opera);
    EXPECT_EQ(app.m_nBrowserChoice, 3);
#ifndef Q_OS_WIN
    // Programs here need not end in ".exe": every file is offered, and checked after.
    EXPECT_EQ(ui.m_fileFilters, (std::vector<QString>(2, QStringLiteral("Programas (*)|*||"))));
#endif
}

TEST_F(PreferencesTest, PathBrowsedWithDefaultIsShownButKeptForNoBrowser)
{
    const Settings before = Settings::Of(app);
    const QString program = desktop.MakeRecorder(QStringLiteral("other"));
    ui.m_fileAnswers = {program};
    Run([&](Controls& c) {
        c.Select(0);
        // Disabled for the user, but the handler itself is what is tested here.
        c.browse->setEnabled(true);
        c.browse->click();
        EXPECT_EQ(c.program->text(), program);
    }, true);
    Settings expected = before;
    expected.browserChoice = 0;
    EXPECT_TRUE(Settings::Of(app) == expected);
}

TEST_F(PreferencesTest, CancelledOrRefusedBrowseChangesNothing)
{
    const QString notAProgram = desktop.MakeTextFile(QStringLiteral("readme.txt"));
    ui.m_fileAnswers = {QString(), notAProgram};
    Run([&](Controls& c) {
        c.Select(1);
        c.browse->click(); // cancelled
        EXPECT_EQ(c.program->text(), QStringLiteral("/opt/ie/iexplore"));
        c.browse->click(); // a file that cannot be run
        EXPECT_EQ(c.program->text(), QStringLiteral("/opt/ie/iexplore"));
    }, true);
    EXPECT_EQ(app.m_strBrowser[0], QStringLiteral("/opt/ie/iexplore"));
    ASSERT_EQ(ui.m_messages.size(), 1u);
    EXPECT_TRUE(ui.m_messages[0].text.contains(notAProgram));
}

TEST_F(PreferencesTest, TypedPathBecomesTheSelectedBrowsersProgram)
{
    Run([](Controls& c) {
        c.Select(3);
        c.Type(QStringLiteral("/usr/local/bin/opera"));
        c.Select(1);
        c.Type(QStringLiteral("/usr/local/bin/ie"));
        // Typed while "Default" is chosen: shown, kept for nobody.
        c.Select(0);
        c.program->setEnabled(true);
        c.Type(QStringLiteral("/usr/bin/ignored"));
    }, true);
    EXPECT_EQ(app.m_strBrowser[0], QStringLiteral("/usr/local/bin/ie"));
    EXPECT_EQ(app.m_strBrowser[1], QStringLiteral("/opt/netscape/netscape"));
    EXPECT_EQ(app.m_strBrowser[2], QStringLiteral("/usr/local/bin/opera"));
    EXPECT_EQ(app.m_nBrowserChoice, 0);
}

TEST_F(PreferencesTest, ChoiceOutsideTheListSelectsNothingAndStoresNoBrowsedPath)
{
    app.m_nBrowserChoice = 7;
    const Settings before = Settings::Of(app);
    ui.m_fileAnswers = {desktop.MakeRecorder(QStringLiteral("any"))};
    Run([](Controls& c) {
        EXPECT_EQ(c.browser->currentIndex(), -1);
        EXPECT_TRUE(c.program->text().isEmpty());
        c.browse->click();
        EXPECT_TRUE(c.program->text().isEmpty());
    }, true);
    Settings expected = before;
    expected.browserChoice = -1;
    EXPECT_TRUE(Settings::Of(app) == expected);
}

// Each entry of the list: what the edit shows after choosing it and whether the
// program controls can be used.
class BrowserSelectionTest : public PreferencesTest,
                             public ::testing::WithParamInterface<std::tuple<int, const char*, bool>>
{
};

TEST_P(BrowserSelectionTest, SelectionShowsItsProgramAndSetsEnabling)
{
    const auto [index, shown, enabled] = GetParam();
    Run([&, index = index, shown = shown, enabled = enabled](Controls& c) {
        // Start from another entry so every case is a real change.
        c.Select(index == 0 ? 3 : 0);
        c.Select(index);
        EXPECT_EQ(c.program->text(), QString::fromUtf8(shown));
        EXPECT_EQ(c.program->isEnabled(), enabled);
        EXPECT_EQ(c.browse->isEnabled(), enabled);
    }, false);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, BrowserSelectionTest,
    ::testing::Values(std::make_tuple(0, "", false),
                      std::make_tuple(1, "/opt/ie/iexplore", true),
                      std::make_tuple(2, "/opt/netscape/netscape", true),
                      std::make_tuple(3, "/opt/opera/opera", true)));

}  // namespace
