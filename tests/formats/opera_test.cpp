#include "FormatsTestSupport.h"

#include "formats/Opera.h"
#include "formats/TextLines.h"
#include "res/Strings.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace FormatsTest;

namespace {

struct OperaTest : ::testing::Test
{
    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    std::string Export(const std::function<int64_t()>& clock = [] { return int64_t(777); })
    {
        EXPECT_TRUE(ExportOpera(doc, Path("out.adr"), clock).Ok());
        return ReadAll(Path("out.adr")).toStdString();
    }

    QTemporaryDir dir;
    CKivDoc doc;
};

std::string Folder(const std::string& name, int64_t created, int order)
{
    return "#FOLDER\r\n\tNAME=" + name + "\r\n\tCREATED=" + std::to_string(created)
           + "\r\n\tVISITED=0\r\n\tORDER=" + std::to_string(order)
           + "\r\n\tDESCRIPTION=\r\n\tSHORT NAME=\r\n\r\n";
}

std::string Url(const std::string& name, const std::string& url, int order,
                const std::string& comment = "")
{
    return "#URL\r\n\tNAME=" + name + "\r\n\tURL=" + url + "\r\n\tVISITED=0\r\n\tORDER="
           + std::to_string(order) + "\r\n\tDESCRIPTION=" + comment + "\r\n\tSHORT NAME=\r\n\r\n";
}

} // namespace

TEST_F(OperaTest, ExportWritesTheWorkedExample)
{
    doc.AddBookmark("u1", "A", "c", &doc.m_root, false);
    doc.AddBookmark("u2", "B", "", doc.CreateFolder(&doc.m_root, "F", true), false);
    EXPECT_EQ(Export(), "Opera Hotlist version 2.0\r\nOptions: encoding = utf8\r\n\r\n"
                            + Folder("F", 777, 1) + Url("B", "u2", 0) + "-\r\n"
                            + Url("A", "u1", 0, "c") + "-\r\n");
}

TEST_F(OperaTest, ExportOfAnEmptyDocument)
{
    EXPECT_EQ(Export(), "Opera Hotlist version 2.0\r\nOptions: encoding = utf8\r\n\r\n-\r\n");
}

TEST_F(OperaTest, OrderNumbersFolderAfterBookmarksAndCreatedIsReadOncePerChain)
{
    CFolderNode* f = doc.CreateFolder(&doc.m_root, "F", true);
    doc.CreateFolder(&doc.m_root, "G", true);
    doc.AddBookmark("http://r/", "R", "", &doc.m_root, false);
    doc.AddBookmark("http://a/", "a", "", f, false);
    doc.AddBookmark("http://b/", "b", "", f, false);
    CFolderNode* s1 = doc.CreateFolder(f, "S1", true);
    doc.CreateFolder(f, "S2", true);
    doc.CreateFolder(s1, "T", true);
    int64_t tick = 100;
    const std::string text = Export([&tick] { return tick++; });
    // Root chain F, G: one reading (100); F's children S1, S2: 101; S1's child T: 102.
    const std::string expected
        = "Opera Hotlist version 2.0\r\nOptions: encoding = utf8\r\n\r\n" + Folder("F", 100, 1)
          + Folder("S1", 101, 2) + Folder("T", 102, 0) + "-\r\n-\r\n" + Folder("S2", 101, 3)
          + "-\r\n" + Url("a", "http://a/", 0) + Url("b", "http://b/", 1) + "-\r\n"
          + Folder("G", 100, 2) + "-\r\n" + Url("R", "http://r/", 0) + "-\r\n";
    EXPECT_EQ(text, expected);
}

TEST_F(OperaTest, SourceDateEpochStandsForTheTime)
{
    doc.CreateFolder(&doc.m_root, "F", true);
    ::setenv("SOURCE_DATE_EPOCH", "1234567890", 1);
    EXPECT_EQ(HotlistClock(), 1234567890);
    const std::string first = Export(HotlistClock);
    const std::string second = Export(HotlistClock);
    ::setenv("SOURCE_DATE_EPOCH", "not a number", 1);
    const int64_t now = HotlistClock();
    ::unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_NE(first.find("CREATED=1234567890\r\n"), std::string::npos);
    EXPECT_EQ(first, second);
    EXPECT_GT(now, 1700000000);
}

TEST_F(OperaTest, FirstLineDecidesTheFileType)
{
    const struct
    {
        const char* first;
        bool accepted;
    } rows[] = {{"Opera Hotlist version 2.0", true},
                {"Opera Hotlist version 2.1 (later)", true},
                {"opera hotlist version 2.0", false},
                {"Opera Hotlist version 1.0", false}};
    for (const auto& row : rows) {
        CKivDoc fresh;
        ASSERT_TRUE(
            WriteAll(Path("in.adr"), QByteArray(row.first) + "\n\n#URL\nNAME=X\nURL=http://x/\n"));
        const FormatResult r = ImportOpera(fresh, Path("in.adr"));
        EXPECT_EQ(r.Ok(), row.accepted) << row.first;
        EXPECT_EQ(fresh.BookmarkCount(), row.accepted ? 1u : 0u) << row.first;
        if (!row.accepted) {
            EXPECT_EQ(r.messageId, unsigned(IDS_WRONG_OPERA));
        }
    }
}

struct HotlistRow
{
    const char* name;
    const char* lines;
    const char* tree;
    const char* before = "";
};

class HotlistParse : public ::testing::TestWithParam<HotlistRow>
{
};

TEST_P(HotlistParse, BuildsTheTree)
{
    CKivDoc doc;
    if (*GetParam().before) {
        CTextLines seed(GetParam().before);
        ParseHotlist(doc, seed, false);
    }
    CTextLines lines(GetParam().lines);
    ParseHotlist(doc, lines, false);
    EXPECT_EQ(TreeText(doc), GetParam().tree);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, HotlistParse,
    ::testing::Values(
        HotlistRow{"ValueIsEverythingAfterTheKeyAndLineEndsAreTrimmed",
                   "#URL\n \tNAME=a=b\tc \t\n\tURL=http://x/?q=1 \n DESCRIPTION= d=e \n",
                   "a=b\tc<http://x/?q=1>{ d=e}"},
        HotlistRow{"LastRecordWithoutEndIsAdded", "#URL\nNAME=A\nURL=http://a/", "A<http://a/>"},
        HotlistRow{
            "RecordWithoutNameIsNamedFromItsUrl",
            "#URL\nURL=http://www.a.org/\n\n#URL\nNAME=\nURL=http://b/\n\n#URL\nNAME=B\nURL=x\n",
            "A<http://www.a.org/> Nuevo<http://b/>"},
        HotlistRow{"RepeatedKeysReplaceEarlierOnes",
                   "#URL\nNAME=A\nNAME=B\nURL=http://1/\nURL=http://2/\n", "B<http://2/>"},
        HotlistRow{"OnlyTheFirstNameNamesAFolder",
                   "#FOLDER\nNAME=F\nNAME=G\n#URL\nNAME=A\nURL=http://a/\n-\n", "F[A<http://a/>]"},
        HotlistRow{"FolderWithoutNameKeepsItsItemsInTheEnclosingOne",
                   "#FOLDER\nNAME=Outer\n#FOLDER\nID=1\n#URL\nNAME=In\nURL=http://in/\n-\n"
                   "#URL\nNAME=After\nURL=http://after/\n-\n#URL\nNAME=Top\nURL=http://top/\n",
                   "Top<http://top/> Outer[After<http://after/> In<http://in/>]"},
        HotlistRow{"OtherRecordsEndABookmarkRecord",
                   "#URL\nNAME=A\nURL=http://a/\n\n#NOTE\nNAME=a note\nURL=http://note/\n",
                   "A<http://a/>"},
        HotlistRow{"SurplusEndsAndKeysOutsideRecordsAreIgnored",
                   "-\n-\nNAME=x\nURL=http://stray/\n#URL\nNAME=A\nURL=http://a/\n-\n-\n",
                   "A<http://a/>"},
        HotlistRow{"FolderMergesWithOneOfTheSameNameInAnyCase",
                   "#FOLDER\nNAME=WORK\n#URL\nNAME=B\nURL=http://b/\n-\n",
                   "work[A<http://a/> B<http://b/>]",
                   "#FOLDER\nNAME=work\n#URL\nNAME=A\nURL=http://a/\n-\n"},
        HotlistRow{"KnownUrlIsLinkedAndKeepsItsNameAndComment",
                   "#FOLDER\nNAME=G\n#URL\nNAME=Other\nURL=http://a/\nDESCRIPTION=new\n-\n",
                   "A<http://a/>{old} G[A<http://a/>{old}]",
                   "#URL\nNAME=A\nURL=http://a/\nDESCRIPTION=old\n"}),
    [](const ::testing::TestParamInfo<HotlistRow>& info) { return std::string(info.param.name); });

TEST(HotlistDepth, FoldersDeeperThanTheStackOpenNothing)
{
    CKivDoc doc;
    std::string text;
    for (int i = 1; i <= 120; ++i)
        text += "#FOLDER\nNAME=L" + std::to_string(i) + "\n\n";
    text += "#URL\nNAME=Deep\nURL=http://deep/\n\n";
    for (int i = 1; i <= 120; ++i)
        text += "-\n";
    text += "#URL\nNAME=Top\nURL=http://top/\n";
    CTextLines lines(text);
    ParseHotlist(doc, lines, false);
    int depth = 0;
    const CFolderNode* f = &doc.m_root;
    while (f->m_pFirstChild) {
        f = f->m_pFirstChild;
        ++depth;
    }
    EXPECT_EQ(depth, 99);
    ASSERT_EQ(f->m_aBookmarks.size(), 1u);
    ASSERT_EQ(doc.m_root.m_aBookmarks.size(), 1u);
    EXPECT_EQ(doc.Bookmark(doc.m_root.m_aBookmarks[0]).m_strName, "Top");
    EXPECT_TRUE(doc.FlattenForSave());
}

TEST(HotlistCheckMode, NewUrlsGoIntoTheCheckFolderWithTheirDescription)
{
    CKivDoc doc;
    doc.AddBookmark("http://known/", "Known", "", &doc.m_root, false);
    doc.SetModifiedFlag(false);
    CTextLines lines(
        "#FOLDER\nNAME=F\n#URL\nNAME=N\nURL=http://new/\nDESCRIPTION=d\n"
        "#URL\nNAME=K\nURL=http://known/\n-\n"
        "#FOLDER\nNAME=Trash\nTRASH FOLDER=YES\n\n#URL\nNAME=D\nURL=http://deleted/\n-\n");
    ParseHotlist(doc, lines, true);
    // What Opera's trash holds is no bookmark of the browser's any more.
    EXPECT_EQ(FolderText(doc, doc.m_check), "N<http://new/>{d}");
    EXPECT_TRUE(doc.m_trash.m_aBookmarks.empty());
    EXPECT_EQ(TreeText(doc), "Known<http://known/>");
    EXPECT_FALSE(doc.IsModified());
}

// Extra keys and records, line breaks stored as 0x02 0x02, and a trash folder holding
// a folder without a name and a deleted copy of a bookmark that is kept.
TEST_F(OperaTest, OperaHotlistWithExtraKeysRecordsAndTrash)
{
    ASSERT_TRUE(ImportOpera(doc, DataPath("opera.adr")).Ok());
    EXPECT_EQ(TreeText(doc), "In nameless folder<http://nameless.example/> "
                             "Last one without end<http://last.example/> "
                             "Opera[Opera Web Browser<http://www.opera.com/>{Home of Opera=fast\n\n"
                             "Since 1995} Nested[Space indented<http://space.example/>]]");
    EXPECT_EQ(FolderText(doc, doc.m_trash),
              "Deleted after the nameless folder<http://deleted-after.example/> "
              "Deleted in a nameless folder<http://deleted-nameless.example/> "
              "Deleted page<http://deleted.example/>{gone}");
    EXPECT_TRUE(doc.IsModified());
    // The trash is not saved: the deleted bookmarks are gone from the file.
    ASSERT_TRUE(doc.FlattenForSave());
    EXPECT_EQ(doc.m_flatBookmarks.size(), 4u);
}

TEST_F(OperaTest, ExportThenImportGivesBackTheTreeAndExportsTheSameBytes)
{
    AddAwkwardCollection(doc);
    const std::string first = Export();
    EXPECT_NE(first.find("\tDESCRIPTION=line one\x02\x02\x02\x02line two\r\n"), std::string::npos);
    EXPECT_EQ(first, HotlistText(doc, [] { return int64_t(777); }));
    CKivDoc back;
    ASSERT_TRUE(ImportOpera(back, Path("out.adr")).Ok());
    EXPECT_EQ(TreeText(back), TreeText(doc));
    EXPECT_EQ(HotlistText(back, [] { return int64_t(777); }), first);
}
