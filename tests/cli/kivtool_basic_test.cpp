// kivtool's first commands, run as the real program: output, exit status, messages,
// and what ends up in the files.

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Result
{
    int status = -1;
    std::string out;
    std::string err;
};

Result Kivtool(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(KIV_BIN_DIR "/kivtool"), args);
    Result r;
    if (!p.waitForFinished(60000))
        return r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The 48-byte document: root lists bb/B, folder Web lists aa/A.
const QByteArray kWorked = QByteArray::fromHex(
    "00ab0625020000000200000002616101410002626201420001000000035765620100010000000000000001000000"
    "0000");

class KivtoolTest : public ::testing::Test
{
protected:
    QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    QTemporaryDir m_dir;
};

TEST_F(KivtoolTest, NewWritesTheTwentyByteEmptyDocument)
{
    const Result r = Kivtool({"new", Path("n.kiv")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(Read(Path("n.kiv")), QByteArray::fromHex("00ab0625020000000000000000000000"
                                                       "00000000"));
}

TEST_F(KivtoolTest, InfoCountsTableFoldersAndLinksBelowTheRoot)
{
    Write(Path("w.kiv"), kWorked);
    const Result r = Kivtool({"info", Path("w.kiv")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"bookmarks\":2,\"folders\":1,\"links\":1}\n");
}

TEST_F(KivtoolTest, DumpPrintsTheTreeWithKeysInOrder)
{
    Write(Path("w.kiv"), kWorked);
    const Result r = Kivtool({"dump", Path("w.kiv")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"bookmarks\":[{\"url\":\"aa\",\"name\":\"A\",\"comment\":\"\"},"
              "{\"url\":\"bb\",\"name\":\"B\",\"comment\":\"\"}],"
              "\"root\":{\"bookmarks\":[1],\"folders\":[{\"name\":\"Web\",\"bookmarks\":[0],"
              "\"folders\":[]}]}}\n");
}

TEST_F(KivtoolTest, SaveAsNormalisesAndUpgrades)
{
    Write(Path("w.kiv"), kWorked);
    Result r = Kivtool({"save-as", Path("w.kiv"), Path("copy.kiv")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Read(Path("copy.kiv")), kWorked);
    // A legacy narrow name comes out in the wide form; a wrong version as version 2.
    QByteArray legacy = QByteArray::fromHex("00ab062502000000010000000261610243e90000000000"
                                            "00000000");
    Write(Path("legacy.kiv"), legacy);
    r = Kivtool({"save-as", Path("legacy.kiv"), Path("up.kiv")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Read(Path("up.kiv")).toHex(),
              QByteArray("00ab062502000000010000000261"
                         "61fffeff024300e900" "00" "00000000" "00000000"));
    Write(Path("v3.kiv"), QByteArray::fromHex("00ab062503000000ffff"));
    r = Kivtool({"save-as", Path("v3.kiv"), Path("v3out.kiv")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Read(Path("v3out.kiv")).size(), 20);
}

TEST_F(KivtoolTest, AddCreatesTheDocumentAndFoldersWithComment)
{
    const QString doc = Path("add.kiv");
    Result r = Kivtool({"add", doc, "https://example.org/", "  Example", "--comment", "c1",
                     "--folder", "News/Tech"});
    ASSERT_EQ(r.status, 0) << r.err;
    r = Kivtool({"add", doc, "https://example.org/", "Other name", "--folder", "news"});
    ASSERT_EQ(r.status, 0) << r.err;
    r = Kivtool({"add", doc, "ftp://root", "Root"});
    ASSERT_EQ(r.status, 0) << r.err;
    r = Kivtool({"dump", doc});
    EXPECT_EQ(r.out,
              "{\"bookmarks\":[{\"url\":\"https://example.org/\",\"name\":\"Example\","
              "\"comment\":\"c1\"},{\"url\":\"ftp://root\",\"name\":\"Root\",\"comment\":\"\"}],"
              "\"root\":{\"bookmarks\":[1],\"folders\":[{\"name\":\"News\",\"bookmarks\":[0],"
              "\"folders\":[{\"name\":\"Tech\",\"bookmarks\":[0],\"folders\":[]}]}]}}\n");
}

struct Refusal
{
    const char* what;
    QStringList args;     // after "add DOC"
    bool refusedWhenNew;  // also refused on a document that does not exist yet
};

class KivtoolRefusalTest : public KivtoolTest, public ::testing::WithParamInterface<Refusal>
{
};

TEST_P(KivtoolRefusalTest, RefusedAddExitsOneAndSavesNothing)
{
    const QString doc = Path("r.kiv");
    ASSERT_EQ(Kivtool({"add", doc, "http://known", "Known", "--folder", "F"}).status, 0);
    const QByteArray before = Read(doc);
    const QDateTime stamp = QFileInfo(doc).lastModified();
    const Result r = Kivtool(QStringList{"add", doc} + QStringList(GetParam().args));
    EXPECT_EQ(r.status, 1) << GetParam().what << r.err;
    EXPECT_EQ(Read(doc), before);
    EXPECT_EQ(QFileInfo(doc).lastModified(), stamp);
    // A refused add on a missing document creates nothing.
    const Result missing = Kivtool(QStringList{"add", Path("none.kiv")} + QStringList(GetParam().args));
    if (GetParam().refusedWhenNew) {
        EXPECT_EQ(missing.status, 1);
        EXPECT_FALSE(QFileInfo::exists(Path("none.kiv")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KivtoolRefusalTest,
    ::testing::Values(Refusal{"one-byte url", {"x", "X"}, true},
                      Refusal{"empty url", {"", "X", "--folder", "New"}, true},
                      Refusal{"already in the folder",
                              {"http://known", "Again", "--folder", "f"}, false}));

struct UsageCase
{
    const char* what;
    QStringList args;
};

class KivtoolUsageTest : public KivtoolTest, public ::testing::WithParamInterface<UsageCase>
{
};

TEST_P(KivtoolUsageTest, UsageErrorsExitTwoWithTheUsage)
{
    const Result r = Kivtool(GetParam().args);
    EXPECT_EQ(r.status, 2) << GetParam().what;
    EXPECT_NE(r.err.find("usage: kivtool"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KivtoolUsageTest,
    ::testing::Values(UsageCase{"no command", {}}, UsageCase{"unknown", {"frobnicate", "x"}},
                      UsageCase{"new without DOC", {"new"}},
                      UsageCase{"info with two", {"info", "a", "b"}},
                      UsageCase{"add missing NAME", {"add", "d.kiv", "http://u"}},
                      UsageCase{"option without value", {"add", "d.kiv", "http://u", "N", "--folder"}}));

TEST_F(KivtoolTest, AddRefusesAFolderPathDeeperThanAFileKeeps)
{
    QStringList segments;
    for (int k = 0; k < 100; ++k)
        segments << QStringLiteral("f%1").arg(k);
    const Result r = Kivtool({"add", Path("d.kiv"), "http://deep", "Deep", "--folder",
                              segments.join(QLatin1Char('/'))});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("deeper than 99"), std::string::npos) << r.err;
    EXPECT_FALSE(QFileInfo::exists(Path("d.kiv")));

    segments.removeLast(); // 99 levels are kept
    const Result ok = Kivtool({"add", Path("d.kiv"), "http://deep", "Deep", "--folder",
                               segments.join(QLatin1Char('/'))});
    EXPECT_EQ(ok.status, 0) << ok.err;
}

TEST_F(KivtoolTest, UnreadableDocumentsExitTwoWithTheReason)
{
    Result r = Kivtool({"info", Path("absent.kiv")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, (Path("absent.kiv") + " was not found.\n").toStdString());
    EXPECT_FALSE(QFileInfo::exists(Path("absent.kiv")));

    Write(Path("cut.kiv"), kWorked.left(30));
    for (const char* cmd : {"info", "dump"}) {
        r = Kivtool({cmd, Path("cut.kiv")});
        EXPECT_EQ(r.status, 2) << cmd;
        EXPECT_EQ(r.err, (Path("cut.kiv") + ": unexpected file format.\n").toStdString()) << cmd;
        EXPECT_EQ(r.out, "");
    }
    r = Kivtool({"add", Path("cut.kiv"), "http://u", "U"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(Read(Path("cut.kiv")), kWorked.left(30)) << "a file that failed to load is not overwritten";

    r = Kivtool({"save-as", Path("absent.kiv"), Path("out.kiv")});
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(QFileInfo::exists(Path("out.kiv")));

    Write(Path("w.kiv"), kWorked);
    r = Kivtool({"save-as", Path("w.kiv"), Path("no/such/dir/out.kiv")});
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(r.err.empty());
}

}  // namespace
