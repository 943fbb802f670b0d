// Start-up, settings, and the document's new/open/save cycle as the application runs it.
#include "AppTestSupport.h"

#include "res/Commands.h"
#include "app/KivApp.h"
#include "app/ShellFileTypes.h"
#include "frame/MainFrame.h"
#include "framework/ScriptedUi.h"
#include "model/KivDoc.h"
#include "res/Strings.h"
#include "views/LeftView.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QDir>
#include <QToolBar>
#include <QTreeView>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>

using namespace KivAppTest;

namespace {

const char* const kPrefOrder[] = {"OpenLastFile", "NewWindow", "KeepWndSize", "BrowserChoice",
                                  "Browser1", "Browser2", "Browser3", "ListStyle",
                                  "CheckNSFile", "CheckOperaFile", "CheckPath",
                                  "CheckSubFolder", "XptIEDel"};

QString Pref(const char* name) { return QStringLiteral("Pref/") + QLatin1String(name); }

}  // namespace

// --- settings -------------------------------------------------------------------

TEST(Settings, AbsentSectionGivesDefaultsAndAllThirteenAreWrittenBack)
{
    AppEnv env;
    CKivApp app;
    app.ReadSettings();
    EXPECT_FALSE(app.m_bOpenLastFile);
    EXPECT_TRUE(app.m_bNewWindow);
    EXPECT_FALSE(app.m_bKeepWndSize);
    EXPECT_EQ(app.m_nBrowserChoice, 0);
    EXPECT_EQ(app.m_nListStyle, 1);
    EXPECT_TRUE(app.m_bCheckSubFolder);
    EXPECT_FALSE(app.m_bXptIEDel);
    for (const QString& s : app.m_strBrowser)
        EXPECT_TRUE(s.isEmpty());

    app.ExitInstance();
    const QVariant expected[] = {0, 1, 0, 0, "", "", "", 1, "", "", "", 1, 0};
    for (size_t i = 0; i < std::size(kPrefOrder); ++i)
        EXPECT_EQ(Setting(Pref(kPrefOrder[i])).toString(), expected[i].toString()) << kPrefOrder[i];
}

struct ReadRule
{
    const char* name;
    QVariant stored;
    int expected; // as the member reads back (bools as 0/1)
    QString written;
};

class SettingsReadRule : public ::testing::TestWithParam<ReadRule>
{
};

TEST_P(SettingsReadRule, ReadsAndWritesBack)
{
    const ReadRule& rule = GetParam();
    AppEnv env;
    SetSetting(Pref(rule.name), rule.stored);
    CKivApp app;
    app.ReadSettings();
    const QString name = QLatin1String(rule.name);
    int value = -1;
    if (name == QLatin1String("OpenLastFile")) value = app.m_bOpenLastFile;
    if (name == QLatin1String("NewWindow")) value = app.m_bNewWindow;
    if (name == QLatin1String("KeepWndSize")) value = app.m_bKeepWndSize;
    if (name == QLatin1String("ListStyle")) value = app.m_nListStyle;
    if (name == QLatin1String("BrowserChoice")) value = app.m_nBrowserChoice;
    if (name == QLatin1String("CheckSubFolder")) value = app.m_bCheckSubFolder;
    if (name == QLatin1String("XptIEDel")) value = app.m_bXptIEDel;
    EXPECT_EQ(value, rule.expected);
    app.WriteSettings();
    EXPECT_EQ(Setting(Pref(rule.name)).toString(), rule.written);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SettingsReadRule,
    ::testing::Values(ReadRule{"OpenLastFile", 2, 0, "0"}, ReadRule{"OpenLastFile", 1, 1, "1"},
                      ReadRule{"NewWindow", 0, 0, "0"}, ReadRule{"NewWindow", 5, 0, "0"},
                      ReadRule{"KeepWndSize", 1, 1, "1"}, ReadRule{"ListStyle", 7, 3, "3"},
                      ReadRule{"ListStyle", 0, 0, "0"}, ReadRule{"ListStyle", 2, 2, "2"},
                      ReadRule{"ListStyle", -1, 3, "3"}, ReadRule{"BrowserChoice", 2, 2, "2"},
                      ReadRule{"CheckSubFolder", 0, 0, "0"}, ReadRule{"XptIEDel", 1, 1, "1"}));

TEST(Settings, StringsAreTakenAsReadAndSearchOptionsStartFixed)
{
    AppEnv env;
    SetSetting(Pref("Browser2"), QStringLiteral("/usr/bin/navegador --x"));
    SetSetting(Pref("CheckPath"), QStringLiteral("/home/u/Favoritos"));
    CKivApp app;
    ASSERT_TRUE(app.InitInstance({QStringLiteral("-Automation")}));
    EXPECT_EQ(app.m_strBrowser[1], QStringLiteral("/usr/bin/navegador --x"));
    EXPECT_EQ(app.m_strCheckPath, QStringLiteral("/home/u/Favoritos"));
    EXPECT_TRUE(app.m_bFindInName);
    EXPECT_TRUE(app.m_bFindInUrl);
    EXPECT_FALSE(app.m_bFindInComment);
    EXPECT_EQ(app.m_strHelpPath,
              QCoreApplication::applicationDirPath() + QStringLiteral("/help/kiv_index.html"));
}

// --- start-up -------------------------------------------------------------------

class AutomationStart : public ::testing::TestWithParam<const char*>
{
};

TEST_P(AutomationStart, ShowsNoWindowAndDoesNotReopenTheLastFile)
{
    AppEnv env;
    const QString sample = env.WriteSample();
    SetSetting(Pref("OpenLastFile"), 1);
    SetSetting(QStringLiteral("Recent File List/File1"), sample);
    CKivApp app;
    EXPECT_TRUE(app.InitInstance({QLatin1String(GetParam())}));
    EXPECT_FALSE(app.HasMainWindow());
    EXPECT_TRUE(app.IsAutomationStart());
    EXPECT_TRUE(app.Document().GetPathName().isEmpty());
    EXPECT_TRUE(app.m_bOpenLastFile); // settings were read
}

INSTANTIATE_TEST_SUITE_P(Flags, AutomationStart,
                         ::testing::Values("-Automation", "/Automation", "-Embedding", "/Embedding",
                                           "-automation"));

TEST(StartUp, NamedFileIsOpenedEvenWithOpenLastFile)
{
    AppEnv env;
    const QString last = env.WriteSample(QStringLiteral("last.kiv"));
    const QString named = env.WriteSample(QStringLiteral("named.kiv"));
    SetSetting(Pref("OpenLastFile"), 1);
    SetSetting(QStringLiteral("Recent File List/File1"), last);
    CKivApp app;
    ASSERT_TRUE(app.InitInstance({named}));
    ASSERT_TRUE(app.HasMainWindow());
    EXPECT_EQ(app.Document().GetPathName(), named);
    EXPECT_EQ(app.GetMainFrame()->windowTitle(), QStringLiteral("named.kiv[*] - Kiv"));
    EXPECT_EQ(app.RecentFiles().Entries().value(0), named);
    EXPECT_EQ(app.RecentFiles().Entries().value(1), last);
    EXPECT_TRUE(env.m_ui->m_messages.empty());
}

TEST(StartUp, OpenLastFileReopensTheFirstRecentFile)
{
    AppEnv env;
    const QString last = env.WriteSample(QStringLiteral("last.kiv"));
    SetSetting(Pref("OpenLastFile"), 1);
    SetSetting(QStringLiteral("Recent File List/File1"), last);
    CKivApp app;
    ASSERT_TRUE(app.InitInstance({}));
    EXPECT_EQ(app.Document().GetPathName(), last);
    EXPECT_FALSE(app.Document().m_root.m_aBookmarks.empty());
}

TEST(StartUp, MissingLastFileIsReportedDroppedAndANewDocumentStarts)
{
    AppEnv env;
    const QString gone = env.Path(QStringLiteral("gone.kiv"));
    SetSetting(Pref("OpenLastFile"), 1);
    SetSetting(QStringLiteral("Recent File List/File1"), gone);
    CKivApp app;
    ASSERT_TRUE(app.InitInstance({}));
    ASSERT_TRUE(app.HasMainWindow());
    EXPECT_TRUE(app.Document().GetPathName().isEmpty());
    EXPECT_TRUE(app.RecentFiles().Entries().isEmpty());
    ASSERT_EQ(env.m_ui->m_messages.size(), 1u);
    EXPECT_TRUE(env.m_ui->m_messages[0].text.contains(gone));
    EXPECT_EQ(app.GetMainFrame()->windowTitle(), QStringLiteral("Untitled[*] - Kiv"));
}

TEST(StartUp, OpenLastFileWithEmptyListGivesANewDocument)
{
    AppEnv env;
    SetSetting(Pref("OpenLastFile"), 1);
    CKivApp app;
    ASSERT_TRUE(app.InitInstance({}));
    EXPECT_TRUE(app.Document().GetPathName().isEmpty());
    EXPECT_TRUE(app.Document().m_root.m_aBookmarks.empty());
    EXPECT_TRUE(env.m_ui->m_messages.empty());
}

TEST(StartUp, MissingNamedFileEndsTheProgramWithoutAWindow)
{
    AppEnv env;
    CKivApp app;
    EXPECT_FALSE(app.InitInstance({env.Path(QStringLiteral("nothere.kiv"))}));
    EXPECT_FALSE(app.HasMainWindow());
    ASSERT_EQ(env.m_ui->m_messages.size(), 1u);
}

struct SearchBarCase
{
    int keep;
    int stored; // -1: absent
    bool visible;
};

class SearchBarAtStart : public ::testing::TestWithParam<SearchBarCase>
{
};

TEST_P(SearchBarAtStart, VisibleOnlyWhenKeptAndStoredVisible)
{
    AppEnv env;
    SetSetting(Pref("KeepWndSize"), GetParam().keep);
    if (GetParam().stored >= 0)
        SetSetting(QStringLiteral("WndSize/SearchBar"), GetParam().stored);
    CKivApp app;
    ASSERT_TRUE(app.InitInstance({}));
    EXPECT_EQ(app.GetMainFrame()->SearchBarBand()->isVisibleTo(app.GetMainFrame()),
              GetParam().visible);
    EXPECT_EQ(app.Router().Update(ID_VIEW_SEARCHBAR).m_nCheck, GetParam().visible ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, SearchBarAtStart,
                         ::testing::Values(SearchBarCase{0, 1, false}, SearchBarCase{0, -1, false},
                                           SearchBarCase{1, -1, true}, SearchBarCase{1, 1, true},
                                           SearchBarCase{1, 0, false}));

// --- document lifecycle ---------------------------------------------------------

class Lifecycle : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_sample = m_env.WriteSample();
        m_app = std::make_unique<CKivApp>();
        ASSERT_TRUE(m_app->InitInstance({m_sample}));
    }
    void Modify()
    {
        CKivDoc& doc = m_app->Document();
        doc.AddBookmark("http://added.example", "added", "", &doc.m_root, false);
        ASSERT_TRUE(doc.IsModified());
    }
    QString Prompt() const
    {
        return m_env.m_ui->m_messages.empty() ? QString() : m_env.m_ui->m_messages.front().text;
    }

    AppEnv m_env;
    QString m_sample;
    std::unique_ptr<CKivApp> m_app;
};

TEST_F(Lifecycle, CleanDocumentIsReplacedWithoutAQuestion)
{
    EXPECT_TRUE(m_app->Router().Execute(ID_FILE_NEW));
    EXPECT_TRUE(m_env.m_ui->m_messages.empty());
    EXPECT_TRUE(m_app->Document().GetPathName().isEmpty());
    EXPECT_EQ(m_app->GetMainFrame()->windowTitle(), QStringLiteral("Untitled[*] - Kiv"));
}

TEST_F(Lifecycle, SavePromptCancelKeepsEverything)
{
    Modify();
    m_env.m_ui->m_messageAnswers = {CUi::IDCANCEL};
    EXPECT_FALSE(m_app->NewDocument());
    EXPECT_EQ(Prompt(), QStringLiteral("Save changes to sample.kiv?"));
    EXPECT_EQ(m_env.m_ui->m_messages.front().buttons, CUi::MB_YESNOCANCEL);
    EXPECT_TRUE(m_app->Document().IsModified());
    EXPECT_EQ(m_app->Document().GetPathName(), m_sample);
}

TEST_F(Lifecycle, SavePromptNoDiscardsTheChanges)
{
    Modify();
    m_env.m_ui->m_messageAnswers = {CUi::IDNO};
    EXPECT_TRUE(m_app->NewDocument());
    EXPECT_FALSE(m_app->Document().IsModified());
    CKivDoc reread;
    ASSERT_TRUE(reread.OpenDocumentFile(m_sample));
    EXPECT_EQ(reread.BookmarkCount(), 4u); // the added bookmark never reached the file
}

TEST_F(Lifecycle, SavePromptYesSavesFirst)
{
    Modify();
    m_env.m_ui->m_messageAnswers = {CUi::IDYES};
    EXPECT_TRUE(m_app->NewDocument());
    CKivDoc reread;
    ASSERT_TRUE(reread.OpenDocumentFile(m_sample));
    EXPECT_EQ(reread.BookmarkCount(), 5u);
}

TEST_F(Lifecycle, SavePromptYesOnUntitledAsksForANameAndCancelStops)
{
    ASSERT_TRUE(m_app->NewDocument());
    Modify();
    m_env.m_ui->m_messageAnswers = {CUi::IDYES};
    // No file name given: the save is abandoned, and with it the open.
    EXPECT_FALSE(m_app->OpenDocumentFile(m_sample));
    EXPECT_EQ(Prompt(), QStringLiteral("Save changes to Untitled?"));
    ASSERT_EQ(m_env.m_ui->m_fileFilters.size(), 1u);
    EXPECT_TRUE(m_app->Document().IsModified());
    EXPECT_TRUE(m_app->Document().GetPathName().isEmpty());
}

TEST_F(Lifecycle, PromptTextFollowsTheLanguage)
{
    Modify();
    KivStrings::SetLanguage(KivStrings::Lang1031);
    m_env.m_ui->m_messageAnswers = {CUi::IDCANCEL};
    m_app->NewDocument();
    EXPECT_EQ(Prompt(), QStringLiteral("Änderungen in sample.kiv speichern?"));
}

TEST_F(Lifecycle, SaveAsWritesTheNewFileAndRenamesTheWindow)
{
    const QString other = m_env.Path(QStringLiteral("other.kiv"));
    m_env.m_ui->m_fileAnswers = {other};
    EXPECT_TRUE(m_app->Router().Execute(ID_FILE_SAVE_AS));
    EXPECT_TRUE(QFileInfo::exists(other));
    EXPECT_EQ(m_app->Document().GetPathName(), other);
    EXPECT_EQ(m_app->GetMainFrame()->windowTitle(), QStringLiteral("other.kiv[*] - Kiv"));
    EXPECT_EQ(m_app->RecentFiles().Entries().value(0), other);
    EXPECT_EQ(m_env.m_ui->m_fileFilters.front(), QStringLiteral("Kiv Files (*.kiv)|*.kiv||"));
}

TEST_F(Lifecycle, SaveOfANamedCleanDocumentRewritesTheFile)
{
    QFile::remove(m_sample);
    EXPECT_TRUE(m_app->Router().Execute(ID_FILE_SAVE));
    EXPECT_TRUE(QFileInfo::exists(m_sample));
    EXPECT_TRUE(m_env.m_ui->m_fileFilters.empty());
}

TEST_F(Lifecycle, SaveOfAnUntitledDocumentAsksForAName)
{
    ASSERT_TRUE(m_app->NewDocument());
    const QString path = m_env.Path(QStringLiteral("fresh.kiv"));
    m_env.m_ui->m_fileAnswers = {path};
    EXPECT_TRUE(m_app->Router().Execute(ID_FILE_SAVE));
    EXPECT_EQ(m_env.m_ui->m_fileFilters.size(), 1u);
    EXPECT_TRUE(QFileInfo::exists(path));
}

TEST_F(Lifecycle, MissingFileLeavesTheDocumentAsItWas)
{
    Modify();
    m_env.m_ui->m_messageAnswers = {CUi::IDNO};
    const QString gone = m_env.Path(QStringLiteral("gone.kiv"));
    EXPECT_FALSE(m_app->OpenDocumentFile(gone));
    // The save prompt, then the failure.
    ASSERT_EQ(m_env.m_ui->m_messages.size(), 2u);
    EXPECT_EQ(m_env.m_ui->m_messages[1].text,
              KivStrings::FileErrorText({CFileError::fileNotFound, gone, true}));
    EXPECT_EQ(m_app->Document().GetPathName(), m_sample);
    EXPECT_TRUE(m_app->Document().IsModified());
    EXPECT_EQ(m_app->Document().BookmarkCount(), 5u);
}

TEST_F(Lifecycle, TruncatedFileLeavesAnUntitledEmptyDocument)
{
    QFile full(m_sample);
    ASSERT_TRUE(full.open(QIODevice::ReadOnly));
    const QByteArray bytes = full.readAll();
    const QString cut = m_env.Path(QStringLiteral("cut.kiv"));
    QFile out(cut);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes.left(bytes.size() / 2));
    out.close();

    EXPECT_FALSE(m_app->OpenDocumentFile(cut));
    EXPECT_TRUE(m_app->Document().GetPathName().isEmpty());
    EXPECT_EQ(m_app->Document().BookmarkCount(), 0u);
    EXPECT_FALSE(m_app->Document().IsModified());
    EXPECT_EQ(m_app->GetMainFrame()->windowTitle(), QStringLiteral("Untitled[*] - Kiv"));
    ASSERT_EQ(m_env.m_ui->m_messages.size(), 1u);
    EXPECT_EQ(m_env.m_ui->m_messages[0].text,
              KivStrings::FileErrorText({CFileError::badFormat, cut, true}));
    EXPECT_FALSE(m_app->RecentFiles().Entries().contains(cut));
}

// A file that is refused (not a collection, a newer version, a pipe) changes nothing:
// not the document, not what the views show of it.
TEST_F(Lifecycle, RefusedFileLeavesTheDocumentAndTheViewsAsTheyWere)
{
    CKivDoc& doc = m_app->Document();
    CLeftView* tree = m_app->GetMainFrame()->GetLeftPane();
    CFolderNode* news = doc.m_root.m_pFirstChild->m_pNext;
    ASSERT_EQ(news->m_strName, "Noticias");
    ASSERT_TRUE(tree->SelectFolder(news));
    const QModelIndex top = tree->model()->index(0, 0);
    tree->collapse(top);
    Modify();

    const QString text = m_env.Path(QStringLiteral("notes.txt"));
    const QString newer = m_env.Path(QStringLiteral("newer.kiv"));
    const QString fifo = m_env.Path(QStringLiteral("pipe.kiv"));
    QFile out(text);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("just some notes\n");
    out.close();
    out.setFileName(newer);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(QByteArray::fromHex("00ab06250300000000000000"));
    out.close();
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const std::pair<QString, CFileError::Cause> cases[] = {
        {text, CFileError::notOurFormat}, {newer, CFileError::newerFormat},
        {fifo, CFileError::notRegularFile}};
    for (const auto& [path, cause] : cases) {
        m_env.m_ui->m_messages.clear();
        m_env.m_ui->m_messageAnswers = {CUi::IDNO}; // the save prompt: go on without saving
        EXPECT_FALSE(m_app->OpenDocumentFile(path));
        ASSERT_EQ(m_env.m_ui->m_messages.size(), 2u);
        EXPECT_EQ(m_env.m_ui->m_messages[1].text, KivStrings::FileErrorText({cause, path, true}));
        EXPECT_EQ(doc.GetPathName(), m_sample);
        EXPECT_TRUE(doc.IsModified());
        EXPECT_EQ(doc.BookmarkCount(), 5u);
        EXPECT_EQ(doc.m_pCurFolder, news);
        EXPECT_EQ(tree->SelectedFolder(), news);
        EXPECT_FALSE(tree->isExpanded(top));
    }
    EXPECT_FALSE(m_app->RecentFiles().Entries().contains(text));
}

TEST_F(Lifecycle, RecentListKeepsFourMostRecentFirstAndOpensByNumber)
{
    QStringList paths;
    for (int i = 0; i < 5; ++i)
        paths << m_env.WriteSample(QStringLiteral("f%1.kiv").arg(i));
    for (const QString& p : paths)
        ASSERT_TRUE(m_app->OpenDocumentFile(p));
    const QStringList expected = {paths[4], paths[3], paths[2], paths[1]};
    EXPECT_EQ(m_app->RecentFiles().Entries(), expected);
    EXPECT_TRUE(m_app->Router().Update(ID_FILE_MRU_FILE4).m_bEnabled);

    EXPECT_TRUE(m_app->Router().Execute(ID_FILE_MRU_FILE3));
    EXPECT_EQ(m_app->Document().GetPathName(), paths[2]);
    EXPECT_EQ(m_app->RecentFiles().Entries().first(), paths[2]);

    m_app->ExitInstance();
    EXPECT_EQ(Setting(QStringLiteral("Recent File List/File1")).toString(), paths[2]);
}

TEST_F(Lifecycle, RecentFileThatVanishedLeavesTheList)
{
    const QString other = m_env.WriteSample(QStringLiteral("other.kiv"));
    ASSERT_TRUE(m_app->OpenDocumentFile(other));
    QFile::remove(m_sample);
    EXPECT_TRUE(m_app->Router().Execute(ID_FILE_MRU_FILE2));
    EXPECT_EQ(m_app->RecentFiles().Entries(), QStringList{other});
    EXPECT_EQ(m_app->Document().GetPathName(), other);
}

TEST_F(Lifecycle, CancelledPromptKeepsTheRecentEntry)
{
    const QString other = m_env.WriteSample(QStringLiteral("other.kiv"));
    ASSERT_TRUE(m_app->OpenDocumentFile(other));
    Modify();
    m_env.m_ui->m_messageAnswers = {CUi::IDCANCEL};
    m_app->Router().Execute(ID_FILE_MRU_FILE2);
    EXPECT_EQ(m_app->RecentFiles().Entries().size(), 2);
}

TEST_F(Lifecycle, SearchOptionTogglesShowTheirChecks)
{
    CCmdRouter& router = m_app->Router();
    EXPECT_EQ(router.Update(ID_SEARCH_NAME).m_nCheck, 1);
    EXPECT_EQ(router.Update(ID_SEARCH_URL).m_nCheck, 1);
    EXPECT_EQ(router.Update(ID_SEARCH_COMMENT).m_nCheck, 0);
    router.Execute(ID_SEARCH_COMMENT);
    router.Execute(ID_SEARCH_NAME);
    EXPECT_TRUE(m_app->m_bFindInComment);
    EXPECT_FALSE(m_app->m_bFindInName);
    EXPECT_EQ(router.Update(ID_SEARCH_NAME).m_nCheck, 0);
}

// --- help and desktop files ----------------------------------------------------

class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> m_urls;
public slots:
    void open(const QUrl& url) { m_urls << url; }
};

TEST_F(Lifecycle, DuplicatesCommandMergesInItsDialogAfterTheCommandHasReturned)
{
    CKivDoc& doc = m_app->Document();
    CFolderNode* tools = doc.m_root.m_pFirstChild;
    while (tools && tools->m_strName != "Herramientas")
        tools = tools->m_pNext;
    ASSERT_NE(tools, nullptr);
    uint32_t again = 0;
    ASSERT_TRUE(
        doc.AddBookmark("https://www.news.example/#top", "news-again", "", tools, false, &again));
    const uint32_t news = uint32_t(doc.FindUrl("http://news.example"));
    doc.SetModifiedFlag(false);

    m_env.m_ui->m_messageAnswers = {CUi::IDYES};
    m_env.m_ui->m_dialogScripts.push_back([](QDialog& dialog) {
        auto* tree = dialog.findChild<QTreeView*>();
        tree->setCurrentIndex(tree->model()->index(0, 0));
        dialog.findChild<QPushButton*>(QStringLiteral("merge"))->click();
        return int(QDialog::Rejected);
    });
    EXPECT_TRUE(m_app->Router().Execute(ID_EDIT_DUPLICATES));
    // The dialog is not part of the command: nothing is open or changed yet.
    EXPECT_TRUE(m_env.m_ui->m_dialogs.empty());
    EXPECT_FALSE(doc.IsModified());

    QCoreApplication::processEvents();
    EXPECT_EQ(m_env.m_ui->m_dialogs, (std::vector<QString>{QStringLiteral("dupesDialog")}));
    EXPECT_EQ(m_env.m_ui->m_messages.size(), 1u); // the merge's question
    // The https entry stays, in both folders; the other is in the trash.
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.Bookmark(again).m_nRefs, 2);
    EXPECT_EQ(doc.Bookmark(news).m_nRefs, 0);
    const auto& trash = doc.m_trash.m_aBookmarks;
    EXPECT_NE(std::find(trash.begin(), trash.end(), news), trash.end());
}

TEST_F(Lifecycle, HelpCommandsOpenTheHelpPageBesideTheProgram)
{
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    EXPECT_TRUE(m_app->Router().Execute(ID_HELP_INDEX));
    EXPECT_TRUE(m_app->Router().Execute(ID_HELP));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(recorder.m_urls.size(), 2);
    EXPECT_EQ(recorder.m_urls[0].toLocalFile(), m_app->m_strHelpPath);
    EXPECT_TRUE(m_env.m_ui->m_messages.empty());
    // The build puts the page there.
    EXPECT_TRUE(QFileInfo::exists(QStringLiteral(KIV_BIN_DIR "/help/kiv_index.html")));
}

// A bookmark imported as "--gpu-launcher=..." is not opened, and the user is told why.
TEST_F(Lifecycle, UrlThatReadsAsAnOptionIsRefusedWithAMessage)
{
    m_app->OpenUrl("--gpu-launcher=touch x", true);
    ASSERT_EQ(m_env.m_ui->m_messages.size(), 1u);
    EXPECT_EQ(m_env.m_ui->m_messages[0].text, KivStrings::Load(IDS_URL_IS_OPTION));
    EXPECT_TRUE(m_env.m_ui->m_messages[0].text.contains(QLatin1String("option")));
}

TEST_F(Lifecycle, PrintDocumentAndItsCompanionLiveBesideTheProgram)
{
    // The build puts the print document and its companion beside the program.
    const QString doc = QCoreApplication::applicationDirPath() + QStringLiteral("/Zezivezu.viv");
    EXPECT_EQ(m_app->m_strPrintDocPath, doc);
    ASSERT_TRUE(QFileInfo::exists(doc));
    EXPECT_TRUE(QFileInfo(QStringLiteral(KIV_BIN_DIR "/kiv-print")).isExecutable());
    EXPECT_TRUE(QFileInfo(QStringLiteral(KIV_BIN_DIR "/kiv")).isExecutable());
}

// Sending by mail, with an xdg-email on the PATH that writes down its arguments.
class SendMail : public Lifecycle
{
protected:
    void SetUp() override
    {
        Lifecycle::SetUp();
        m_oldPath = qgetenv("PATH");
        const QString bin = m_env.Path(QStringLiteral("bin"));
        ASSERT_TRUE(QDir().mkpath(bin));
        QFile script(bin + QStringLiteral("/xdg-email"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        // Written aside and renamed, so the test never reads half a log.
        script.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1.part' && mv '%1.part' '%1'\n")
                         .arg(Log())
                         .toUtf8());
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
        qputenv("PATH", bin.toLocal8Bit() + ':' + m_oldPath);
        // The user's runtime folder, private as the session makes it.
        m_oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        m_runtime = m_env.Path(QStringLiteral("runtime"));
        ASSERT_TRUE(QDir().mkpath(m_runtime));
        QFile::setPermissions(m_runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                             | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", m_runtime.toLocal8Bit());
    }
    void TearDown() override
    {
        // The application goes only after the mail program it started has ended, so
        // that it can free the program's handle.
        for (int k = 0; k < 3000 && m_app->RunningDesktopTools() > 0; ++k) {
            QCoreApplication::processEvents();
            QThread::msleep(10);
        }
        EXPECT_EQ(m_app->RunningDesktopTools(), 0);
        qputenv("PATH", m_oldPath);
        if (m_oldRuntime.isNull())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", m_oldRuntime);
    }
    QString Log() const { return m_env.Path(QStringLiteral("mail.log")); }
    // The arguments the mail program was started with.
    QStringList Sent() const
    {
        QFile log(Log());
        for (int k = 0; k < 500 && !log.exists(); ++k)
            QThread::msleep(20);
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QByteArray m_oldPath;
    QByteArray m_oldRuntime;
    QString m_runtime;
};

TEST_F(SendMail, EnabledOnlyWithAMailProgram)
{
    EXPECT_TRUE(m_app->Router().Update(ID_FILE_SEND_MAIL).m_bEnabled);
    qputenv("PATH", m_env.Path(QStringLiteral("nothing-here")).toLocal8Bit());
    EXPECT_FALSE(m_app->Router().Update(ID_FILE_SEND_MAIL).m_bEnabled);
}

TEST_F(SendMail, ASavedDocumentGoesAsItsFile)
{
    EXPECT_TRUE(m_app->Router().Execute(ID_FILE_SEND_MAIL));
    EXPECT_EQ(Sent(), (QStringList{QStringLiteral("--attach"), m_sample}));
}

TEST_F(SendMail, ChangesGoInAPrivateCopyAndTheDocumentStaysModified)
{
    Modify();
    EXPECT_TRUE(m_app->Router().Execute(ID_FILE_SEND_MAIL));
    const QStringList sent = Sent();
    ASSERT_EQ(sent.size(), 2);
    const QString copy = sent[1];
    EXPECT_NE(copy, m_sample);
    EXPECT_EQ(QFileInfo(copy).fileName(), QStringLiteral("sample.kiv"));
    EXPECT_TRUE(copy.startsWith(m_runtime + QLatin1Char('/'))) << copy.toStdString();
    // Only the user may look into the copy's folder.
    EXPECT_EQ(QFileInfo(QFileInfo(copy).path()).permissions()
                  & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::ExeOther),
              QFileDevice::Permissions());
    CKivDoc sentDoc;
    ASSERT_TRUE(sentDoc.OpenDocumentFile(copy));
    EXPECT_EQ(sentDoc.BookmarkCount(), 5u);
    CKivDoc file;
    ASSERT_TRUE(file.OpenDocumentFile(m_sample));
    EXPECT_EQ(file.BookmarkCount(), 4u);
    EXPECT_TRUE(m_app->Document().IsModified());
    EXPECT_EQ(m_app->Document().GetPathName(), m_sample);
}

TEST_F(SendMail, AMailProgramThatFailsIsReported)
{
    // xdg-email without a mail client behind it ends with an error.
    QFile script(m_env.Path(QStringLiteral("bin/xdg-email")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
    script.write("#!/bin/sh\necho 'xdg-email: no method available' >&2\nexit 3\n");
    script.close();
    EXPECT_TRUE(m_app->Router().Execute(ID_FILE_SEND_MAIL));
    for (int k = 0; k < 3000 && m_env.m_ui->m_messages.empty(); ++k) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    EXPECT_EQ(m_env.m_ui->MessageTexts(),
              QStringList{QStringLiteral("sample.kiv could not be sent: no mail program could be started.")});
    EXPECT_EQ(m_env.m_ui->m_messages.front().icon, CUi::MB_ICONWARNING);
}

struct MissingPrintCase
{
    KivStrings::Language lang;
    const char* text;
};

class MissingPrintDocument : public ::testing::TestWithParam<MissingPrintCase>
{
};

TEST_P(MissingPrintDocument, SaysSoOnceInTheTableLanguageAndOpensNothing)
{
    AppEnv env;
    CKivApp app;
    ASSERT_TRUE(app.InitInstance({}));
    // A program folder without the print document.
    app.m_strPrintDocPath = env.Path(QStringLiteral("Zezivezu.viv"));
    KivStrings::SetLanguage(GetParam().lang);
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    EXPECT_TRUE(app.Router().Execute(ID_PRINT_WORD));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_TRUE(recorder.m_urls.isEmpty());
    EXPECT_EQ(env.m_ui->MessageTexts(), QStringList{QString::fromUtf8(GetParam().text)});
    EXPECT_EQ(env.m_ui->m_messages.front().buttons, CUi::MB_OK);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, MissingPrintDocument,
    ::testing::Values(MissingPrintCase{KivStrings::Lang1031, "Datei Zezivezu.viv nicht gefunden!"},
                      MissingPrintCase{KivStrings::Lang1033, "File Zezivezu.viv not found!"},
                      MissingPrintCase{KivStrings::Lang1036, "Fichier Zezivezu.viv introuvable !"}));

TEST(ShellFileTypes, WrittenWhenMissingOrDifferentOnly)
{
    QTemporaryDir home;
    const QString program = QStringLiteral("/opt/kiv dir/kiv");
    const QStringList first = KivShellFileTypes::Register(home.path(), program);
    ASSERT_EQ(first.size(), 2);
    EXPECT_TRUE(KivShellFileTypes::Register(home.path(), program).isEmpty());

    QFile desktop(home.path() + QStringLiteral("/applications/kiv.desktop"));
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(desktop.readAll());
    desktop.close();
    EXPECT_TRUE(text.contains(QStringLiteral("Exec=\"/opt/kiv dir/kiv\" %f\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("MimeType=application/x-kiv;")));

    // A program that moved gets a fresh entry.
    EXPECT_EQ(KivShellFileTypes::Register(home.path(), QStringLiteral("/usr/bin/kiv")),
              QStringList{home.path() + QStringLiteral("/applications/kiv.desktop")});
}

TEST(ShellFileTypes, InteractiveStartWritesThemAndAutomationStartDoesNot)
{
    AppEnv env;
    const QString desktop = DataHome() + QStringLiteral("/applications/kiv.desktop");
    QFile::remove(desktop);
    {
        CKivApp app;
        ASSERT_TRUE(app.InitInstance({QStringLiteral("-Embedding")}));
    }
    EXPECT_FALSE(QFileInfo::exists(desktop));
    CKivApp app;
    ASSERT_TRUE(app.InitInstance({}));
    EXPECT_TRUE(QFileInfo::exists(desktop));
    EXPECT_TRUE(QFileInfo::exists(DataHome() + QStringLiteral("/mime/packages/kiv.xml")));
}

// Installed for everyone: the system's folders have the file types and the bus service,
// so an interactive start leaves the user's folders alone, unless the installed entry
// starts another program.
TEST(ShellFileTypes, InstalledProgramLeavesTheUserFoldersAlone)
{
    AppEnv env;
    QTemporaryDir system;
    const auto write = [&system](const QString& name, const QByteArray& text) {
        const QString path = system.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
    };
    const QString desktop = DataHome() + QStringLiteral("/applications/kiv.desktop");
    const QString mime = DataHome() + QStringLiteral("/mime/packages/kiv.xml");
    const QString service = DataHome() + QStringLiteral("/dbus-1/services/org.halvane.Kiv.Application.service");
    const QString printDesktop = DataHome() + QStringLiteral("/applications/kiv-print.desktop");
    const QString printMime = DataHome() + QStringLiteral("/mime/packages/kiv-print-document.xml");
    const QByteArray saved = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_DIRS", (QStringLiteral("/nonexistent:") + system.path()).toLocal8Bit());
    const auto start = [&] {
        for (const QString& f : {desktop, mime, service, printDesktop, printMime})
            QFile::remove(f);
        CKivApp app;
        return app.InitInstance({});
    };
    const QByteArray self = QCoreApplication::applicationFilePath().toUtf8();

    ASSERT_TRUE(write(QStringLiteral("mime/packages/kiv.xml"), "<mime-info/>"));
    ASSERT_TRUE(write(QStringLiteral("applications/kiv.desktop"),
                      "[Desktop Entry]\nType=Application\nName=Kiv\nExec=" + self + " %f\n"));
    EXPECT_TRUE(KivShellFileTypes::InstalledSystemWide(QCoreApplication::applicationFilePath()));
    ASSERT_TRUE(start());
    for (const QString& f : {desktop, mime, service, printDesktop, printMime})
        EXPECT_FALSE(QFileInfo::exists(f)) << qPrintable(f);

    // An installation of another copy of the program does not stand for this one.
    ASSERT_TRUE(write(QStringLiteral("applications/kiv.desktop"),
                      "[Desktop Entry]\nType=Application\nName=Kiv\nExec=/usr/bin/kiv %f\n"));
    ASSERT_TRUE(start());
    EXPECT_TRUE(QFileInfo::exists(desktop));
    EXPECT_TRUE(QFileInfo::exists(mime));
    EXPECT_TRUE(QFileInfo::exists(service));

    // Nor does an entry without its file type.
    ASSERT_TRUE(write(QStringLiteral("applications/kiv.desktop"),
                      "[Desktop Entry]\nExec=\"" + self + "\" %f\n"));
    EXPECT_TRUE(KivShellFileTypes::InstalledSystemWide(QCoreApplication::applicationFilePath()));
    ASSERT_TRUE(QFile::remove(system.filePath(QStringLiteral("mime/packages/kiv.xml"))));
    EXPECT_FALSE(KivShellFileTypes::InstalledSystemWide(QCoreApplication::applicationFilePath()));
    qputenv("XDG_DATA_DIRS", saved);
}

// The help page and the print document: beside the program in the build tree, in
// ../share/kiv once installed, and beside the program when neither has them.
TEST(ShippedFiles, BesideTheProgramFirstThenTheInstalledShareFolder)
{
    QTemporaryDir prefix;
    const QString bin = prefix.filePath(QStringLiteral("bin"));
    const QString shared = prefix.filePath(QStringLiteral("share/kiv/help/kiv_index.html"));
    const QString beside = bin + QStringLiteral("/help/kiv_index.html");
    const QString name = QStringLiteral("help/kiv_index.html");
    ASSERT_TRUE(QDir().mkpath(bin));
    EXPECT_EQ(CKivApp::ShippedFilePath(bin, name), beside);
    for (const QString& path : {shared, beside}) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        EXPECT_EQ(CKivApp::ShippedFilePath(bin, name), path);
    }
    EXPECT_EQ(CKivApp::ShippedFilePath(bin, QStringLiteral("Zezivezu.viv")),
              bin + QStringLiteral("/Zezivezu.viv"));
}

// Whether a program's file holds a text, as bytes or as UTF-16 (string literals).
static bool HoldsText(const QByteArray& bytes, const char* text)
{
    const QString wide = QString::fromLatin1(text);
    return bytes.contains(text)
           || bytes.contains(QByteArray(reinterpret_cast<const char*>(wide.utf16()),
                                        wide.size() * 2));
}

// The options with which tests drive the program live in the test shell only.
TEST(ShippedProgram, CarriesNoTestOptions)
{
    for (const char* program : {"/kiv", "/kiv-testshell"}) {
        QFile file(QStringLiteral(KIV_BIN_DIR) + QLatin1String(program));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << program;
        const QByteArray bytes = file.readAll();
        const bool shell = QByteArray(program) == "/kiv-testshell";
        for (const char* option : {"--test-copy-folder", "--test-paste-into", "--test-save-exit",
                                   "--screenshot-dir"})
            EXPECT_EQ(HoldsText(bytes, option), shell) << program << " " << option;
        // The one picture option `make run` uses stays in both.
        EXPECT_TRUE(HoldsText(bytes, "--screenshot")) << program;
    }
}

#include "app_test.moc"

TEST_F(Lifecycle, UndoFollowsTheSavedStateNamesItsStepsAndKeepsAHundred)
{
    CKivDoc& doc = m_app->Document();
    CUndoHistory& history = m_app->History();
    CCmdRouter& router = m_app->Router();
    EXPECT_FALSE(router.Update(ID_EDIT_UNDO).m_bEnabled);
    EXPECT_EQ(router.Update(ID_EDIT_UNDO).m_strText, QStringLiteral("&Deshacer\tCtrl+Z"));
    const auto step = [&](const std::function<void()>& change) {
        history.BeginCommand(0);
        change();
        history.EndCommand();
    };
    CFolderNode* dest = nullptr;
    step([&] { dest = doc.CreateFolder(&doc.m_root, "dest", false); });
    std::vector<uint32_t> rows;
    step([&] {
        for (const char* url : {"http://u1/", "http://u2/", "http://u3/"}) {
            uint32_t i;
            doc.AddBookmark(url, "u", "", &doc.m_root, false, &i);
            rows.push_back(i);
        }
    });
    EXPECT_EQ(history.UndoText(), QStringLiteral("Deshacer añadir 3 marcadores"));
    step([&] { doc.MoveBookmarks(&doc.m_root, dest, rows, false); });
    EXPECT_EQ(router.Update(ID_EDIT_UNDO).m_strText,
              QStringLiteral("&Deshacer mover 3 marcadores\tCtrl+Z"));
    KivStrings::SetLanguage(KivStrings::Lang1031);
    EXPECT_EQ(history.UndoText(), QStringLiteral("Rückgängig: 3 Lesezeichen verschieben"));
    KivStrings::SetLanguage(KivStrings::Lang1036);
    EXPECT_EQ(history.UndoText(), QStringLiteral("Annuler déplacer 3 signets"));
    KivStrings::SetLanguage(KivStrings::Lang1033);

    // Saved here: undo away marks the document, redo back clears the mark.
    ASSERT_TRUE(router.Execute(ID_FILE_SAVE));
    EXPECT_FALSE(doc.IsModified());
    ASSERT_TRUE(router.Execute(ID_EDIT_UNDO));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(dest->m_aBookmarks.size(), 0u);
    EXPECT_EQ(router.Update(ID_EDIT_REDO).m_strText,
              QStringLiteral("&Rehacer mover 3 marcadores\tCtrl+Y"));
    ASSERT_TRUE(router.Execute(ID_EDIT_REDO));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(dest->m_aBookmarks.size(), 3u);
    EXPECT_EQ(m_app->GetMainFrame()->windowTitle(), QStringLiteral("sample.kiv[*] - Kiv"));

    // A hundred steps are kept; the saved state went with the oldest ones.
    for (int k = 0; k < 150; ++k)
        step([&] { doc.AddBookmark(("http://n" + std::to_string(k)).c_str(), "n", "", dest, false); });
    EXPECT_EQ(history.Count(), CUndoHistory::kMaxSteps);
    while (history.CanUndo())
        ASSERT_TRUE(router.Execute(ID_EDIT_UNDO));
    EXPECT_EQ(dest->m_aBookmarks.size(), 3u + 50u);
    EXPECT_TRUE(doc.IsModified());

    // A new document starts a new history.
    m_env.m_ui->m_messageAnswers = {CUi::IDNO};
    ASSERT_TRUE(router.Execute(ID_FILE_NEW));
    EXPECT_EQ(history.Count(), 0u);
    EXPECT_FALSE(router.Update(ID_EDIT_REDO).m_bEnabled);
}
