#include "FormatsTestSupport.h"

#include "formats/Compare.h"
#include "formats/ExportFile.h"
#include "formats/Netscape.h"
#include "formats/TextLines.h"
#include "framework/TextRules.h"
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

TEST(NetscapeTags, EntitiesBrowsersWriteAreDecodedAndWhatWeWriteComesBack)
{
    EXPECT_EQ(KivTags::EscapeHtml("a<b>\"c\" & &amp;\r\n\t"),
              "a&lt;b&gt;&quot;c&quot; &amp; &amp;amp;&#13;&#10;\t");
    EXPECT_EQ(KivTags::DecodeEntities("&amp;amp; &lt;&gt;&quot;&apos;&#39;&#x27;&#X41;&#228;&nbsp;"),
              "&amp; <>\"'''A\u00E4\u00A0");
    // References that name no character: U+FFFD; 128-159 as Windows-1252 has them.
    EXPECT_EQ(KivTags::DecodeEntities("&#0;&#xD800;&#1114112;&#99999999999999;&#150;"),
              "\uFFFD\uFFFD\uFFFD\uFFFD\u2013");
    // What is no entity stays as it stands.
    EXPECT_EQ(KivTags::DecodeEntities("a&b &amp &unknown; &#; &#x; &#12a; &"),
              "a&b &amp &unknown; &#; &#x; &#12a; &");
    const std::string awkward = "Fish & <Chips> \"q\" &amp; \t\r\nÄ 名前 &#39;";
    EXPECT_EQ(KivTags::DecodeEntities(KivTags::EscapeHtml(awkward)), awkward);
}

TEST_F(NetscapeTest, ExportWritesTheWorkedExampleByteForByte)
{
    AddExample(doc);
    doc.SetModifiedFlag(false);
    ASSERT_TRUE(ExportNetscape(doc, Path("out.html")).Ok());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(ReadAll(Path("out.html")).toStdString(), "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
                                                       "<META HTTP-EQUIV=\"Content-Type\" "
                                                       "CONTENT=\"text/html; charset=UTF-8\">\r\n"
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
              "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<META HTTP-EQUIV=\"Content-Type\" "
              "CONTENT=\"text/html; charset=UTF-8\">\r\n<TITLE>Your Bookmarks</TITLE>\r\n"
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
        {"<!DOCTYPE html>", false},
        {"plain text", false},
        // Without the DOCTYPE line: the head of a bookmark file up to its list.
        {"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">", true},
        {"<!-- generated\n     by hand -->\n<Title>Bookmarks</Title>\n<H1>Bookmarks</H1>", true},
        {"", true},
        {"<TITLE>Links</TITLE>\n<p>A page</p>", false},
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
        ParseRow{"BookmarkBeforeAnyListGoesIntoTheRoot",
                 "<DT><A HREF=\"http://a/\">A</A>\n<DL><p>\n<DT><A HREF=\"http://b/\">B</A>\n",
                 "A<http://a/> B<http://b/>"},
        ParseRow{"FirstListIsTheRootWhateverItsTitle",
                 "<H1>Ignored</H1>\n<DL><p>\n<DT><A HREF=\"http://b/\">B</A>\n", "B<http://b/>"},
        ParseRow{
            "IndentedAndTabbedTagsCount",
            "\t<DL><p>\n  \t<DT><H3 FOLDED>Sub</H3>\n\t  <DL><p>\n \t<DT><A HREF=\"http://a/\" "
            "ADD_DATE=\"1\">A</A>\n",
            "Sub[A<http://a/>]"},
        ParseRow{"LowerCaseTagsAreIgnored",
                 "<DL><p>\n<dt><a href=\"http://a/\">A</a>\n<DT><A HREF=\"http://b/\">B</A>\n",
                 "B<http://b/>"},
        ParseRow{"HrefIsFoundAnywhereInTheTagInAnyCase",
                 "<DL><p>\n<DT><A ADD_DATE=\"1>2\" HREF=\"http://a/\">A</A>\n"
                 "<DT><A FEEDURL='http://f/' href = http://b/ ICON=\"x\">B</A>\n"
                 "<DT><A NAME=\"x\">No link</A>\n",
                 "A<http://a/> B<http://b/>"},
        ParseRow{"NameEndsAtTheFirstAngleAndUrlAtTheFirstQuote",
                 "<DL><p>\n<DT><A HREF=\"http://a/?q=\"x\">Fish &amp; <b>Chips</b></A>\n",
                 "Fish & <http://a/?q=>"},
        ParseRow{"UnnamedBookmarksAreNamedFromTheirUrlAndEmptyUrlsSkipped",
                 "<DL><p>\n<DT><A HREF=\"http://www.alpha.org/\"></A>\n<DT><A HREF=\"\">B</A>\n"
                 "<DT><A HREF=\"http://beta.org/\"> </A>\n<DT><A HREF=\"http://c/\"\n",
                 "Alpha<http://www.alpha.org/> Nuevo<http://c/> Org/<http://beta.org/>"},
        ParseRow{
            "SeparatorsAndListStartsShareALineWithWhatFollows",
            "<DL><p><DT><A HREF=\"http://a/\">A</A>\n<HR>    <DT><H3>F</H3>\n"
            "<DL><p><HR><DT><A HREF=\"http://b/\">B</A>\n</DL><p><DT><A HREF=\"http://c/\">C</A>\n",
            "A<http://a/> C<http://c/> F[B<http://b/>]"},
        ParseRow{"ShortUrlIsRefusedAndItsCommentGoesNowhere",
                 "<DL><p>\n<DT><A HREF=\"http://a/\">A</A>\n<DT><A HREF=\"x\">X</A>\n<DD>lost\n",
                 "A<http://a/>"},
        ParseRow{"CommentIsTrimmedDecodedAndRunsToTheNextTagLine",
                 "<DL><p>\n<DT><A HREF=\"http://a/\">A</A>\n<DD>  a&lt;b&gt;c &amp; d\n\n  more\t\n"
                 "\n   <DT><A HREF=\"http://b/\">B</A>\n",
                 "A<http://a/>{a<b>c & d\n\n  more} B<http://b/>"},
        ParseRow{"ACommentAfterAHeadingIsTheFolders",
                 "<DL><p>\n<DT><A HREF=\"http://a/\">A</A>\n<DD>one\n<DD>two\n<DT><H3>F</H3>\n"
                 "<DD>about F\n<DL><p>\n<DD>three\n",
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
        ParseRow{
            "WithoutTheOuterListTopLevelFoldersStayFolders",
            "<DT><A HREF=\"http://first/\">Before any list</A>\n<DT><H3>Favorites</H3>\n"
            "<DL><p>\n<DT><A HREF=\"http://a/\">A</A>\n</DL><p>\n<DT><A HREF=\"http://r/\">R</A>\n"
            "<DT><H3>Menu</H3>\n<DL><p>\n<DT><A HREF=\"http://b/\">B</A>\n</DL><p>\n",
            "Before any list<http://first/> R<http://r/> Favorites[A<http://a/>] "
            "Menu[B<http://b/>]"},
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

// Separators before a heading or a bookmark on the same line, an icon-only bookmark, a
// live bookmark with its feed before HREF, entities everywhere, a folder description
// and a description over several lines.
TEST_F(NetscapeTest, FirefoxExport)
{
    ASSERT_TRUE(ImportNetscape(doc, DataPath("firefox.html")).Ok());
    EXPECT_EQ(TreeText(doc),
              "Getting Started<https://www.mozilla.org/en-US/firefox/central/> "
              "Bookmarks Toolbar[Ben's \"Blog\" — R&D<https://blog.example.org/?from=ff&t=1> "
              "News & Weather<https://news.example.com/?a=1&b=2> Youtube<https://www.youtube.com/> "
              "Work[Wiki — Zürich office<https://wiki.example.com/>{team pages\nand the <on-call> "
              "rota} Deep[Deep link<https://deep.example.com/>]]] "
              "Mozilla Firefox[About Us<https://www.mozilla.org/en-US/about/>{Who we are & "
              "what we do <really>} Help and Tutorials<https://support.mozilla.org/en-US/products/"
              "firefox>] "
              "Other Bookmarks[]");
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(NetscapeTest, ChromiumExportWithIconDataAndARepeatedUrl)
{
    ASSERT_TRUE(ImportNetscape(doc, DataPath("chrome.html")).Ok());
    EXPECT_EQ(TreeText(doc), "Bookmarks bar[Example Domain<https://www.example.com/> "
                             "Recipes[Mum's \"best\" cake<https://food.example.org/cake> Pasta & "
                             "Sauce<https://food.example.org/pasta>]] "
                             "Other bookmarks[Example Domain<https://www.example.com/>]");
    EXPECT_EQ(doc.BookmarkCount(), 3u);
}

TEST_F(NetscapeTest, OldNetscapeFileInTheWindowsCodePage)
{
    ASSERT_TRUE(ImportNetscape(doc, DataPath("netscape4.html")).Ok());
    EXPECT_EQ(TreeText(doc),
              "Netscape<http://home.netscape.com/> Sun<http://www.sun.com/> "
              "Cafés[Café Central – Wien<http://www.cafe.example/>{Melange € 3,20}]");
}

TEST_F(NetscapeTest, PinboardExportKeepsTheTagsOutAndTheCommentIn)
{
    ASSERT_TRUE(ImportNetscape(doc, DataPath("pinboard.html")).Ok());
    // The first bookmark shares its line with the root's "<DL><p>".
    EXPECT_EQ(TreeText(doc),
              "C++ & Qt notes<https://pinboard.example/a>{Read later: \"quoted\" "
              "text\nsecond paragraph & more} Private one<https://pinboard.example/b>");
}

// Edge wrote no DOCTYPE line; Safari leaves out the list around its top level; a
// Pocket export is another kind of page altogether.
TEST_F(NetscapeTest, EdgeSafariAndPocketExports)
{
    ASSERT_TRUE(ImportNetscape(doc, DataPath("edge.html")).Ok());
    EXPECT_EQ(TreeText(doc), "Favorites Bar[Bing<https://www.bing.com/>]");
    // The compare reads it with the same reader.
    CKivDoc compared;
    ASSERT_TRUE(CompareNetscape(compared, DataPath("edge.html")).Ok());
    EXPECT_EQ(FolderText(compared, compared.m_check), "Bing<https://www.bing.com/>");

    CKivDoc safari;
    ASSERT_TRUE(ImportNetscape(safari, DataPath("safari.html")).Ok());
    EXPECT_EQ(
        TreeText(safari),
        "Bookmarks Menu[News<https://news.example.com/>] Favorites[Apple<https://www.apple.com/>] "
        "Reading List[An article<https://www.example.com/article>{The first lines of the "
        "article}]");

    CKivDoc pocket;
    const FormatResult r = ImportNetscape(pocket, DataPath("pocket.html"));
    EXPECT_EQ(r.status, FormatResult::wrongType);
    EXPECT_EQ(r.messageId, unsigned(IDS_WRONG_NETSCAPE));
    EXPECT_EQ(pocket.BookmarkCount(), 0u);
}

// --- round trip ----------------------------------------------------------------------

TEST_F(NetscapeTest, ExportThenImportGivesEveryTextBackAndExportsTheSameBytes)
{
    AddAwkwardCollection(doc);
    // White space at the ends of a comment, which a reader trims, comes back too.
    doc.AddBookmark("http://z.example/", "Z", " \t padded \n", &doc.m_root, false);
    ASSERT_TRUE(ExportNetscape(doc, Path("round.html")).Ok());
    const std::string first = ReadAll(Path("round.html")).toStdString();
    EXPECT_EQ(first, NetscapeText(doc));
    // Nothing a browser would misread: the quote in the URL no longer ends HREF.
    EXPECT_NE(first.find("<DT><A HREF=\"javascript:(function(){alert(&quot;hi &amp; "
                         "&lt;bye&gt;&quot;);})()\">Bookmarklet=1</A>"),
              std::string::npos);

    CKivDoc back;
    ASSERT_TRUE(ImportNetscape(back, Path("round.html")).Ok());
    EXPECT_EQ(TreeText(back), TreeText(doc));
    EXPECT_EQ(back.BookmarkCount(), doc.BookmarkCount());
    EXPECT_EQ(NetscapeText(back), first);
}

// A text that begins with U+FEFF keeps its end when it is trimmed.
TEST(NetscapeComments, ACommentThatBeginsWithAByteOrderMarkIsKeptWhole)
{
    const std::string privet = "\xEF\xBB\xBF\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
    EXPECT_EQ(KivText::Trim(" " + privet + " \t"), privet);
    CKivDoc doc;
    CTextLines lines("<DL><p>\n<DT><A HREF=\"http://a/\">A</A>\n<DD>" + privet + "\n");
    ParseNetscapeFile(doc, lines, false);
    EXPECT_EQ(TreeText(doc), "A<http://a/>{" + privet + "}");
}
