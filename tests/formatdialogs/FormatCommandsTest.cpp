// The favorites import and export and the compare, run from the window's commands
// over real folders and files, with the dialogs answered by a scripted CUi.
#include "FormatDialogsSupport.h"
#include "app/AppTestSupport.h"
#include "formats/FormatsTestSupport.h"

#include "res/Commands.h"
#include "app/KivApp.h"
#include "frame/MainFrame.h"
#include "framework/ScriptedUi.h"
#include "model/KivDoc.h"
#include "views/LeftView.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace FormatDialogsTest;
using KivAppTest::AppEnv;

namespace {

using Hints = std::vector<std::pair<int, CFolderNode*>>;

class Commands : public ::testing::Test
{
protected:
    void Start()
    {
        ASSERT_TRUE(m_home.IsValid());
        m_app = std::make_unique<CKivApp>();
        ASSERT_TRUE(m_app->InitInstance({m_env.WriteSample()}));
        ASSERT_TRUE(m_app->GetMainFrame());
        ASSERT_FALSE(Doc().IsModified());
        m_hints = std::make_unique<HintRecorder>(Doc());
    }
    void TearDown() override { m_hints.reset(); }

    CKivDoc& Doc() { return m_app->Document(); }
    CScriptedUi& Ui() { return *m_env.m_ui; }
    // Runs the command with `script` answering its dialog.
    void Execute(unsigned id, std::function<int(QDialog&)> script)
    {
        Ui().m_dialogScripts.push_back(std::move(script));
        ASSERT_TRUE(m_app->Router().Execute(id));
        EXPECT_TRUE(Ui().m_dialogScripts.empty()) << "the command showed no dialog";
    }
    const Hints& SentHints() const { return m_hints->m_hints; }

    QStringList CheckUrls()
    {
        QStringList urls;
        for (uint32_t i : Doc().m_check.m_aBookmarks)
            urls << QString::fromStdString(Doc().Bookmark(i).m_strUrl);
        urls.sort();
        return urls;
    }

    AppEnv m_env;
    FakeHome m_home;
    std::unique_ptr<CKivApp> m_app;
    std::unique_ptr<HintRecorder> m_hints;
};

// --- import ---------------------------------------------------------------------

struct ImportRow
{
    bool subfolders;
    bool deleteFiles;
};

class ImportFavorites : public Commands, public ::testing::WithParamInterface<ImportRow>
{};

TEST_P(ImportFavorites, ReadsTheChosenFolderAndRefreshesTheViews)
{
    const auto [subfolders, deleteFiles] = GetParam();
    m_home.MakeShortcut(QStringLiteral("Favorites/Alpha.url"), "http://alpha.example/");
    m_home.MakeShortcut(QStringLiteral("Favorites/Release 2.1.URL"), "http://release.example/");
    m_home.MakeShortcut(QStringLiteral("Favorites/Known again.url"), "http://root.example");
    m_home.MakeShortcut(QStringLiteral("Favorites/Links/News/Inner.url"), "http://inner.example/");
    m_home.MakeShortcut(QStringLiteral("Favorites/.hidden/Secret.url"), "http://secret.example/");
    m_home.MakeFile(QStringLiteral("Favorites/notes.txt"), "not a shortcut\r\n");
    m_home.MakeDir(QStringLiteral("Escritorio"));
    Start();
    const uint32_t before = Doc().BookmarkCount();

    Execute(ID_IMPORT_IE, [&](QDialog& d) {
        EXPECT_EQ(ControlText(d, QStringLiteral("combo1001")), m_home.Favorites());
        EXPECT_EQ(ComboEntries(d, QStringLiteral("combo1001")),
                  (QStringList{m_home.Favorites(), m_home.Desktop()}));
        SetChecked(d, QStringLiteral("check1003"), subfolders);
        SetChecked(d, QStringLiteral("check1005"), deleteFiles);
        return QDialog::Accepted;
    });

    EXPECT_EQ(Ui().m_dialogs, std::vector<QString>{QStringLiteral("dialog104")});
    EXPECT_TRUE(Ui().m_messages.empty());
    EXPECT_GE(Ui().m_nWaitCursors, 1);
    EXPECT_EQ(SentHints(), (Hints{{HINT_SYNC_FOLDER, &Doc().m_root}, {HINT_REFRESH, nullptr},
                                  {HINT_NEW_FAVORITES, nullptr}}));
    EXPECT_EQ(Doc().m_bWalkSubfolders, subfolders);
    EXPECT_EQ(Doc().m_bDeleteShortcuts, deleteFiles);

    // The known URL keeps its name and is not listed twice; ".hidden" is not walked.
    EXPECT_EQ(FormatsTest::TreeText(Doc()),
              std::string("Alpha<http://alpha.example/> Release 2.1<http://release.example/> "
                          "root-one<http://root.example> root-two<http://root2.example> "
                          "Herramientas[tool<http://tool.example>] ")
                  + (subfolders ? "Links[News[Inner<http://inner.example/>]] " : "")
                  + "Noticias[news<http://news.example>]");
    EXPECT_EQ(Doc().BookmarkCount(), before + (subfolders ? 3u : 2u));
    EXPECT_TRUE(Doc().IsModified());

    QStringList left{QStringLiteral(".hidden/Secret.url"), QStringLiteral("notes.txt")};
    if (!deleteFiles)
        left << QStringLiteral("Alpha.url") << QStringLiteral("Known again.url")
             << QStringLiteral("Release 2.1.URL");
    if (!deleteFiles || !subfolders)
        left << QStringLiteral("Links/News/Inner.url");
    left.sort();
    EXPECT_EQ(FilesBelow(m_home.Favorites()), left);
    // The tree on screen shows the new folder after the hints.
    if (subfolders) {
        QAbstractItemModel* model = m_app->GetMainFrame()->GetLeftPane()->model();
        const QModelIndex root = model->index(0, 0);
        QStringList names;
        for (int i = 0; i < model->rowCount(root); ++i)
            names << model->index(i, 0, root).data().toString();
        EXPECT_TRUE(names.contains(QStringLiteral("Links"))) << names.join(',').toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Options, ImportFavorites,
                         ::testing::Values(ImportRow{false, false}, ImportRow{true, false},
                                           ImportRow{false, true}, ImportRow{true, true}),
                         [](const auto& info) {
                             return std::string(info.param.subfolders ? "Subfolders" : "TopOnly")
                                    + (info.param.deleteFiles ? "Delete" : "Keep");
                         });

TEST_F(Commands, ImportFromABrowsedFolderAndFromOneThatIsGone)
{
    const QString other = m_home.MakeDir(QStringLiteral("elsewhere"));
    m_home.MakeShortcut(QStringLiteral("elsewhere/Picked.url"), "http://picked.example/");
    Start();
    Ui().m_folderAnswers = {other};
    Execute(ID_IMPORT_IE, [](QDialog& d) {
        EXPECT_TRUE(ComboEntries(d, QStringLiteral("combo1001")).isEmpty());
        EXPECT_EQ(ControlText(d, QStringLiteral("combo1001")), QString());
        Click(d, QStringLiteral("button1002"));
        return QDialog::Accepted;
    });
    EXPECT_EQ(Doc().Bookmark(Doc().BookmarkCount() - 1).m_strName, "Picked");

    // A folder that does not exist adds nothing; the views are told all the same.
    m_hints->m_hints.clear();
    const std::string tree = FormatsTest::TreeText(Doc());
    Execute(ID_IMPORT_IE, [&](QDialog& d) {
        SetControlText(d, QStringLiteral("combo1001"), m_home.Path(QStringLiteral("gone")));
        return QDialog::Accepted;
    });
    EXPECT_EQ(FormatsTest::TreeText(Doc()), tree);
    EXPECT_EQ(SentHints().size(), 3u);
    EXPECT_TRUE(Ui().m_messages.empty());
}

// --- export ---------------------------------------------------------------------

struct ExportRow
{
    bool remembered; // the remembered "remove previous shortcuts"
    bool ticked;     // what the user leaves in the box
};

class ExportFavorites : public Commands, public ::testing::WithParamInterface<ExportRow>
{};

TEST_P(ExportFavorites, WritesTheTreeAndRemembersTheRemovalChoice)
{
    const auto [remembered, ticked] = GetParam();
    m_home.MakeShortcut(QStringLiteral("Favorites/stale.url"), "http://stale.example/");
    m_home.MakeShortcut(QStringLiteral("Favorites/root-one.url"), "http://kept-as-it-was/");
    m_home.MakeFile(QStringLiteral("Favorites/keep.txt"), "mine\r\n");
    m_home.MakeShortcut(QStringLiteral("Favorites/Old/gone.url"), "http://gone.example/");
    m_home.MakeShortcut(QStringLiteral("Favorites/Noticias/old.url"), "http://old.example/");
    Start();
    m_app->m_bXptIEDel = remembered;

    Execute(ID_EXPORT_IE, [&](QDialog& d) {
        EXPECT_EQ(ControlText(d, QStringLiteral("edit1001")), m_home.Favorites());
        EXPECT_EQ(IsChecked(d, QStringLiteral("check1005")), remembered);
        SetChecked(d, QStringLiteral("check1005"), ticked);
        return QDialog::Accepted;
    });

    EXPECT_EQ(m_app->m_bXptIEDel, ticked);
    EXPECT_TRUE(SentHints().empty());
    EXPECT_TRUE(Ui().m_messages.empty());
    EXPECT_GE(Ui().m_nWaitCursors, 1);
    EXPECT_FALSE(Doc().IsModified());
    QStringList files{QStringLiteral("Herramientas/tool.url"), QStringLiteral("Noticias/news.url"),
                      QStringLiteral("keep.txt"), QStringLiteral("root-one.url"),
                      QStringLiteral("root-two.url")};
    if (!ticked)
        files << QStringLiteral("Noticias/old.url") << QStringLiteral("Old/gone.url")
              << QStringLiteral("stale.url");
    files.sort();
    EXPECT_EQ(FilesBelow(m_home.Favorites()), files);
    EXPECT_EQ(QFileInfo::exists(m_home.Path(QStringLiteral("Favorites/Old"))), !ticked);
    // An existing shortcut is never overwritten.
    EXPECT_EQ(FormatsTest::ReadAll(m_home.Path(QStringLiteral("Favorites/root-one.url"))),
              QByteArray("[InternetShortcut]\r\nURL=http://kept-as-it-was/\r\n"));
    EXPECT_EQ(FormatsTest::ReadAll(m_home.Path(QStringLiteral("Favorites/Noticias/news.url"))),
              QByteArray("[InternetShortcut]\r\nURL=http://news.example\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Choices, ExportFavorites,
                         ::testing::Values(ExportRow{false, false}, ExportRow{false, true},
                                           ExportRow{true, false}, ExportRow{true, true}),
                         [](const auto& info) {
                             return std::string(info.param.remembered ? "WasOn" : "WasOff")
                                    + (info.param.ticked ? "NowOn" : "NowOff");
                         });

TEST_F(Commands, ExportWithoutAFavoritesFolderStartsEmptyAndWritesWhereTheUserBrowses)
{
    const QString target = m_home.MakeDir(QStringLiteral("exported"));
    Start();
    // OK on the empty folder writes nothing anywhere.
    Execute(ID_EXPORT_IE, [](QDialog& d) {
        EXPECT_EQ(ControlText(d, QStringLiteral("edit1001")), QString());
        return QDialog::Accepted;
    });
    EXPECT_TRUE(FilesBelow(m_home.Path()).isEmpty());
    Ui().m_folderAnswers = {target};
    Execute(ID_EXPORT_IE, [](QDialog& d) {
        Click(d, QStringLiteral("button1002"));
        return QDialog::Accepted;
    });
    EXPECT_EQ(FilesBelow(target),
              (QStringList{QStringLiteral("Herramientas/tool.url"), QStringLiteral("Noticias/news.url"),
                           QStringLiteral("root-one.url"), QStringLiteral("root-two.url")}));
    EXPECT_TRUE(Ui().m_messages.empty());
}

// --- cancel ---------------------------------------------------------------------

class CancelledCommand : public Commands, public ::testing::WithParamInterface<unsigned>
{};

TEST_P(CancelledCommand, ChangesNothing)
{
    m_home.MakeShortcut(QStringLiteral("Favorites/Alpha.url"), "http://alpha.example/");
    m_home.MakeShortcut(QStringLiteral("Favorites/stale.url"), "http://stale.example/");
    Start();
    m_app->m_bXptIEDel = true;
    m_app->m_strCheckPath = m_home.Favorites();
    m_app->m_bCheckSubFolder = true;
    m_app->m_strCheckNSFile = QStringLiteral("/n.htm");
    m_app->m_strCheckOperaFile = QStringLiteral("/o.adr");
    const std::string tree = FormatsTest::TreeText(Doc());
    const uint32_t count = Doc().BookmarkCount();

    Execute(GetParam(), [](QDialog& d) {
        // Whatever is changed in the dialog before Cancel is dropped.
        for (QAbstractButton* box : d.findChildren<QAbstractButton*>())
            if (box->isCheckable())
                box->setChecked(!box->isChecked());
        return QDialog::Rejected;
    });

    EXPECT_TRUE(SentHints().empty());
    EXPECT_TRUE(Ui().m_messages.empty());
    EXPECT_EQ(Ui().m_nWaitCursors, 0);
    EXPECT_EQ(FormatsTest::TreeText(Doc()), tree);
    EXPECT_EQ(Doc().BookmarkCount(), count);
    EXPECT_TRUE(Doc().m_check.m_aBookmarks.empty());
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(FilesBelow(m_home.Favorites()),
              (QStringList{QStringLiteral("Alpha.url"), QStringLiteral("stale.url")}));
    EXPECT_TRUE(m_app->m_bXptIEDel);
    EXPECT_EQ(m_app->m_strCheckPath, m_home.Favorites());
    EXPECT_TRUE(m_app->m_bCheckSubFolder);
    EXPECT_EQ(m_app->m_strCheckNSFile, QStringLiteral("/n.htm"));
    EXPECT_EQ(m_app->m_strCheckOperaFile, QStringLiteral("/o.adr"));
}

INSTANTIATE_TEST_SUITE_P(Commands, CancelledCommand,
                         ::testing::Values(unsigned(ID_IMPORT_IE), unsigned(ID_EXPORT_IE),
                                           unsigned(ID_CHECK_NEW)));

// --- compare --------------------------------------------------------------------

enum class Source { none, good, wrong, markerFirst, missing };

struct CompareRow
{
    const char* name;
    bool favorites;
    bool subfolders;
    Source netscape;
    Source opera;
    QStringList messages;
    QStringList urls; // found new, sorted
};

class Compare : public Commands, public ::testing::WithParamInterface<CompareRow>
{
protected:
    QString File(Source source, const char* name, const QByteArray& good, const QByteArray& marker)
    {
        switch (source) {
        case Source::none:
            return QString();
        case Source::missing:
            return m_home.Path(QString::fromLatin1(name));
        case Source::good:
            return m_home.MakeFile(QString::fromLatin1(name), good);
        case Source::markerFirst:
            return m_home.MakeFile(QString::fromLatin1(name), marker + "\n" + good);
        case Source::wrong:
            return m_home.MakeFile(QString::fromLatin1(name), "<html><body>nothing</body></html>\n");
        }
        return QString();
    }
};

const QString kNetscapeWanted = QStringLiteral("Wrong file type. Netscape bookmark v1 wanted.");
const QString kOperaWanted = QStringLiteral("Wrong file type. Opera hotlist v2 wanted.");

TEST_P(Compare, ListsWhatIsNewAndReportsWrongFilesInOrder)
{
    const CompareRow& row = GetParam();
    m_home.MakeShortcut(QStringLiteral("Favorites/Fav.url"), "http://fav.example/");
    m_home.MakeShortcut(QStringLiteral("Favorites/Known.url"), "http://root.example");
    m_home.MakeShortcut(QStringLiteral("Favorites/Case.url"), "http://ROOT.example");
    m_home.MakeShortcut(QStringLiteral("Favorites/Sub/Deep.url"), "http://deep.example/");
    const QString netscape = File(
        row.netscape, "bookmarks.htm",
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<TITLE>Bookmarks</TITLE>\r\n<DL><p>\r\n"
        "<DT><H3>Barra</H3>\r\n<DL><p>\r\n"
        "<DT><A HREF=\"http://ns.example/\" ADD_DATE=\"1\">From Netscape</A>\r\n"
        "<DT><A HREF=\"http://fav.example/\">Second name</A>\r\n"
        "<DT><A HREF=\"http://news.example\">known</A>\r\n</DL><p>\r\n</DL><p>\r\n",
        "DOCTYPE NETSCAPE-Bookmark-file-1");
    const QString opera = File(row.opera, "opera6.adr",
                               "Opera Hotlist version 2.0\r\nOptions: encoding = utf8, version=3\r\n\r\n"
                               "#FOLDER\r\n\tNAME=Carpeta\r\n\r\n#URL\r\n\tNAME=From Opera\r\n"
                               "\tURL=http://opera.example/\r\n\r\n-\r\n",
                               "Opera Hotlist version 2");
    Start();
    // Something from an earlier compare, in a subfolder of the check folder.
    Doc().AddBookmark("http://earlier.example/", "earlier",
                      "", Doc().CreateFolder(&Doc().m_check, "old", true), true);
    Doc().SetModifiedFlag(false);
    m_hints->m_hints.clear();

    Execute(ID_CHECK_NEW, [&](QDialog& d) {
        SetControlText(d, QStringLiteral("combo1001"),
                       row.favorites ? m_home.Favorites() : QString());
        SetChecked(d, QStringLiteral("check1003"), row.subfolders);
        SetControlText(d, QStringLiteral("edit1004"), netscape);
        SetControlText(d, QStringLiteral("edit1006"), opera);
        return QDialog::Accepted;
    });

    EXPECT_EQ(Ui().MessageTexts(), row.messages);
    EXPECT_EQ(CheckUrls(), row.urls);
    EXPECT_EQ(Doc().m_check.m_pFirstChild, nullptr);
    EXPECT_EQ(SentHints(), (Hints{{HINT_SELECT_FOLDER, &Doc().m_check}, {HINT_REFRESH, nullptr}}));
    EXPECT_EQ(Doc().m_pCurFolder, &Doc().m_check);
    EXPECT_GE(Ui().m_nWaitCursors, 1);
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(m_app->m_strCheckPath, row.favorites ? m_home.Favorites() : QString());
    EXPECT_EQ(m_app->m_bCheckSubFolder, row.subfolders);
    EXPECT_EQ(m_app->m_strCheckNSFile, netscape);
    EXPECT_EQ(m_app->m_strCheckOperaFile, opera);
    // The first source to name a URL gives its name.
    for (uint32_t i : Doc().m_check.m_aBookmarks)
        if (Doc().Bookmark(i).m_strUrl == "http://fav.example/") {
            EXPECT_EQ(Doc().Bookmark(i).m_strName, row.favorites ? "Fav" : "Second name");
        }
}

const QStringList kFavTop{QStringLiteral("http://ROOT.example"), QStringLiteral("http://fav.example/")};
const QStringList kFavAll{QStringLiteral("http://ROOT.example"), QStringLiteral("http://deep.example/"),
                          QStringLiteral("http://fav.example/")};

INSTANTIATE_TEST_SUITE_P(
    Sources, Compare,
    ::testing::Values(
        CompareRow{"NothingChosen", false, false, Source::none, Source::none, {}, {}},
        CompareRow{"FavoritesTopOnly", true, false, Source::none, Source::none, {}, kFavTop},
        CompareRow{"FavoritesWithSubfolders", true, true, Source::none, Source::none, {}, kFavAll},
        CompareRow{"Netscape", false, false, Source::good, Source::none, {},
                   {QStringLiteral("http://fav.example/"), QStringLiteral("http://ns.example/")}},
        CompareRow{"NetscapeMarkerAtFirstByte", false, false, Source::markerFirst, Source::none,
                   {kNetscapeWanted}, {}},
        CompareRow{"NetscapeWrongType", false, false, Source::wrong, Source::none,
                   {kNetscapeWanted}, {}},
        CompareRow{"Opera", false, false, Source::none, Source::good, {},
                   {QStringLiteral("http://opera.example/")}},
        CompareRow{"OperaMarkerAnywhere", false, false, Source::none, Source::markerFirst, {},
                   {QStringLiteral("http://opera.example/")}},
        CompareRow{"OperaWrongType", false, false, Source::none, Source::wrong, {kOperaWanted}, {}},
        CompareRow{"AllThree", true, true, Source::good, Source::good, {},
                   {QStringLiteral("http://ROOT.example"), QStringLiteral("http://deep.example/"),
                    QStringLiteral("http://fav.example/"), QStringLiteral("http://ns.example/"),
                    QStringLiteral("http://opera.example/")}},
        CompareRow{"BothWrongTheFavoritesStillRead", true, false, Source::wrong, Source::wrong,
                   {kNetscapeWanted, kOperaWanted}, kFavTop},
        CompareRow{"MissingFilesAreSkippedSilently", false, false, Source::missing,
                   Source::missing, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Commands, CompareSettingsAreRememberedAcrossRunsAndProgramStarts)
{
    m_home.MakeShortcut(QStringLiteral("Favorites/Fav.url"), "http://fav.example/");
    m_home.MakeDir(QStringLiteral("Escritorio"));
    const QString ns = m_home.MakeFile(QStringLiteral("b.htm"),
                                       "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n</DL><p>\n");
    const QString opera = m_home.MakeFile(QStringLiteral("o.adr"), "Opera Hotlist version 2.0\n\n");
    Start();
    Ui().m_folderAnswers = {m_home.Favorites()};
    Ui().m_fileAnswers = {ns, opera};
    Execute(ID_CHECK_NEW, [&](QDialog& d) {
        EXPECT_EQ(ComboEntries(d, QStringLiteral("combo1001")),
                  (QStringList{m_home.Favorites(), m_home.Desktop()}));
        EXPECT_EQ(ControlText(d, QStringLiteral("combo1001")), QString());
        Click(d, QStringLiteral("button1002"));
        Click(d, QStringLiteral("button1005"));
        Click(d, QStringLiteral("button1007"));
        SetChecked(d, QStringLiteral("check1003"), true);
        return QDialog::Accepted;
    });
    EXPECT_EQ(CheckUrls(), QStringList{QStringLiteral("http://fav.example/")});

    // The second run shows the same sources; what it found before is known now.
    const auto sameSources = [&](QDialog& d) {
        EXPECT_EQ(ControlText(d, QStringLiteral("combo1001")), m_home.Favorites());
        EXPECT_TRUE(IsChecked(d, QStringLiteral("check1003")));
        EXPECT_EQ(ControlText(d, QStringLiteral("edit1004")), ns);
        EXPECT_EQ(ControlText(d, QStringLiteral("edit1006")), opera);
        return QDialog::Accepted;
    };
    Execute(ID_CHECK_NEW, sameSources);
    EXPECT_TRUE(CheckUrls().isEmpty());
    EXPECT_TRUE(Ui().m_messages.empty());

    // And so does the next start of the program.
    m_hints.reset();
    m_app->ExitInstance();
    m_app.reset();
    Start();
    Execute(ID_CHECK_NEW, sameSources);
    EXPECT_EQ(CheckUrls(), QStringList{QStringLiteral("http://fav.example/")});
}

}  // namespace
