// The Chromium family's Bookmarks file: its roots as the browser shows them, files of
// the wrong shape, nesting beyond reason and files far too large.
#include "BrowserFixtures.h"
#include "BrowsersTestSupport.h"

#include "browsers/ChromiumBookmarks.h"
#include "browsers/Xbel.h"
#include "formats/ImportMerge.h"
#include "res/Strings.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace BrowserFixtures;
using BrowsersTest::SeedDoc;
using FormatsTest::TreeText;
using FormatsTest::WriteAll;

namespace {

QByteArray Sample()
{
    return ChromiumJson(Folder("", {Bookmark("Kiv", "https://kiv.example/"),
                                    Folder("News", {Bookmark("", "https://news.example/"),
                                                    Bookmark("Wiki", "https://kiv.example/")})}),
                        Folder("", {}), Folder("", {Bookmark("Phone", "https://m.example/")}));
}

struct LanguageRow
{
    KivStrings::Language language;
    const char* tree;
};

class ChromiumRoots : public ::testing::TestWithParam<LanguageRow>
{
protected:
    void TearDown() override { KivStrings::ResetLanguage(); }
};

} // namespace

TEST_P(ChromiumRoots, ReadEveryRootAsTheBrowserShowsIt)
{
    KivStrings::SetLanguage(GetParam().language);
    QTemporaryDir dir;
    ASSERT_TRUE(WriteAll(dir.filePath("Bookmarks"), Sample()));
    CKivDoc doc;
    doc.OnNewDocument();
    ASSERT_TRUE(ImportChromium(doc, dir.path()).Ok()); // the profile folder stands for its file
    EXPECT_EQ(TreeText(doc), GetParam().tree);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, ChromiumRoots,
    ::testing::Values(
        LanguageRow{KivStrings::Lang1033,
                    "Bookmarks bar[Kiv<https://kiv.example/> "
                    "News[https://news.example/<https://news.example/> "
                    "Kiv<https://kiv.example/>]] Mobile bookmarks[Phone<https://m.example/>]"},
        LanguageRow{KivStrings::Lang1031,
                    "Lesezeichenleiste[Kiv<https://kiv.example/> "
                    "News[https://news.example/<https://news.example/> "
                    "Kiv<https://kiv.example/>]] Mobile Lesezeichen[Phone<https://m.example/>]"}));

struct BadRow
{
    const char* name;
    QByteArray json;
    unsigned messageId;
};

TEST(Chromium, FilesOfTheWrongShapeAreRefusedWholeAndTheDocumentStaysAsItWas)
{
    const QByteArray deep = "{\"roots\":{\"other\":{\"children\":" + QByteArray(10000, '[')
                            + QByteArray(10000, ']') + "}}}";
    QByteArray deepFolders = "{\"roots\":{\"other\":{\"children\":[";
    for (int k = 0; k < 10000; ++k)
        deepFolders += "{\"type\":\"folder\",\"name\":\"f\",\"children\":[";
    deepFolders += QByteArray(10000, ']').replace("]", "]}") + "]}}}";
    const BadRow rows[] = {
        {"not JSON", "<html></html>", IDS_BAD_CHROMIUM},
        {"truncated", Sample().left(Sample().size() / 2), IDS_BAD_CHROMIUM},
        {"array at the top", "[]", IDS_BAD_CHROMIUM},
        {"roots not an object", "{\"roots\":[]}", IDS_BAD_CHROMIUM},
        {"no known root", "{\"roots\":{\"trash\":{\"children\":[]}}}", IDS_BAD_CHROMIUM},
        {"children a string", "{\"roots\":{\"other\":{\"children\":\"x\"}}}", IDS_BAD_CHROMIUM},
        {"root a number", "{\"roots\":{\"other\":5}}", IDS_BAD_CHROMIUM},
        {"a good root, then a broken one",
         "{\"roots\":{\"other\":{\"children\":[{\"type\":\"url\",\"url\":\"http://a/\"}]},"
         "\"synced\":{\"children\":5}}}",
         IDS_BAD_CHROMIUM},
        {"node a number", "{\"roots\":{\"other\":{\"children\":[7]}}}", IDS_BAD_CHROMIUM},
        {"unknown type", "{\"roots\":{\"other\":{\"children\":[{\"type\":\"note\"}]}}}",
         IDS_BAD_CHROMIUM},
        {"url a number", "{\"roots\":{\"other\":{\"children\":[{\"type\":\"url\",\"url\":5}]}}}",
         IDS_BAD_CHROMIUM},
        {"name an array",
         "{\"roots\":{\"other\":{\"children\":[{\"type\":\"url\",\"name\":[],\"url\":\"http://a/"
         "\"}]}}}",
         IDS_BAD_CHROMIUM},
        {"folder without children",
         "{\"roots\":{\"other\":{\"children\":[{\"type\":\"url\",\"url\":\"http://a/\"},"
         "{\"type\":\"folder\",\"name\":\"F\"}]}}}",
         IDS_BAD_CHROMIUM},
        {"10,000 levels of arrays", deep, IDS_IMPORT_TOO_DEEP},
        {"10,000 levels of folders", deepFolders, IDS_IMPORT_TOO_DEEP},
    };
    for (const BadRow& row : rows) {
        CKivDoc doc;
        SeedDoc(doc);
        CImportTree tree;
        const FormatResult r = ParseChromiumBookmarks(row.json, tree);
        EXPECT_EQ(r.status, FormatResult::wrongType) << row.name;
        EXPECT_EQ(r.messageId, row.messageId) << row.name;
        EXPECT_EQ(tree.Size(), 0u) << row.name;
        MergeImport(doc, tree);
        EXPECT_EQ(TreeText(doc), BrowsersTest::kSeededText) << row.name;
        EXPECT_FALSE(doc.IsModified()) << row.name;
    }
}

TEST(Chromium, AFileFarTooLargeIsRefusedBeforeItIsRead)
{
    QTemporaryDir dir;
    for (const char* name : {"Bookmarks", "huge.xbel"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(qint64(1) << 31)); // sparse: no disk, no memory
    }
    CKivDoc doc;
    SeedDoc(doc);
    FormatResult r = ImportChromium(doc, dir.filePath("Bookmarks"));
    EXPECT_EQ(r.status, FormatResult::wrongType);
    EXPECT_EQ(r.messageId, unsigned(IDS_IMPORT_TOO_LARGE));
    r = ImportXbel(doc, dir.filePath("huge.xbel"));
    EXPECT_EQ(r.messageId, unsigned(IDS_IMPORT_TOO_LARGE));
    EXPECT_EQ(TreeText(doc), BrowsersTest::kSeededText);
    EXPECT_EQ(ImportChromium(doc, dir.filePath("missing")).status, FormatResult::notOpened);
}
