#include "FormatsTestSupport.h"

#include "formats/Compare.h"
#include "res/Strings.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace FormatsTest;

namespace {

struct CompareTest : ::testing::Test
{
    void SetUp() override
    {
        doc.AddBookmark("http://known/", "Known", "", &doc.m_root, false);
        doc.AddBookmark("http://trashed/", "Trashed", "", &doc.m_trash, false);
        doc.SetModifiedFlag(false);
        fav = dir.filePath(QStringLiteral("fav"));
        QDir().mkpath(fav + "/Sub");
        Write("fav/Fav new.url", "[InternetShortcut]\nURL=http://fav/\n");
        Write("fav/Shared.url", "[InternetShortcut]\nURL=http://shared/\n");
        Write("fav/Old.url", "[InternetShortcut]\nURL=http://known/\n");
        Write("fav/Sub/Deep.url", "[InternetShortcut]\nURL=http://deep/\n");
        Write("ns.html", "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n<DT><H3>F</H3>\n<DL><p>\n"
                         "<DT><A HREF=\"http://ns/\">NS</A>\n<DD>from netscape\n"
                         "<DT><A HREF=\"http://shared/\">Shared in NS</A>\n"
                         "<DT><A HREF=\"http://trashed/\">T</A>\n"
                         "<DT><A HREF=\"http://KNOWN/\">Upper</A>\n</DL>\n</DL>\n");
        Write("op.adr", "Opera Hotlist version 2.0\n\n#FOLDER\n\tNAME=G\n\n#URL\n\tNAME=OP\n"
                        "\tURL=http://op/\n\tDESCRIPTION=from opera\n\n#URL\n\tNAME=Shared in "
                        "Opera\n\tURL=http://shared/\n\n-\n");
    }

    void Write(const char* rel, const QByteArray& bytes)
    {
        ASSERT_TRUE(WriteAll(dir.filePath(QString::fromUtf8(rel)), bytes));
    }
    QString Path(const char* rel) const { return dir.filePath(QString::fromUtf8(rel)); }

    QTemporaryDir dir;
    QString fav;
    CKivDoc doc;
};

} // namespace

TEST_F(CompareTest, NewUrlsFromAllThreeSourcesLandInTheCheckFolderOnceInSourceOrder)
{
    const auto shown = RunCompare(doc, {fav, true, Path("ns.html"), Path("op.adr")});
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(FolderText(doc, doc.m_check),
              "Deep<http://deep/> Fav new<http://fav/> NS<http://ns/>{from netscape} "
              "OP<http://op/>{from opera} Shared<http://shared/> Upper<http://KNOWN/>");
    EXPECT_EQ(doc.m_check.m_pFirstChild, nullptr);
    EXPECT_EQ(TreeText(doc), "Known<http://known/>");
    EXPECT_FALSE(doc.IsModified());
    // The files are read, never changed.
    EXPECT_TRUE(QFile::exists(fav + "/Fav new.url"));

    // Everything found is now known: a second run finds nothing.
    EXPECT_TRUE(RunCompare(doc, {fav, true, Path("ns.html"), Path("op.adr")}).empty());
    EXPECT_EQ(FolderText(doc, doc.m_check), "");
}

TEST_F(CompareTest, WithoutSubfoldersTheFavoritesSubdirectoriesAreLeftOut)
{
    RunCompare(doc, {fav, false, QString(), QString()});
    EXPECT_EQ(FolderText(doc, doc.m_check), "Fav new<http://fav/> Shared<http://shared/>");
}

TEST_F(CompareTest, EmptySourcesEmptyTheCheckFolderAndItsSubfolders)
{
    doc.AddBookmark("http://left/", "Left", "", &doc.m_check, true);
    doc.CreateFolder(&doc.m_check, "Stray", false);
    const auto shown = RunCompare(doc, {QString(), false, QStringLiteral("ab"), QString()});
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(FolderText(doc, doc.m_check), "");
    // The entry stays in the table and so stays known.
    RunCompare(doc, {QString(), false, QString(), QString()});
    EXPECT_EQ(doc.BookmarkCount(), 3u);
}

TEST_F(CompareTest, WrongTypesAreReportedPerSourceAndTheOthersStillRead)
{
    KivStrings::SetLanguage(KivStrings::Lang1033);
    // The Netscape marker at the very first byte is refused here, though the import
    // takes it.
    Write("first.html",
          "DOCTYPE NETSCAPE-Bookmark-file-1\n<DL><p>\n<DT><A HREF=\"http://x/\">X</A>\n");
    Write("bad.adr", "Opera Hotlist version 1\n#URL\nNAME=Y\nURL=http://y/\n");
    auto shown = RunCompare(doc, {fav, false, Path("first.html"), Path("bad.adr")});
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].messageId, unsigned(IDS_WRONG_NETSCAPE));
    EXPECT_EQ(shown[1].messageId, unsigned(IDS_WRONG_OPERA));
    EXPECT_EQ(KivStrings::Load(shown[0].messageId).toStdString(),
              "Wrong file type. Netscape bookmark v1 wanted.");
    EXPECT_EQ(FolderText(doc, doc.m_check), "Fav new<http://fav/> Shared<http://shared/>");

    // Files that cannot be opened are skipped without a word.
    shown = RunCompare(doc, {QString(), false, Path("none.html"), Path("none.adr")});
    EXPECT_TRUE(shown.empty());
    KivStrings::ResetLanguage();
}
