// kivtool's first commands, run as the real program: output, exit status, messages,
// and what ends up in the files.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <grp.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Result
{
    int status = -1;
    std::string out;
    std::string err;
};

// `inChild` runs in the new process before kivtool starts (to drop privileges).
Result Kivtool(const QStringList& args, const std::function<void()>& inChild = {})
{
    QProcess p;
    if (inChild)
        p.setChildProcessModifier(inChild);
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

TEST_F(KivtoolTest, SaveAsNormalisesAndUpgradesLegacyText)
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
    // A newer version is not taken for an empty collection.
    Write(Path("v3.kiv"), QByteArray::fromHex("00ab062503000000ffff"));
    r = Kivtool({"save-as", Path("v3.kiv"), Path("v3out.kiv")});
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(QFileInfo::exists(Path("v3out.kiv")));
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

bool IsFifo(const QString& path)
{
    struct stat st;
    return stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}

// Files that are not collections are refused whole: kivtool exits 2, writes nothing,
// and a header that claims two billion records costs neither time nor memory.
TEST_F(KivtoolTest, FilesThatAreNotCollectionsAreRefusedAndKeptAsTheyAre)
{
    Write(Path("notes.txt"), "my notes\n");
    Result r = Kivtool({"add", Path("notes.txt"), "http://x.example", "X"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, (Path("notes.txt") + " is not a Kiv collection. Nothing was changed.\n")
                         .toStdString());
    EXPECT_EQ(Read(Path("notes.txt")), "my notes\n");

    const QByteArray v3 = QByteArray::fromHex("00ab062503000000") + kWorked.mid(8);
    Write(Path("v3.kiv"), v3);
    for (const QStringList& args :
         {QStringList{"info", Path("v3.kiv")}, QStringList{"add", Path("v3.kiv"), "http://x", "X"}}) {
        r = Kivtool(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.err, (Path("v3.kiv") + " was written by a newer version of Kiv and cannot be "
                                           "opened. Nothing was changed.\n")
                             .toStdString());
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(Read(Path("v3.kiv")), v3);

    Write(Path("empty.kiv"), QByteArray());
    EXPECT_EQ(Kivtool({"add", Path("empty.kiv"), "http://x.example", "X"}).status, 0);
    EXPECT_EQ(Kivtool({"info", Path("empty.kiv")}).out, "{\"bookmarks\":1,\"folders\":0,\"links\":0}\n");

    // 2^31 records claimed, then 2 GiB of nothing (a sparse file).
    const QString huge = Path("huge.kiv");
    Write(huge, QByteArray::fromHex("00ab06250200000000000080"));
    ASSERT_TRUE(QFile::resize(huge, qint64(2) << 30));
    for (const char* cmd : {"info", "dump"}) {
        r = Kivtool({cmd, huge});
        EXPECT_EQ(r.status, 2) << cmd;
        EXPECT_EQ(r.err, (huge + ": unexpected file format.\n").toStdString()) << cmd;
    }
    EXPECT_EQ(Kivtool({"add", huge, "http://x.example", "X"}).status, 2);
    EXPECT_EQ(QFileInfo(huge).size(), qint64(2) << 30);
}

// Pipes and devices are neither read (a FIFO would block the reader for good) nor
// replaced by a file.
TEST_F(KivtoolTest, OnlyRegularFilesAreReadOrReplaced)
{
    const QString fifo = Path("pipe.kiv");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const std::string refused
        = (fifo + " is not a regular file (it is a pipe, a device or the like); it is neither "
                  "read nor replaced.\n")
              .toStdString();
    Write(Path("w.kiv"), kWorked);
    for (const QStringList& args :
         {QStringList{"info", fifo}, QStringList{"dump", fifo},
          QStringList{"add", fifo, "http://x.example", "X"},
          QStringList{"save-as", Path("w.kiv"), fifo}}) {
        const Result r = Kivtool(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.err, refused) << args.join(' ').toStdString();
    }
    EXPECT_TRUE(IsFifo(fifo));
    for (const char* device : {"/dev/zero", "/dev/null"}) {
        const Result r = Kivtool({"info", device});
        EXPECT_EQ(r.status, 2) << device;
        EXPECT_NE(r.err.find("is not a regular file"), std::string::npos) << r.err;
    }
}

// A save or an export that meets a full disk fails before the old file is touched,
// also where it has to be written in place: an ordinary user's writable file in a
// folder that user may not write to.
TEST_F(KivtoolTest, FullDiskNeverCostsTheOldFile)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to mount a small tmpfs and to act as an ordinary user";
    const QString small = Path("small");
    ASSERT_TRUE(QDir().mkpath(small));
    const QByteArray at = QFile::encodeName(small);
    if (mount("tmpfs", at.constData(), "tmpfs", 0, "size=48k,mode=0755") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here: " << strerror(errno);
    struct Unmount
    {
        QByteArray at;
        ~Unmount() { umount2(at.constData(), MNT_DETACH); }
    } unmount{at};
    ASSERT_EQ(chmod(QFile::encodeName(m_dir.path()).constData(), 0755), 0);
    const QString comment(60000, QLatin1Char('c'));
    const auto entries = [&] { return QDir(small).entryList(QDir::Files | QDir::Hidden); };

    const QString doc = small + "/d.kiv";
    Write(doc, kWorked);
    Result r = Kivtool({"add", doc, "http://x.example", "X", "--comment", comment});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, (doc + " could not be written: the disk is full.\n").toStdString());
    EXPECT_EQ(Read(doc), kWorked);
    EXPECT_EQ(entries(), QStringList{"d.kiv"});

    // The ordinary user's files in the root-owned tmpfs root.
    const QString html = small + "/old.html", mine = small + "/mine.kiv";
    Write(html, "<old export>\n");
    Write(mine, kWorked);
    for (const QString& path : {html, mine})
        ASSERT_EQ(chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
    const QString big = Path("big.kiv");
    ASSERT_EQ(Kivtool({"add", big, "http://x.example", "X", "--comment", comment}).status, 0);
    const auto asUser = [] {
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
            _exit(99);
    };
    r = Kivtool({"export-netscape", big, html}, asUser);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, (html + " could not be written: the disk is full.\n").toStdString());
    EXPECT_EQ(Read(html), "<old export>\n");
    r = Kivtool({"add", mine, "http://y.example", "Y", "--comment", comment}, asUser);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, (mine + " could not be written: the disk is full.\n").toStdString());
    EXPECT_EQ(Read(mine), kWorked);
    EXPECT_EQ(entries(), (QStringList{"d.kiv", "mine.kiv", "old.html"}));

    // Where the new content fits, the same user's export is written in place.
    Write(Path("w.kiv"), kWorked);
    r = Kivtool({"export-netscape", Path("w.kiv"), html}, asUser);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Read(html).startsWith("<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"));
    EXPECT_EQ(entries(), (QStringList{"d.kiv", "mine.kiv", "old.html"}));

    // A shortcut that does not fit is not left behind cut short, and it is said.
    const QString url = "http://x.example/" + QString(60000, QLatin1Char('u'));
    ASSERT_EQ(Kivtool({"add", Path("long.kiv"), url, "Long"}).status, 0);
    ASSERT_TRUE(QDir().mkpath(small + "/fav"));
    r = Kivtool({"export-favorites", Path("long.kiv"), small + "/fav"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              (small + "/fav/Long.url could not be written: the disk is full.\n").toStdString());
    EXPECT_TRUE(QDir(small + "/fav").isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

}  // namespace
