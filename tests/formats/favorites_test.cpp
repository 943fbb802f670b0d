#include "FormatsTestSupport.h"

#include "formats/Favorites.h"
#include "formats/PathName.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

#include <sys/stat.h>

using namespace FormatsTest;

// --- path names ----------------------------------------------------------------------

struct AppendRow
{
    const char* path;
    const char* text;
    const char* result;
};

class PathAppend : public ::testing::TestWithParam<AppendRow>
{
};

TEST_P(PathAppend, JoinsByTheRules)
{
    CPathName p(std::string(GetParam().path));
    p.Append(std::string_view(GetParam().text));
    EXPECT_EQ(p.Str(), GetParam().result) << GetParam().path << " + " << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PathAppend,
    ::testing::Values(AppendRow{"/a/b", "c", "/a/b/c"}, AppendRow{"/a/b/", "c", "/a/b/c"},
                      AppendRow{"/a/b/", "/c", "/a/b/c"}, AppendRow{"/a/b", "/c", "/a/b/c"},
                      AppendRow{"", "c", "c"}, AppendRow{"/a", "", "/a"},
                      AppendRow{"/a/b", "./c", "/a/b/c"}, AppendRow{"/a/b", "././c", "/a/b/c"},
                      AppendRow{"/a/b", "../c", "/a/c"}, AppendRow{"/a/b", "..c", "/a/c"},
                      AppendRow{"/a/b/c", "../../d", "/a/d"}, AppendRow{"a", "../x", "../x"},
                      AppendRow{"/", "..x", "..x"}, AppendRow{"/a\\b", "c", "/a\\b/c"}));

TEST(PathName, PartsOfAPath)
{
    const CPathName p(std::string("/home/u/Fav/Release 2.1.URL"));
    EXPECT_EQ(p.GetDirectory(), "/home/u/Fav/");
    EXPECT_EQ(p.GetExtension(), "URL");
    EXPECT_EQ(p.GetTitle(), "Release 2.1");
    const CPathName noDot(std::string("/a.b/c"));
    EXPECT_EQ(noDot.GetExtension(), "");
    EXPECT_EQ(noDot.GetTitle(), "c");
    EXPECT_EQ(CPathName(std::string("x")).GetDirectory(), "");
    EXPECT_EQ(CPathName(std::string("a:b\\c.url")).GetTitle(), "a:b\\c");

    CPathName q(std::string("/a/b/"));
    EXPECT_TRUE(q.RemoveLastComponent());
    EXPECT_EQ(q.Str(), "/a/");
    CPathName r(std::string("name"));
    EXPECT_FALSE(r.RemoveLastComponent());
    EXPECT_EQ(r.Str(), "name");

    EXPECT_EQ(CPathName::Join(CPathName(std::string("/a/")), "/b").Str(), "/a/b");
    EXPECT_EQ(CPathName::Join(CPathName(std::string("/a")), "..b").Str(), "/a/..b");
    EXPECT_EQ(CPathName::Join(CPathName(std::string()), "b").Str(), "b");
}

TEST(PathName, SanitizeKeepsEveryNameInsideItsFolder)
{
    const std::map<std::string, std::string> rows = {{"a/b:c", "a_b_c"},
                                                     {"<x>", "_x_"},
                                                     {"q?\"*|\\", "q_____"},
                                                     {"", "_"},
                                                     {".", "_"},
                                                     {"..", "_."},
                                                     {"../evil", "_._evil"},
                                                     {"..x", "_.x"},
                                                     {".hidden", ".hidden"},
                                                     {"Café", "Café"},
                                                     {"...", "_.."},
                                                     {std::string("a\0b", 3), "a_b"}};
    for (const auto& [name, file] : rows)
        EXPECT_EQ(SanitizeFileName(name), file) << name;
}

// --- shortcut files ------------------------------------------------------------------

struct ShortcutRow
{
    const char* name;
    const char* bytes;
    const char* url; // nullptr: not a shortcut
};

class ShortcutParse : public ::testing::TestWithParam<ShortcutRow>
{
};

TEST_P(ShortcutParse, ReadsTheUrlKey)
{
    std::string url;
    const bool ok = ParseUrlShortcut(GetParam().bytes, url);
    EXPECT_EQ(ok, GetParam().url != nullptr);
    if (GetParam().url) {
        EXPECT_EQ(url, GetParam().url);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ShortcutParse,
    ::testing::Values(
        ShortcutRow{"Plain", "[InternetShortcut]\r\nURL=http://a/\r\n", "http://a/"},
        ShortcutRow{"LfOnlyNoFinalEnd", "[InternetShortcut]\nURL=http://a/", "http://a/"},
        ShortcutRow{"PropertySectionFirstAndBaseUrl",
                    "[DEFAULT]\r\nBASEURL=http://base/\r\n[{000214A0-0000-0000-C000-000000000046}]"
                    "\r\nProp3=19,2\r\n[InternetShortcut]\r\nIDList=\r\nIconFile=http://a/f.ico\r\n"
                    "IconIndex=1\r\nURL=http://a/\r\n",
                    "http://a/"},
        ShortcutRow{"CaseAndBlanks", "  [ internetshortcut ] \n  url  =   http://a/ b  \n",
                    "http://a/ b"},
        ShortcutRow{"QuotesDropped", "[InternetShortcut]\nURL=\"http://a/\"\n", "http://a/"},
        ShortcutRow{"FirstKeyWins", "[InternetShortcut]\nURL=http://1/\nURL=http://2/\n",
                    "http://1/"},
        ShortcutRow{"KeyInAnotherSection", "[Other]\nURL=http://a/\n", nullptr},
        ShortcutRow{"EmptyValue", "[InternetShortcut]\nURL=  \n", nullptr},
        ShortcutRow{"NoSection", "URL=http://a/\n", nullptr},
        ShortcutRow{"Binary",
                    "\x7f"
                    "ELF\x01\x02\x00\x00",
                    nullptr},
        ShortcutRow{"Windows1252", "[InternetShortcut]\nURL=http://caf\xe9/\n",
                    "http://caf\xc3\xa9/"}),
    [](const ::testing::TestParamInfo<ShortcutRow>& info) { return std::string(info.param.name); });

TEST(ShortcutFile, LongValueIsReadWhole)
{
    const std::string longUrl = "http://x/" + std::string(1013, 'a') + "éééé";
    std::string url;
    ASSERT_TRUE(ParseUrlShortcut("[InternetShortcut]\nURL=" + longUrl + "\n", url));
    EXPECT_EQ(url, longUrl);
}

// --- a favorites tree on disk ----------------------------------------------------------

namespace {

struct FavoritesTest : ::testing::Test
{
    void SetUp() override
    {
        ASSERT_TRUE(QDir(tmp.path()).mkpath(QStringLiteral("outside/chosen")));
        root = tmp.filePath(QStringLiteral("outside/chosen"));
        outside = tmp.filePath(QStringLiteral("outside"));
        ASSERT_TRUE(WriteAll(outside + QStringLiteral("/keep.url"), "[InternetShortcut]\nURL=x\n"));
        ASSERT_TRUE(QDir(outside).mkpath(QStringLiteral("sibling")));
        ASSERT_TRUE(WriteAll(outside + QStringLiteral("/sibling/keep.url"), "k"));
        before = Snapshot(outside, true);
    }

    void Shortcut(const QString& rel, const QByteArray& url)
    {
        const QString path = root + '/' + rel;
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        ASSERT_TRUE(WriteAll(path, "[InternetShortcut]\r\nURL=" + url + "\r\n"));
    }

    // Every path below `dir` with its contents; with skipChosen, the chosen folder's
    // own subtree is left out so that what lies outside it can be compared.
    std::map<QString, QByteArray> Snapshot(const QString& dir, bool skipChosen = false) const
    {
        std::map<QString, QByteArray> out;
        QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString rel = QDir(dir).relativeFilePath(path);
            if (skipChosen && (rel == QLatin1String("chosen") || rel.startsWith("chosen/")))
                continue;
            const QFileInfo fi(path);
            out[rel] = fi.isSymLink() ? "link:" + fi.symLinkTarget().toUtf8()
                       : fi.isDir()   ? QByteArray("dir")
                                      : ReadAll(path);
        }
        return out;
    }

    std::map<QString, QByteArray> Chosen() const { return Snapshot(root); }

    QTemporaryDir tmp;
    QString root, outside;
    std::map<QString, QByteArray> before;
    CKivDoc doc;
};

} // namespace

TEST_F(FavoritesTest, ImportReadsShortcutsByNameOrderAndOnlyWithSubfoldersGoesDown)
{
    Shortcut("My Site.url", "http://site/");
    Shortcut("Release 2.1.url", "http://rel/");
    Shortcut("UPPER.URL", "http://upper/");
    Shortcut("notes.url.txt", "http://txt/");
    Shortcut("Links/News/Daily.url", "http://daily/");
    Shortcut(".hidden/Secret.url", "http://secret/");
    ASSERT_TRUE(WriteAll(root + "/empty.url", "[InternetShortcut]\nURL=\n"));

    ASSERT_TRUE(ImportShortcuts(doc, root, false, false).Ok());
    EXPECT_EQ(TreeText(doc), "My Site<http://site/> Release 2.1<http://rel/> UPPER<http://upper/>");

    CKivDoc deep;
    deep.CreateFolder(&deep.m_root, "links", true);
    ASSERT_TRUE(ImportShortcuts(deep, root, true, false).Ok());
    EXPECT_EQ(TreeText(deep), "My Site<http://site/> Release 2.1<http://rel/> "
                              "UPPER<http://upper/> links[News[Daily<http://daily/>]]");
    EXPECT_TRUE(deep.IsModified());
    EXPECT_EQ(ImportShortcuts(doc, root + "/missing", true, false).status, FormatResult::notOpened);
}

TEST_F(FavoritesTest, ImportWithDeleteRemovesEveryShortcutReadDuplicatesToo)
{
    doc.AddBookmark("http://dup/", "Existing name", "", &doc.m_root, false);
    Shortcut("Dup.url", "http://dup/");
    Shortcut("New.url", "http://new/");
    Shortcut("Sub/Inner.url", "http://inner/");
    ASSERT_TRUE(WriteAll(root + "/broken.url", "no section"));
    ASSERT_TRUE(WriteAll(root + "/other.txt", "text"));
    ASSERT_TRUE(ImportShortcuts(doc, root, true, true).Ok());
    EXPECT_EQ(TreeText(doc),
              "Existing name<http://dup/> New<http://new/> Sub[Inner<http://inner/>]");
    const auto left = Chosen();
    EXPECT_EQ(left.count("Dup.url"), 0u);
    EXPECT_EQ(left.count("New.url"), 0u);
    EXPECT_EQ(left.count("Sub/Inner.url"), 0u);
    EXPECT_EQ(left.count("Sub"), 1u); // folders are never removed by the import
    EXPECT_EQ(left.count("broken.url"), 1u);
    EXPECT_EQ(left.count("other.txt"), 1u);
}

TEST_F(FavoritesTest, ImportWithDeleteNeverReachesOutsideForDottedNames)
{
    // "..evil.url" inside the folder must not be taken for "../evil.url".
    ASSERT_TRUE(WriteAll(outside + "/evil.url", "[InternetShortcut]\nURL=http://outside/\n"));
    before = Snapshot(outside, true);
    Shortcut("..evil.url", "http://inside/");
    ASSERT_TRUE(ImportShortcuts(doc, root, true, true).Ok());
    EXPECT_EQ(TreeText(doc), "..evil<http://inside/>");
    EXPECT_EQ(Snapshot(outside, true), before);
    EXPECT_TRUE(Chosen().empty());
}

TEST_F(FavoritesTest, ImportDoesNotFollowLinkedFolders)
{
    Shortcut("Sub/A.url", "http://a/");
    ASSERT_TRUE(QFile::link(root, root + "/Sub/loop"));
    ASSERT_TRUE(QFile::link(outside + "/sibling", root + "/away"));
    ASSERT_TRUE(ImportShortcuts(doc, root, true, false).Ok());
    EXPECT_EQ(TreeText(doc), "Sub[A<http://a/>]");
}

TEST_F(FavoritesTest, ExportWritesSanitizedShortcutsAndFolders)
{
    doc.AddBookmark("http://abc/", "a/b:c", "", &doc.m_root, false);
    doc.AddBookmark("http://x/", "<x>", "", &doc.m_root, false);
    CFolderNode* f = doc.CreateFolder(&doc.m_root, "Work", true);
    doc.AddBookmark("http://w/", "Wiki", "", f, false);
    doc.CreateFolder(f, "Empty", true);
    doc.AddBookmark("http://t/", "Trashed", "", &doc.m_trash, false);
    ASSERT_TRUE(ExportShortcuts(doc, root, false).Ok());
    const auto files = Chosen();
    const std::map<QString, QByteArray> expected
        = {{"a_b_c.url", "[InternetShortcut]\r\nURL=http://abc/\r\n"},
           {"_x_.url", "[InternetShortcut]\r\nURL=http://x/\r\n"},
           {"Work", "dir"},
           {"Work/Wiki.url", "[InternetShortcut]\r\nURL=http://w/\r\n"},
           {"Work/Empty", "dir"}};
    EXPECT_EQ(files, expected);

    // Back in, the tree is the same (the names as the files carry them), except for
    // folders without shortcuts: only a shortcut read creates its folder.
    CKivDoc back;
    ImportShortcuts(back, root, true, false);
    EXPECT_EQ(TreeText(back), "_x_<http://x/> a_b_c<http://abc/> Work[Wiki<http://w/>]");
}

TEST_F(FavoritesTest, ExportNeverOverwritesAndSameNamesGetOneFile)
{
    Shortcut("Site.url", "http://old/");
    doc.AddBookmark("http://new/", "Site", "", &doc.m_root, false);
    doc.AddBookmark("http://one/", "a:b", "", &doc.m_root, false);
    doc.AddBookmark("http://two/", "a/b", "", &doc.m_root, false);
    ASSERT_TRUE(ExportShortcuts(doc, root, false).Ok());
    ASSERT_TRUE(ExportShortcuts(doc, root, false).Ok());
    const auto files = Chosen();
    EXPECT_EQ(files.at("Site.url"), "[InternetShortcut]\r\nURL=http://old/\r\n");
    // Of the two names that map to a_b, the first in list order has the file.
    const std::string first = doc.Bookmark(doc.m_root.m_aBookmarks[0]).m_strUrl;
    ASSERT_TRUE(first == "http://one/" || first == "http://two/");
    EXPECT_EQ(files.at("a_b.url").toStdString(), "[InternetShortcut]\r\nURL=" + first + "\r\n");
}

TEST_F(FavoritesTest, RemoveOldLeavesOnlyWhatTheDocumentHolds)
{
    Shortcut("Keep.url", "http://keep/");
    Shortcut("Stale.url", "http://stale/");
    ASSERT_TRUE(WriteAll(root + "/notes.txt", "mine"));
    Shortcut("Work/Old.url", "http://old/");
    Shortcut("Work/Gone/x.url", "http://x/");
    Shortcut("Gone/y.url", "http://y/");
    Shortcut("Gone/Deeper/z.url", "http://z/");
    Shortcut("Kept/a.url", "http://a/");
    ASSERT_TRUE(WriteAll(root + "/Kept/personal.doc", "mine"));
    doc.AddBookmark("http://keep/", "Keep", "", &doc.m_root, false);
    CFolderNode* work = doc.CreateFolder(&doc.m_root, "Work", true);
    doc.AddBookmark("http://w/", "W", "", work, false);
    ASSERT_TRUE(ExportShortcuts(doc, root, true).Ok());
    std::map<QString, QByteArray> files = Chosen();
    std::vector<QString> names;
    for (const auto& [name, content] : files)
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<QString>{"Keep.url", "Kept", "Kept/personal.doc", "Work",
                                           "Work/W.url", "notes.txt"}));
    EXPECT_EQ(Snapshot(outside, true), before);
}

TEST_F(FavoritesTest, RemoveOldWithoutFoldersInTheDocumentLeavesSubfoldersAlone)
{
    Shortcut("Sub/a.url", "http://a/");
    doc.AddBookmark("http://r/", "R", "", &doc.m_root, false);
    ASSERT_TRUE(ExportShortcuts(doc, root, true).Ok());
    EXPECT_EQ(Chosen().count("Sub/a.url"), 1u);
}

TEST_F(FavoritesTest, HostileNamesStayInsideTheChosenFolder)
{
    for (const char* name : {"", "..", ".", "../evil", "..evil", "./x", "../../up"}) {
        doc.AddBookmark(("http://b/" + std::string(name)).c_str(), name, "", &doc.m_root, false);
        CFolderNode* f = doc.CreateFolder(&doc.m_root, name, false);
        doc.AddBookmark(("http://f/" + std::string(name)).c_str(), name, "", f, false);
    }
    ASSERT_TRUE(ExportShortcuts(doc, root, false).Ok());
    ASSERT_TRUE(ExportShortcuts(doc, root, true).Ok());
    EXPECT_EQ(Snapshot(outside, true), before);
    const auto files = Chosen();
    EXPECT_EQ(files.count("_.url"), 1u);
    EXPECT_EQ(files.count("_._evil.url"), 1u);
    EXPECT_EQ(files.count("_.evil/_.evil.url"), 1u);
    EXPECT_EQ(files.count("_./_..url"), 1u);
    for (const auto& [path, content] : files)
        EXPECT_FALSE(path.startsWith("..")) << path.toStdString();
}

TEST_F(FavoritesTest, LinksInsideTheChosenFolderAreNeverFollowed)
{
    // A folder link and a shortcut link that lead outside, both matching names the
    // export writes, and a stale folder link that removal would otherwise descend.
    ASSERT_TRUE(QFile::link(outside + "/sibling", root + "/Work"));
    ASSERT_TRUE(QFile::link(outside + "/planted.url", root + "/Site.url"));
    ASSERT_TRUE(QFile::link(outside + "/sibling", root + "/Stale"));
    doc.AddBookmark("http://s/", "Site", "", &doc.m_root, false);
    CFolderNode* work = doc.CreateFolder(&doc.m_root, "Work", true);
    doc.AddBookmark("http://w/", "W", "", work, false);
    ASSERT_TRUE(ExportShortcuts(doc, root, true).Ok());
    EXPECT_EQ(Snapshot(outside, true), before);
    EXPECT_FALSE(QFileInfo::exists(outside + "/planted.url"));
    EXPECT_TRUE(QFileInfo(root + "/Stale").isSymLink());

    RemoveShortcutTree(CPathName(root + "/Stale"));
    EXPECT_EQ(Snapshot(outside, true), before);
}

TEST_F(FavoritesTest, ExportIntoAMissingFolderWritesNothing)
{
    doc.AddBookmark("http://a/", "A", "", &doc.m_root, false);
    EXPECT_EQ(ExportShortcuts(doc, root + "/missing", false).status, FormatResult::notOpened);
    EXPECT_TRUE(Chosen().empty());
}

// A long data: URL comes back whole, names longer than a file name may be get one that
// fits, and only regular shortcuts inside the chosen folder are read: a FIFO named like
// a shortcut neither blocks the walk nor is read, a link leading out is not followed.
TEST_F(FavoritesTest, WholeUrlsFittingNamesAndOnlyRegularShortcutsInside)
{
    std::string han; // 100 characters of three bytes each
    for (int k = 0; k < 100; ++k)
        han += "\xe6\xbc\xa2";
    const std::string longUrl = "data:text/plain," + std::string(100000, 'a');
    CFolderNode* folder = doc.CreateFolder(&doc.m_root, han, true);
    ASSERT_TRUE(doc.AddBookmark(longUrl.c_str(), (han + "1").c_str(), "", folder, false));
    ASSERT_TRUE(doc.AddBookmark("http://two/", (han + "2").c_str(), "", folder, false));
    // Twice, with removal: the second run finds its own cut names and keeps them.
    ASSERT_TRUE(ExportShortcuts(doc, root, true).Ok());
    ASSERT_TRUE(ExportShortcuts(doc, root, true).Ok());
    const QString dirName = QString::fromStdString(han.substr(0, 255)); // 85 characters
    const QString fileName = QString::fromStdString(han.substr(0, 249)); // 83 + ".url"
    const std::map<QString, QByteArray> expected = {
        {dirName, "dir"},
        {dirName + "/" + fileName + ".url", QByteArray::fromStdString(
                                                 "[InternetShortcut]\r\nURL=" + longUrl + "\r\n")},
        {dirName + "/" + fileName + "~2.url", "[InternetShortcut]\r\nURL=http://two/\r\n"}};
    EXPECT_EQ(Chosen(), expected);

    ASSERT_TRUE(WriteAll(outside + "/far.url", "[InternetShortcut]\nURL=http://far/\n"));
    ASSERT_TRUE(QFile::link(outside + "/far.url", root + "/away.url"));
    ASSERT_TRUE(QFile::link(root + "/" + dirName + "/" + fileName + "~2.url", root + "/near.url"));
    ASSERT_EQ(mkfifo(QFile::encodeName(root + "/pipe.url").constData(), 0600), 0);
    CKivDoc back;
    ASSERT_TRUE(ImportShortcuts(back, root, true, false).Ok());
    // Shorthand, so that a failure prints something readable.
    const auto shortly = [&](std::string text) {
        for (const auto& [from, to] : {std::pair<std::string, std::string>{longUrl, "LONG"},
                                       {dirName.toStdString(), "DIR"},
                                       {fileName.toStdString(), "FILE"}})
            for (size_t at; (at = text.find(from)) != std::string::npos;)
                text.replace(at, from.size(), to);
        return text;
    };
    // The second file's URL is known by then and keeps the name it came with.
    EXPECT_EQ(shortly(TreeText(back)), "near<http://two/> DIR[near<http://two/> FILE<LONG>]");

    // Compare knows the long URL: nothing is new.
    back.m_bWalkSubfolders = true;
    EXPECT_TRUE(WalkShortcutsFrom(back, root, true).Ok());
    EXPECT_TRUE(back.m_check.m_aBookmarks.empty());

    // A file too large for any shortcut is left out and said so; the rest is read.
    ASSERT_TRUE(WriteAll(root + "/huge.url", "[InternetShortcut]\nURL=data:,"
                                                 + QByteArray(9 << 20, 'h') + "\n"));
    CKivDoc third;
    const FormatResult r = ImportShortcuts(third, root, false, false);
    EXPECT_EQ(r.status, FormatResult::fileError);
    EXPECT_EQ(r.error.cause, CFileError::tooLarge);
    EXPECT_EQ(r.error.path, root + "/huge.url");
    EXPECT_EQ(TreeText(third), "near<http://two/>");
}

// --- round trip ----------------------------------------------------------------------

// Export -> import -> export gives the same tree byte for byte, and an export with
// removal over its own earlier output changes nothing. The awkward collection brings
// quotes, tabs, non-ASCII names and comments (which shortcuts cannot carry); on top
// come names a file name cannot hold, names that meet in one file, two folders that
// meet in one directory (each with bookmarks and subfolders), names too long for a
// file, and folders nested three deep.
TEST_F(FavoritesTest, AFolderNamedLikeAHiddenDirectoryComesBack)
{
    CFolderNode* dot = doc.CreateFolder(&doc.m_root, ".config", false);
    doc.AddBookmark("http://dot.example/", "Dot", "", dot, false);
    doc.AddBookmark("http://inner.example/", "Inner", "", doc.CreateFolder(dot, ".inner", false),
                    false);
    const QString out = tmp.filePath("out");
    ASSERT_TRUE(QDir().mkpath(out));
    ASSERT_TRUE(ExportShortcuts(doc, out, true).Ok());
    CKivDoc back;
    ASSERT_TRUE(ImportShortcuts(back, out, true, false).Ok());
    EXPECT_EQ(TreeText(back),
              "_config[Dot<http://dot.example/> _inner[Inner<http://inner.example/>]]");
}

TEST_F(FavoritesTest, ExportImportExportGivesTheSameTreeByteForByte)
{
    AddAwkwardCollection(doc);
    doc.AddBookmark("http://one.example/", "a:b", "first", &doc.m_root, false);
    doc.AddBookmark("http://two.example/", "a/b", "second", &doc.m_root, false);
    doc.AddBookmark("http://same1.example/", "Same", "", &doc.m_root, false);
    doc.AddBookmark("http://same2.example/", "Same", "", &doc.m_root, false);
    doc.AddBookmark("http://upper.example/", "CASE", "", &doc.m_root, false);
    doc.AddBookmark("http://lower.example/", "case", "", &doc.m_root, false);
    std::string zhe; // 150 characters of two bytes each
    for (int k = 0; k < 150; ++k)
        zhe += "\xd0\x96";
    doc.AddBookmark("http://long1.example/", (zhe + "1").c_str(), "", &doc.m_root, false);
    doc.AddBookmark("http://long2.example/", (zhe + "2").c_str(), "", &doc.m_root, false);
    CFolderNode* x1 = doc.CreateFolder(&doc.m_root, "x:y", false);
    CFolderNode* x2 = doc.CreateFolder(&doc.m_root, "X|Y", false);
    doc.AddBookmark("http://x1.example/", "First", "", x1, false);
    doc.AddBookmark("http://both1.example/", "Both", "", x1, false);
    doc.AddBookmark("http://x2.example/", "Second", "", x2, false);
    doc.AddBookmark("http://both2.example/", "Both", "", x2, false);
    CFolderNode* deep
        = doc.CreateFolder(doc.CreateFolder(x1, "Level 2 *", false), "Level 3 ?", false);
    doc.AddBookmark("http://deep.example/?q=1&r=2", "Deep \"quoted\"", "c", deep, false);
    doc.AddBookmark("http://sub.example/", "In sub", "", doc.CreateFolder(x2, "Sub", false), false);

    // Every file with its bytes, every directory with a slash.
    const auto listing = [](const std::map<QString, QByteArray>& tree) {
        std::string out;
        for (const auto& [path, bytes] : tree)
            out += path.toStdString()
                   + (bytes == "dir" ? "/"
                                     : " = " + QByteArray(bytes).replace("\r\n", "|").toStdString())
                   + "\n";
        return out;
    };
    const auto shortly = [&](std::string text) {
        for (size_t at; (at = text.find(zhe.substr(0, 248))) != std::string::npos;)
            text.replace(at, 248, "ZHE");
        return text;
    };
    const QString first = tmp.filePath("first"), second = tmp.filePath("second");
    ASSERT_TRUE(QDir().mkpath(first) && QDir().mkpath(second));
    ASSERT_TRUE(ExportShortcuts(doc, first, true).Ok());
    const std::string exported = listing(Snapshot(first));

    CKivDoc back;
    ASSERT_TRUE(ImportShortcuts(back, first, true, false).Ok());
    // The names as the files carry them, comments gone, the first of two bookmarks
    // with one file name kept, the two folders as one.
    const std::string a_b = doc.Bookmark(doc.m_root.m_aBookmarks[0]).m_strUrl;
    ASSERT_TRUE(a_b == "http://one.example/" || a_b == "http://two.example/");
    EXPECT_EQ(shortly(TreeText(back)),
              "a_b<" + a_b
                  + "> Bookmarklet=1<javascript:(function(){alert(\"hi & <bye>\");})()> "
                    "CASE<http://upper.example/> case<http://lower.example/> "
                    "Fish & Chips _b__best___b_<http://r.example/?a=1&b=2&amp;c=\"q\"<x>> "
                    "Same<http://same1.example/> ZHE~2<http://long2.example/> "
                    "ZHE\xd0\x96<http://long1.example/> "
                    "x_y[Both<http://both1.example/> First<http://x1.example/> "
                    "Second<http://x2.example/> Level 2 _[Level 3 _[Deep _quoted_<http://deep"
                    ".example/?q=1&r=2>]] Sub[In sub<http://sub.example/>]] "
                    "\xc3\x84rger & _Co_ &amp;[R&amp;D\tlab \xf0\x9f\x98\x80 "
                    "\xe5\x90\x8d\xe5\x89\x8d<http://x.example/\xe5\x90\x8d\xe5\x89\x8d> "
                    "Inner _quoted_\tfolder[Fish & Chips _b__best___b_<http://r.example/"
                    "?a=1&b=2&amp;c=\"q\"<x>> \xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82"
                    "<http://y.example/>]]");

    // Again out: the same bytes, only the empty folder is gone (only a shortcut read
    // makes a folder).
    ASSERT_TRUE(ExportShortcuts(back, second, true).Ok());
    std::string withoutEmpty = exported;
    const std::string empty = "\xc3\x84rger & _Co_ &amp;/empty/\n";
    ASSERT_NE(withoutEmpty.find(empty), std::string::npos);
    withoutEmpty.erase(withoutEmpty.find(empty), empty.size());
    EXPECT_EQ(shortly(listing(Snapshot(second))), shortly(withoutEmpty));
    CKivDoc third;
    ASSERT_TRUE(ImportShortcuts(third, second, true, false).Ok());
    EXPECT_EQ(TreeText(third), TreeText(back));

    // Over its own output, an export with removal finds everything in place.
    ASSERT_TRUE(ExportShortcuts(doc, first, true).Ok());
    EXPECT_EQ(shortly(listing(Snapshot(first))), shortly(exported));
}
