// XBEL: the shapes desktops and other programs write, export and import giving back
// the same tree, and files that try to make the reader expand or fetch entities.
#include "BrowsersTestSupport.h"

#include "browsers/Xbel.h"
#include "formats/ImportMerge.h"
#include "framework/TextRules.h"
#include "res/Strings.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using BrowsersTest::SeedDoc;
using FormatsTest::FolderText;
using FormatsTest::ReadAll;
using FormatsTest::TreeText;
using FormatsTest::WriteAll;

namespace {

FormatResult Parse(const QByteArray& bytes, CImportTree& tree)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return ParseXbel(buffer, tree);
}

std::string Imported(const QByteArray& bytes)
{
    CImportTree tree;
    const FormatResult r = Parse(bytes, tree);
    if (!r.Ok())
        return "refused " + std::to_string(r.messageId);
    CKivDoc doc;
    doc.OnNewDocument();
    MergeImport(doc, tree);
    return TreeText(doc);
}

// As the desktop's file manager and bookmark editor write it.
const char kDesktopShape[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE xbel>
<xbel xmlns:bookmark="http://www.freedesktop.org/standards/desktop-bookmarks" xmlns:mime="http://www.freedesktop.org/standards/shared-mime-info" xmlns:kdepriv="http://www.kde.org/kdepriv" dbusName="kfilePlaces">
 <info>
  <metadata owner="http://www.kde.org"><kde_places_version>4</kde_places_version></metadata>
 </info>
 <bookmark href="file:///home/user">
  <title>Home</title>
  <info>
   <metadata owner="http://freedesktop.org"><bookmark:icon name="user-home"/></metadata>
   <metadata owner="http://www.kde.org"><ID>1500000000/0</ID><isSystemItem>true</isSystemItem></metadata>
  </info>
 </bookmark>
 <separator/>
 <folder folded="no" icon="folder-bookmark">
  <title>Dev &amp; Docs</title>
  <desc>A folder's description has nowhere to go</desc>
  <bookmark href="https://doc.qt.io/?a=1&amp;b=2" added="2020-01-01">
   <title>Qt &lt;docs&gt;</title>
   <desc>Reference &#233;</desc>
  </bookmark>
  <alias ref="elsewhere"/>
  <folder><bookmark href="https://untitled.example/"/></folder>
 </folder>
</xbel>
)";

// As other bookmark tools write it: the public DTD named, never fetched.
const char kToolShape[] = R"(<?xml version="1.0"?>
<!DOCTYPE xbel PUBLIC "+//IDN python.org//DTD XML Bookmark Exchange Language 1.0//EN//XML" "http://www.python.org/topics/xml/dtds/xbel-1.0.dtd">
<xbel version="1.0"><title>My bookmarks</title>
<folder id="f1"><title>Reading</title><bookmark href="http://a.example/" visited="2021-02-03"><title>A</title></bookmark>
<folder><title>reading</title></folder></folder>
<folder><title>READING</title><bookmark href="http://b.example/"><title>B</title><desc></desc></bookmark></folder>
<bookmark href="http://top.example/"><title>  Top</title></bookmark>
</xbel>)";

} // namespace

TEST(Xbel, ReadsTheShapesDesktopsAndToolsWrite)
{
    EXPECT_EQ(
        Imported(kDesktopShape),
        "Home<file:///home/user> Dev & Docs[Qt <docs><https://doc.qt.io/?a=1&b=2>{Reference é} "
        "[https://untitled.example/<https://untitled.example/>]]");
    EXPECT_EQ(
        Imported(kToolShape),
        "Top<http://top.example/> Reading[A<http://a.example/> B<http://b.example/> reading[]]");
}

TEST(Xbel, ExportThenImportGivesBackTheSameTree)
{
    CKivDoc doc;
    doc.OnNewDocument();
    CFolderNode* a = doc.CreateFolder(&doc.m_root, "Tools & <Things>", false);
    CFolderNode* b = doc.CreateFolder(a, "Ünïcødé ✓", false);
    doc.CreateFolder(&doc.m_root, "Empty", false);
    doc.AddBookmark("http://x.example/?a=1&b=\"2\"<3>", "A & B <c> \"q\"", "line1\r\nline2\ttab", a,
                    false);
    doc.AddBookmark("http://y.example/", "Ünïcødé", "", b, false);
    doc.AddBookmark("http://y.example/", "same entry", "", &doc.m_root, false);
    doc.AddBookmark("http://z.example/\ttab", "Bell\x07 rings", "]]> and &amp;", &doc.m_root,
                    false);
    doc.AddBookmark("http://gone.example/", "Trash only", "", &doc.m_trash, false);

    QTemporaryDir dir;
    const QString path = dir.filePath("out.xbel");
    ASSERT_TRUE(ExportXbel(doc, path).Ok());
    const QByteArray bytes = ReadAll(path);
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!DOCTYPE xbel>\r\n"
                                 "<xbel version=\"1.0\">"));
    EXPECT_TRUE(KivText::IsValidUtf8(bytes.toStdString()));
    EXPECT_FALSE(bytes.contains("gone.example"));

    CKivDoc back;
    back.OnNewDocument();
    ASSERT_TRUE(ImportXbel(back, path).Ok());
    std::string expected = TreeText(doc);
    // XML cannot carry a bell at all: it is left out, everything else comes back.
    expected.erase(expected.find('\x07'), 1);
    EXPECT_EQ(TreeText(back), expected);
}

TEST(Xbel, EntitiesAreNeverExpandedOrFetchedAndBrokenFilesAreRefused)
{
    QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE xbel [\n<!ENTITY l0 \"lol\">\n";
    for (int k = 1; k < 10; ++k)
        laughs += QStringLiteral(
                      "<!ENTITY l%1 \"&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;\">\n")
                      .arg(k)
                      .arg(k - 1)
                      .toUtf8();
    laughs += "]>\n<xbel><bookmark href=\"http://a/\"><title>&l9;</title></bookmark></xbel>";
    QByteArray nested = "<xbel>";
    for (int k = 0; k < 10000; ++k)
        nested += "<folder><title>f</title>";
    nested += "<bookmark href=\"http://deep/\"><title>Deep</title></bookmark>";
    for (int k = 0; k < 10000; ++k)
        nested += "</folder>";
    nested += "</xbel>";

    const std::string entities = "refused " + std::to_string(IDS_XBEL_ENTITIES);
    const std::string bad = "refused " + std::to_string(IDS_BAD_XBEL);
    const struct
    {
        const char* name;
        QByteArray xml;
        std::string expected;
    } rows[] = {
        {"expanding entities", laughs, entities},
        {"external entity",
         "<!DOCTYPE xbel [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><xbel><bookmark "
         "href=\"http://a/\">"
         "<title>&x;</title></bookmark></xbel>",
         entities},
        {"external parameter entity",
         "<!DOCTYPE xbel [<!ENTITY % p SYSTEM \"http://127.0.0.1:9/x.dtd\"> %p;]><xbel/>",
         entities},
        {"undeclared entity",
         "<xbel><bookmark href=\"http://a/\"><title>&nbsp;</title></bookmark></xbel>", bad},
        {"truncated", QByteArray(kDesktopShape).left(600), bad},
        {"another root", "<html><body/></html>", bad},
        {"empty", "", bad},
        {"not XML", "{\"roots\":{}}", bad},
        {"10,000 nested folders", nested, ""},
    };
    for (const auto& row : rows) {
        const std::string got = Imported(row.xml);
        if (!row.expected.empty()) {
            EXPECT_EQ(got, row.expected) << row.name;
            continue;
        }
        // Folders beyond the depth a file keeps pour into the deepest kept one.
        EXPECT_NE(got.find("f[Deep<http://deep/>]"), std::string::npos) << row.name;
        EXPECT_EQ(std::count(got.begin(), got.end(), '['), CKivDoc::kMaxDepth) << row.name;
    }
}
