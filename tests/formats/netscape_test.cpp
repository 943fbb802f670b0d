#include "FormatsTestSupport.h"

#include "formats/ExportFile.h"
#include "formats/Netscape.h"
#include "formats/TextLines.h"
#include "res/Strings.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace FormatsTest;

namespace {

struct NetscapeTest : ::testing::Test
{
    void SetUp() override { KivStrings::SetLanguage(KivStrings::Lang1033); }
    void TearDown() override { KivStrings::ResetLanguage(); }
    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    QTemporaryDir dir;
    CKivDoc doc;
};

// The small collection used by the worked examples: A (u1, comment x<y) in the root,
// folder F holding B (u2).
void AddExample(CKivDoc& doc)
{
    doc.AddBookmark("u1", "A", "x<y", &doc.m_root, false);
    CFolderNode* f = doc.CreateFolder(&doc.m_root, "F", true);
    doc.AddBookmark("u2", "B", "", f, false);
}

} // namespace

TEST(NetscapeTags, MatchTagSkipsBlanksAndTabsOnlyAndIsCaseSensitive)
{
    EXPECT_EQ(KivTags::MatchTag("<DL><p>", "<DL>"), 4);
    EXPECT_EQ(KivTags::MatchTag(" \t <DL>", "<DL>"), 7);
    EXPECT_EQ(KivTags::MatchTag("<dl>", "<DL>"), -1);
    EXPECT_EQ(KivTags::MatchTag("x<DL>", "<DL>"), -1);
    EXPECT_EQ(KivTags::MatchTag("<D", "<DL>"), -1);
    EXPECT_EQ(KivTags::MatchTag("", "<DL>"), -1);
}

TEST(NetscapeTags, AnglesAreTheOnlyEntities)
{
    EXPECT_EQ(KivTags::EscapeAngles("a<b>c & d"), "a&lt;b&gt;c & d");
    EXPECT_EQ(KivTags::UnescapeAngles("a&lt;b&gt;c"), "a<b>c");
    EXPECT_EQ(KivTags::UnescapeAngles("a&amp;b &quot;&#60;"), "a&amp;b &quot;&#60;");
    // Each entity is replaced in one left-to-right pass, in table order.
    EXPECT_EQ(KivTags::UnescapeAngles("&lt;lt;"), "<lt;");
    EXPECT_EQ(KivTags::UnescapeAngles("&&lt;gt;"), "&<gt;");
    EXPECT_EQ(KivTags::UnescapeAngles(KivTags::EscapeAngles("<<>>&lt;")), "<<>><");
}

TEST_F(NetscapeTest, ExportWritesTheWorkedExampleByteForByte)
{
    AddExample(doc);
    doc.SetModifiedFlag(false);
    ASSERT_TRUE(ExportNetscape(doc, Path("out.html")).Ok());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(ReadAll(Path("out.html")).toStdString(), "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
                                                       "<TITLE>Your Bookmarks</TITLE>\r\n"
                                                       "<H1>Bookmarks</H1>\r\n"
                                                       "<DL><p>\r\n"
                                                       "<DT><A HREF=\"u1\">A</A>\r\n"
                                                       "<DD>x&lt;y\r\n"
                                                       "   <DT><H3>F</H3>\r\n"
                                                       "   <DL><p>\r\n"
                                                       "      <DT><A HREF=\"u2\">B</A>\r\n"
                                                       "   </DL><p>\r\n"
                                                       "</DL><p>\r\n");
}

TEST_F(NetscapeTest, ExportOfAnEmptyDocumentIsTheHeaderAndTheListEnd)
{
    ASSERT_TRUE(ExportNetscape(doc, Path("empty.html")).Ok());
    EXPECT_EQ(ReadAll(Path("empty.html")).toStdString(),
              "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<TITLE>Your Bookmarks</TITLE>\r\n"
              "<H1>Bookmarks</H1>\r\n<DL><p>\r\n</DL><p>\r\n");
}

TEST_F(NetscapeTest, ExportLeavesOutTrashAndCheckAndEmptyFoldersStillShow)
{
    doc.AddBookmark("http://t/", "T", "", &doc.m_trash, false);
    doc.AddBookmark("http://c/", "C", "", &doc.m_check, true);
    doc.CreateFolder(&doc.m_root, "Empty", true);
    ASSERT_TRUE(ExportNetscape(doc, Path("out.html")).Ok());
    const std::string text = ReadAll(Path("out.html")).toStdString();
    EXPECT_EQ(text.find("http://t/"), std::string::npos);
    EXPECT_EQ(text.find("http://c/"), std::string::npos);
    EXPECT_NE(text.find("   <DT><H3>Empty</H3>\r\n   <DL><p>\r\n   </DL><p>\r\n"),
              std::string::npos);
}

TEST_F(NetscapeTest, ExportIntoAFolderThatDoesNotExistOpensNothing)
{
    AddExample(doc);
    EXPECT_EQ(ExportNetscape(doc, Path("missing/out.html")).status, FormatResult::notOpened);
}

TEST_F(NetscapeTest, FirstLineDecidesTheFileType)
{
    const struct
    {
        const char* first;
        bool accepted;
    } rows[] = {
        {"<!DOCTYPE NETSCAPE-Bookmark-file-1>", true},
        {"DOCTYPE NETSCAPE-Bookmark-file-1", true},
        {"\xEF\xBB\xBF<!DOCTYPE NETSCAPE-Bookmark-file-1>", true},
        {"<!doctype netscape-bookmark-file-1>", false},
        {"<html>", false},
        {"", false},
    };
    for (const auto& row : rows) {
        CKivDoc fresh;
        ASSERT_TRUE(
            WriteAll(Path("in.html"),
                     QByteArray(row.first) + "\n<DL><p>\n<DT><A HREF=\"http://x/\">X</A>\n"));
        const FormatResult r = ImportNetscape(fresh, Path("in.html"));
        EXPECT_EQ(r.Ok(), row.accepted) << row.first;
        EXPECT_EQ(fresh.BookmarkCount(), row.accepted ? 1u : 0u) << row.first;
        if (!row.accepted) {
            EXPECT_EQ(r.messageId, unsigned(IDS_WRONG_NETSCAPE));
            EXPECT_FALSE(fresh.IsModified());
        }
    }
    ASSERT_TRUE(WriteAll(Path("zero.html"), QByteArray()));
    EXPECT_EQ(ImportNetscape(doc, Path("zero.html")).status, FormatResult::wrongType);
    EXPECT_EQ(ImportNetscape(doc, Path("nowhere.html")).status, FormatResult::notOpened);
    EXPECT_EQ(ImportNetscape(doc, dir.path()).status, FormatResult::notOpened);
}

// --- the line rules ------------------------------------------------------------------

struct ParseRow
{
    const char* name;
    const char* lines; // after the first line
    const char* tree;  // TreeText after an import into a document holding `before`
    const char* before = "";
};

class NetscapeParse : public ::testing::TestWithParam<ParseRow>
{
};

TEST_P(NetscapeParse, BuildsTheTree)
{
    KivStrings::SetLanguage(KivStrings::Lang1033);
    CKivDoc doc;
    if (*GetParam().before) {
        CTextLines seed(GetParam().before);
        ParseNetscapeFile(doc, seed, false);
    }
    CTextLines lines(GetParam().lines);
    ParseNetscapeFile(doc, lines, false);
    EXPECT_EQ(TreeText(doc), GetParam().tree);
    KivStrings::ResetLanguage();
}

INSTANTIATE_TEST_SUITE_P(
    Rules, NetscapeParse,
    ::testing::Values(
        ParseRow{"BookmarkBeforeAnyListIsSkipped",
                 "<DT><A HREF=\"http://a/\">A</A>\n<DL><p>\n<DT><A HREF=\"http://b/\">B</A>\n",
                 "B<http://b/>"},
        ParseRow{"FirstListIsTheRootWhateverItsHeading",
                 "<DT><H3>Ignored</H3>\n<DL><p>\n<DT><A HREF=\"http://b/\">B</A>\n",
                 "B<http://b/>"},
        ParseRow{
            "IndentedAndTabbedTagsCount",
            "\t<DL><p>\n  \t<DT><H3 FOLDED>Sub</H3>\n\t  <DL><p>\n \t<DT><A HREF=\"http://a/\" "
            "ADD_DATE=\"1\">A</A>\n",
            "Sub[A<http://a/>]"},
        ParseRow{"LowerCaseTagsAreIgnored",
                 "<DL><p>\n<dt><a href=\"http://a/\">A</a>\n<DT><A HREF=\"http://b/\">B</A>\n",
                 "B<http://b/>"},
        ParseRow{"AttributeBeforeHrefMakesTheLineIgnored",
                 "<DL><p>\n<DT><A ADD_DATE=\"1\" HREF=\"http://a/\">A</A>\n", ""},
        ParseRow{"NameEndsAtTheFirstAngleAndUrlAtTheFirstQuote",
                 "<DL><p>\n<DT><A HREF=\"http://a/?q=\"x\">Fish &amp; <b>Chips</b></A>\n",
                 "Fish &amp; <http://a/?q=>"},
        ParseRow{"MissingNameOrUrlSkipsTheLine",
                 "<DL><p>\n<DT><A HREF=\"http://a/\"></A>\n<DT><A HREF=\"\">B</A>\n<DT><A "
                 "HREF=\"http://c/\">\n<DT><A HREF=\"http://d/\"\n",
                 ""},
        ParseRow{"ShortUrlIsRefusedAndItsCommentGoesNowhere",
                 "<DL><p>\n<DT><A HREF=\"http://a/\">A</A>\n<DT><A HREF=\"x\">X</A>\n<DD>lost\n",
                 "A<http://a/>"},
        ParseRow{"CommentIsTrimmedAndOnlyAnglesDecoded",
                 "<DL><p>\n<DT><A HREF=\"http://a/\">A</A>\n<DD>  a&lt;b&gt;c &amp; d \t\n",
                 "A<http://a/>{a<b>c &amp; d}"},
        ParseRow{"SecondCommentAndCommentAfterFolderLinesDescribeTheLastBookmark",
                 "<DL><p>\n<DT><A HREF=\"http://a/\">A</A>\n<DD>one\n<DT><H3>F</H3>\n<DL><p>\n<DD>"
                 "two\n",
                 "A<http://a/>{two} F[]"},
        ParseRow{"EmptyCommentKeepsTheOldOne",
                 "<DL><p>\n<DT><A HREF=\"http://a/\">A</A>\n<DD>kept\n<DD>   \n",
                 "A<http://a/>{kept}"},
        ParseRow{"HeadingMergesWithAFolderOfTheSameNameInAnyCase",
                 "<DL><p>\n<DT><H3>Work</H3>\n<DL><p>\n<DT><A HREF=\"http://b/\">B</A>\n",
                 "work[A<http://a/> B<http://b/>]",
                 "<DL><p>\n<DT><H3>work</H3>\n<DL><p>\n<DT><A HREF=\"http://a/\">A</A>\n"},
        ParseRow{"EmptyHeadingAndListAfterListEndAreNamedNew",
                 "<DL><p>\n<DT><H3></H3>\n<DL><p>\n</DL><p>\n<DL><p>\n<DT><A "
                 "HREF=\"http://a/\">A</A>\n</DL>\n<DT><H3>F</H3>\n<DL><p>\n</DL><p>\n<DL><p>\n"
                 "<DT><A HREF=\"http://b/\">B</A>\n",
                 "F[] Nuevo[A<http://a/> B<http://b/>]"},
        ParseRow{"SecondListBeforeAnyHeadingHasAnEmptyName",
                 "<DL><p>\n<DL><p>\n<DT><A HREF=\"http://a/\">A</A>\n", "[A<http://a/>]"},
        ParseRow{"SurplusListEndsStayAtTheTop",
                 "</DL>\n</DL>\n<DT><A HREF=\"http://a/\">A</A>\n<DL><p>\n<DT><A "
                 "HREF=\"http://b/\">B</A>\n</DL>\n</DL>\n</DL>\n<DT><A HREF=\"http://c/\">C</A>\n",
                 "B<http://b/>"},
        ParseRow{"KnownUrlIsLinkedKeepsItsNameAndTakesTheComment",
                 "<DL><p>\n<DT><H3>G</H3>\n<DL><p>\n<DT><A HREF=\"http://a/\">Other</A>\n<DD>new\n",
                 "A<http://a/>{new} G[A<http://a/>{new}]",
                 "<DL><p>\n<DT><A HREF=\"http://a/\">A</A>\n<DD>old\n"},
        ParseRow{"ImportingTwiceAddsNothing", "<DL><p>\n<DT><A HREF=\"http://a/\">A</A>\n",
                 "A<http://a/>", "<DL><p>\n<DT><A HREF=\"http://a/\">A</A>\n"},
        ParseRow{"LastLineWithoutEndAndCrLfEndsAreRead",
                 "<DL><p>\r\n<DT><A HREF=\"http://a/\">A</A>\r\n<DT><A HREF=\"http://b/\">B</A>",
                 "A<http://a/> B<http://b/>"},
        ParseRow{"LeadingBlanksOfANameAreDropped", "<DL><p>\n<DT><A HREF=\"http://a/\">   A</A>\n",
                 "A<http://a/>"}),
    [](const ::testing::TestParamInfo<ParseRow>& info) { return std::string(info.param.name); });

TEST(NetscapeDepth, ListsDeeperThanTheStackOpenNoFolderAndKeepTheShape)
{
    CKivDoc doc;
    std::string text = "<DL><p>\n";
    for (int i = 1; i <= 150; ++i)
        text += "<DT><H3>L" + std::to_string(i) + "</H3>\n<DL><p>\n";
    text += "<DT><A HREF=\"http://deep/\">Deep</A>\n";
    for (int i = 1; i <= 150; ++i)
        text += "</DL><p>\n";
    text += "<DT><A HREF=\"http://top/\">Top</A>\n</DL><p>\n";
    CTextLines lines(text);
    ParseNetscapeFile(doc, lines, false);

    int depth = 0;
    const CFolderNode* f = &doc.m_root;
    while (f->m_pFirstChild) {
        f = f->m_pFirstChild;
        ++depth;
        EXPECT_EQ(f->m_pNext, nullptr);
    }
    EXPECT_EQ(depth, 99); // the root's list and 99 folders fill the stack
    ASSERT_EQ(f->m_aBookmarks.size(), 1u);
    EXPECT_EQ(doc.Bookmark(f->m_aBookmarks[0]).m_strName, "Deep");
    // The surplus list ends closed only the surplus lists: Top lands in the root.
    ASSERT_EQ(doc.m_root.m_aBookmarks.size(), 1u);
    EXPECT_EQ(doc.Bookmark(doc.m_root.m_aBookmarks[0]).m_strName, "Top");
    EXPECT_TRUE(doc.FlattenForSave());
}

TEST(NetscapeCompareMode, NewUrlsGoFlatIntoTheCheckFolderOnce)
{
    CKivDoc doc;
    doc.AddBookmark("http://known/", "Known", "", &doc.m_root, false);
    doc.AddBookmark("http://trashed/", "Trashed", "", &doc.m_trash, false);
    doc.SetModifiedFlag(false);
    CTextLines lines(
        "<DL><p>\n<DT><H3>F</H3>\n<DL><p>\n<DT><A HREF=\"http://new/\">New</A>\n<DD>about it\n"
        "<DT><A HREF=\"http://known/\">K</A>\n<DD>not for the known one\n"
        "<DT><A HREF=\"http://trashed/\">T</A>\n<DT><A HREF=\"http://new/\">Again</A>\n"
        "<DT><A HREF=\"http://Known/\">Case</A>\n</DL>\n</DL>\n");
    ParseNetscapeFile(doc, lines, true);
    EXPECT_EQ(FolderText(doc, doc.m_check), "Case<http://Known/> New<http://new/>{about it}");
    EXPECT_EQ(TreeText(doc), "Known<http://known/>");
    EXPECT_FALSE(doc.IsModified());
}

// --- real files ----------------------------------------------------------------------

TEST_F(NetscapeTest, FirefoxExport)
{
    ASSERT_TRUE(ImportNetscape(doc, DataPath("firefox.html")).Ok());
    EXPECT_EQ(TreeText(doc),
              "Getting Started<https://www.mozilla.org/en-US/firefox/central/> "
              "Bookmarks Toolbar[News &amp; Weather<https://news.example.com/?a=1&amp;b=2> "
              "Work[Wiki — Zürich office<https://wiki.example.com/>{team pages} "
              "Deep[Deep link<https://deep.example.com/>]]] "
              "Mozilla Firefox[About Us<https://www.mozilla.org/en-US/about/>{Who we are &amp; "
              "what we do <really>} Help and Tutorials<https://support.mozilla.org/en-US/products/"
              "firefox>] "
              "Other Bookmarks[]");
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(NetscapeTest, ChromiumExportWithIconDataAndARepeatedUrl)
{
    ASSERT_TRUE(ImportNetscape(doc, DataPath("chrome.html")).Ok());
    EXPECT_EQ(TreeText(doc), "Bookmarks bar[Example Domain<https://www.example.com/> "
                             "Recipes[cake<https://food.example.org/cake> Pasta &amp; "
                             "Sauce<https://food.example.org/pasta>]] "
                             "Other bookmarks[Example Domain<https://www.example.com/>]");
    EXPECT_EQ(doc.BookmarkCount(), 3u);
}

TEST_F(NetscapeTest, OldNetscapeFileInTheWindowsCodePage)
{
    ASSERT_TRUE(ImportNetscape(doc, DataPath("netscape4.html")).Ok());
    EXPECT_EQ(TreeText(doc),
              "Netscape<http://home.netscape.com/> "
              "Cafés[Café Central – Wien<http://www.cafe.example/>{Melange € 3,20}]");
}

TEST_F(NetscapeTest, PinboardExportKeepsTheTagsOutAndTheCommentIn)
{
    ASSERT_TRUE(ImportNetscape(doc, DataPath("pinboard.html")).Ok());
    // The first bookmark shares its line with the root's "<DL><p>" and is not read.
    EXPECT_EQ(TreeText(doc), "Private one<https://pinboard.example/b>");
}

// --- round trip ----------------------------------------------------------------------

TEST_F(NetscapeTest, ExportThenImportGivesBackTheTree)
{
    doc.AddBookmark("http://r1/", "Root one", "plain", &doc.m_root, false);
    doc.AddBookmark("http://r2/?a=1&b=2", "Fish & Chips", "a<b>c & d", &doc.m_root, false);
    CFolderNode* a = doc.CreateFolder(&doc.m_root, "Ärger", true);
    CFolderNode* b = doc.CreateFolder(a, "Inner & more", true);
    doc.CreateFolder(a, "empty", true);
    doc.AddBookmark("http://x/", "Ünïcödé 名前", "", a, false);
    doc.AddBookmark("http://y/", "Y", "multi word comment", b, false);
    doc.LinkBookmark(b, 0);
    doc.CreateFolder(&doc.m_root, "Zeta", true);
    ASSERT_TRUE(ExportNetscape(doc, Path("round.html")).Ok());

    CKivDoc back;
    ASSERT_TRUE(ImportNetscape(back, Path("round.html")).Ok());
    EXPECT_EQ(TreeText(back), TreeText(doc));
    EXPECT_EQ(back.BookmarkCount(), doc.BookmarkCount());
}
