// Firefox's places database: the roots as the browser shows them, the profile never
// touched, a database the running browser holds locked, damaged databases.
#include "BrowserFixtures.h"
#include "BrowsersTestSupport.h"

#include "browsers/FirefoxPlaces.h"
#include "formats/ImportMerge.h"
#include "res/Strings.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace BrowserFixtures;
using BrowsersTest::SeedDoc;
using FormatsTest::ReadAll;
using FormatsTest::TreeText;
using FormatsTest::WriteAll;

namespace {

PlacesRoots SampleRoots()
{
    PlacesRoots r;
    r.menu = Folder("", {Bookmark("Zeta news", "https://zeta.example/"), Separator(),
                         Folder("Work", {Bookmark("", "https://untitled.example/"),
                                         Bookmark("Docs", "https://docs.example/", "Team docs")}),
                         Bookmark("Most Visited", "place:sort=8&maxResults=10")});
    r.toolbar = Folder("", {Bookmark("Getting Started", "https://start.example/")});
    r.tags = Folder("", {Folder("kiv", {Bookmark("", "https://tagged-only.example/")})});
    r.unfiled = Folder("", {Bookmark("Other one", "https://other.example/")});
    return r;
}

const char* const kSampleTree
    = "Bookmarks Menu[Zeta news<https://zeta.example/> Work[Docs<https://docs.example/>{Team docs} "
      "https://untitled.example/<https://untitled.example/>]] "
      "Bookmarks Toolbar[Getting Started<https://start.example/>] "
      "Other Bookmarks[Other one<https://other.example/>]";

class Firefox : public ::testing::TestWithParam<PlacesSchema>
{
protected:
    void SetUp() override { KivStrings::SetLanguage(KivStrings::Lang1033); }
    void TearDown() override { KivStrings::ResetLanguage(); }
    QString Path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir m_dir;
};

} // namespace

TEST_P(Firefox, ReadsTheRootsAsTheBrowserShowsThemAndNeverWritesTheProfile)
{
    const QString places = Path("places.sqlite");
    ASSERT_TRUE(WritePlaces(places, SampleRoots(), GetParam()));
    const QByteArray before = ReadAll(places);
    const QDateTime modified = QFileInfo(places).lastModified();

    CKivDoc doc;
    doc.OnNewDocument();
    ASSERT_TRUE(ImportFirefox(doc, m_dir.path()).Ok()); // the profile folder stands for its file
    EXPECT_EQ(TreeText(doc), kSampleTree);
    EXPECT_TRUE(doc.IsModified());

    EXPECT_EQ(ReadAll(places), before);
    EXPECT_EQ(QFileInfo(places).lastModified(), modified);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"places.sqlite"});

    // The same profile again adds nothing.
    doc.SetModifiedFlag(false);
    ASSERT_TRUE(ImportFirefox(doc, places).Ok());
    EXPECT_EQ(TreeText(doc), kSampleTree);
    EXPECT_FALSE(doc.IsModified());
}

INSTANTIATE_TEST_SUITE_P(Schemas, Firefox,
                         ::testing::Values(PlacesSchema::current, PlacesSchema::legacy));

TEST_F(Firefox, ReadsWhileTheRunningBrowserHoldsTheDatabaseWithChangesStillInItsLog)
{
    const QString places = Path("places.sqlite");
    ASSERT_TRUE(WritePlaces(places, SampleRoots()));
    {
        // The browser keeps its database in write-ahead mode under an exclusive lock.
        QSqlDatabase browser
            = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("browser"));
        browser.setDatabaseName(places);
        ASSERT_TRUE(browser.open());
        QSqlQuery q(browser);
        ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE")));
        ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA journal_mode = WAL")));
        ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA wal_autocheckpoint = 0")));
        ASSERT_TRUE(q.exec(QStringLiteral(
            "INSERT INTO moz_places (id, url) VALUES (900, 'https://fresh.example/')")));
        ASSERT_TRUE(q.exec(
            QStringLiteral("INSERT INTO moz_bookmarks (type, fk, parent, position, title, guid) "
                           "SELECT 1, 900, id, 9,"
                           " 'Fresh', 'fresh' FROM moz_bookmarks WHERE guid = 'toolbar_____'")));
        ASSERT_TRUE(QFileInfo(places + "-wal").size() > 0);
        const QByteArray main = ReadAll(places);
        const QByteArray log = ReadAll(places + "-wal");

        // A second reader of the file itself is shut out while the browser runs.
        {
            QSqlDatabase other
                = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
            other.setDatabaseName(places);
            other.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
            ASSERT_TRUE(other.open());
            QSqlQuery probe(other);
            EXPECT_FALSE(probe.exec(QStringLiteral("SELECT COUNT(*) FROM moz_bookmarks")));
            other.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other"));

        CKivDoc doc;
        doc.OnNewDocument();
        ASSERT_TRUE(ImportFirefox(doc, places).Ok());
        EXPECT_NE(
            TreeText(doc).find("Bookmarks Toolbar[Fresh<https://fresh.example/> Getting Started"),
            std::string::npos)
            << TreeText(doc);
        EXPECT_EQ(ReadAll(places), main);
        EXPECT_EQ(ReadAll(places + "-wal"), log);
        browser.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("browser"));
}

TEST_F(Firefox, DamagedDatabasesAreRefusedAndALoopInTheTreeEnds)
{
    const QString good = Path("good.sqlite");
    ASSERT_TRUE(WritePlaces(good, SampleRoots()));
    const QByteArray bytes = ReadAll(good);

    const QString other = Path("other.sqlite");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("o"));
        db.setDatabaseName(other);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec(QStringLiteral("CREATE TABLE notes (x TEXT)"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("o"));

    const struct
    {
        const char* name;
        QByteArray content;
    } rows[] = {
        {"truncated.sqlite", bytes.left(bytes.size() / 2)}, {"header-only.sqlite", bytes.left(100)},
        {"garbage.sqlite", QByteArray(8192, '\x5a')},       {"empty.sqlite", QByteArray()},
        {"json.sqlite", QByteArray("{\"roots\":{}}")},
    };
    std::vector<QString> files{other};
    for (const auto& row : rows) {
        ASSERT_TRUE(WriteAll(Path(row.name), row.content));
        files.push_back(Path(row.name));
    }
    for (const QString& file : files) {
        CKivDoc doc;
        SeedDoc(doc);
        const FormatResult r = ImportFirefox(doc, file);
        EXPECT_EQ(r.status, FormatResult::wrongType) << file.toStdString();
        EXPECT_EQ(r.messageId, unsigned(IDS_BAD_FIREFOX)) << file.toStdString();
        EXPECT_EQ(TreeText(doc), BrowsersTest::kSeededText);
        EXPECT_FALSE(doc.IsModified());
    }

    // A root whose parent is one of its own descendants: read once, no endless walk.
    {
        QSqlDatabase db
            = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("loop"));
        db.setDatabaseName(good);
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec(QStringLiteral(
            "UPDATE moz_bookmarks SET parent = (SELECT id FROM moz_bookmarks WHERE title = 'Work')"
            " WHERE guid = 'menu________'")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("loop"));
    CKivDoc doc;
    doc.OnNewDocument();
    ASSERT_TRUE(ImportFirefox(doc, good).Ok());
    EXPECT_EQ(TreeText(doc), kSampleTree);

    CKivDoc missing;
    EXPECT_EQ(ImportFirefox(missing, Path("nowhere")).status, FormatResult::notOpened);
}
