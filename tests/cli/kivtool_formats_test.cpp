// kivtool's exchange-format, compare and find commands, run as a real process.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

struct ToolRun
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

struct KivToolTest : ::testing::Test
{
    ToolRun Tool(const QStringList& args, const QString& sourceDateEpoch = QString())
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        if (sourceDateEpoch.isEmpty())
            env.remove(QStringLiteral("SOURCE_DATE_EPOCH"));
        else
            env.insert(QStringLiteral("SOURCE_DATE_EPOCH"), sourceDateEpoch);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KIV_BIN_DIR "/kivtool"), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                p.readAllStandardOutput(), p.readAllStandardError()};
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    void Write(const QString& name, const QByteArray& bytes)
    {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray Read(const QString& name)
    {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

const QByteArray kNetscape
    = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n"
      "<DT><A HREF=\"http://a/\">Alpha</A>\n<DD>first\n"
      "<DT><H3>Work</H3>\n<DL><p>\n<DT><A HREF=\"http://b/\">Beta alpha</A>\n"
      "</DL><p>\n</DL><p>\n";

} // namespace

TEST_F(KivToolTest, NetscapeImportCreatesTheDocumentAndExportWritesItBack)
{
    Write("in.html", kNetscape);
    const ToolRun imp = Tool({"import-netscape", Path("doc.kiv"), Path("in.html")});
    ASSERT_EQ(imp.status, 0) << imp.err.toStdString();
    const ToolRun dump = Tool({"dump", Path("doc.kiv")});
    EXPECT_EQ(dump.out.trimmed(),
              "{\"bookmarks\":[{\"url\":\"http://a/\",\"name\":\"Alpha\",\"comment\":\"first\"},"
              "{\"url\":\"http://b/\",\"name\":\"Beta alpha\",\"comment\":\"\"}],"
              "\"root\":{\"bookmarks\":[0],\"folders\":[{\"name\":\"Work\",\"bookmarks\":[1],"
              "\"folders\":[]}]}}");
    ASSERT_EQ(Tool({"export-netscape", Path("doc.kiv"), Path("out.html")}).status, 0);
    EXPECT_EQ(Read("out.html"),
              "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<META HTTP-EQUIV=\"Content-Type\" "
              "CONTENT=\"text/html; charset=UTF-8\">\r\n<TITLE>Your Bookmarks</TITLE>\r\n"
              "<H1>Bookmarks</H1>\r\n<DL><p>\r\n<DT><A HREF=\"http://a/\">Alpha</A>\r\n"
              "<DD>first\r\n   <DT><H3>Work</H3>\r\n   <DL><p>\r\n"
              "      <DT><A HREF=\"http://b/\">Beta alpha</A>\r\n   </DL><p>\r\n</DL><p>\r\n");
}

TEST_F(KivToolTest, WrongFileTypesAreRefusedWithTheirMessageAndNoDocument)
{
    Write("bad.html", "<html>\n");
    ToolRun r = Tool({"import-netscape", Path("doc.kiv"), Path("bad.html")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Wrong file type. Netscape bookmark v1 wanted.\n");
    EXPECT_FALSE(QFile::exists(Path("doc.kiv")));
    r = Tool({"import-opera", Path("doc.kiv"), Path("bad.html")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Wrong file type. Opera hotlist v2 wanted.\n");
    r = Tool({"import-netscape", Path("doc.kiv"), Path("missing.html")});
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(r.err.isEmpty());
}

TEST_F(KivToolTest, OperaExportIsReproducibleWithSourceDateEpochAndReadsBack)
{
    Write("in.html", kNetscape);
    ASSERT_EQ(Tool({"import-netscape", Path("doc.kiv"), Path("in.html")}).status, 0);
    ASSERT_EQ(Tool({"export-opera", Path("doc.kiv"), Path("a.adr")}, "1500000000").status, 0);
    ASSERT_EQ(Tool({"export-opera", Path("doc.kiv"), Path("b.adr")}, "1500000000").status, 0);
    EXPECT_EQ(Read("a.adr"), Read("b.adr"));
    EXPECT_TRUE(Read("a.adr").contains("\tCREATED=1500000000\r\n"));
    // Read back, the tree is the same (the table order follows the file's order).
    ASSERT_EQ(Tool({"import-opera", Path("back.kiv"), Path("a.adr")}).status, 0);
    ASSERT_EQ(Tool({"export-opera", Path("back.kiv"), Path("c.adr")}, "1500000000").status, 0);
    EXPECT_EQ(Read("c.adr"), Read("a.adr"));
}

TEST_F(KivToolTest, FavoritesExportAndImport)
{
    Write("in.html", kNetscape);
    ASSERT_EQ(Tool({"import-netscape", Path("doc.kiv"), Path("in.html")}).status, 0);
    ASSERT_TRUE(QDir(dir.path()).mkpath("fav"));
    ASSERT_EQ(Tool({"export-favorites", Path("doc.kiv"), Path("fav")}).status, 0);
    EXPECT_EQ(Read("fav/Work/Beta alpha.url"), "[InternetShortcut]\r\nURL=http://b/\r\n");
    Write("fav/Stale.url", "[InternetShortcut]\r\nURL=http://stale/\r\n");
    ASSERT_EQ(Tool({"export-favorites", Path("doc.kiv"), Path("fav"), "--remove-old"}).status, 0);
    EXPECT_FALSE(QFile::exists(Path("fav/Stale.url")));

    ToolRun r = Tool({"import-favorites", Path("flat.kiv"), Path("fav")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(Tool({"info", Path("flat.kiv")}).out,
              "{\"bookmarks\":1,\"folders\":0,\"links\":0}\n");
    r = Tool({"import-favorites", Path("all.kiv"), Path("fav"), "--subfolders", "--delete"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(Tool({"info", Path("all.kiv")}).out, "{\"bookmarks\":2,\"folders\":1,\"links\":1}\n");
    EXPECT_FALSE(QFile::exists(Path("fav/Work/Beta alpha.url")));
    EXPECT_EQ(Tool({"import-favorites", Path("x.kiv"), Path("nowhere")}).status, 2);
    EXPECT_EQ(Tool({"export-favorites", Path("doc.kiv"), Path("nowhere")}).status, 2);
}

TEST_F(KivToolTest, CompareListsNewBookmarksAndReportsWrongTypesWithStatusZero)
{
    Write("in.html", kNetscape);
    ASSERT_EQ(Tool({"import-netscape", Path("doc.kiv"), Path("in.html")}).status, 0);
    const QByteArray before = Read("doc.kiv");
    Write("new.html", "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n"
                      "<DT><A HREF=\"http://a/\">Known</A>\n<DT><A HREF=\"http://n/\">New</A>\n"
                      "<DD>note\n</DL>\n");
    Write("bad.adr", "not a hotlist\n");
    const ToolRun r = Tool(
        {"compare", Path("doc.kiv"), "--netscape", Path("new.html"), "--opera", Path("bad.adr")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "[{\"url\":\"http://n/\",\"name\":\"New\",\"comment\":\"note\"}]\n");
    EXPECT_EQ(r.err, "Wrong file type. Opera hotlist v2 wanted.\n");
    EXPECT_EQ(Read("doc.kiv"), before);
    EXPECT_EQ(Tool({"compare", Path("doc.kiv")}).out, "[]\n");
}

TEST_F(KivToolTest, FindPrintsEveryHitInTreeOrder)
{
    Write("in.html", kNetscape);
    ASSERT_EQ(Tool({"import-netscape", Path("doc.kiv"), Path("in.html")}).status, 0);
    ToolRun r = Tool({"find", Path("doc.kiv"), "ALPHA"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "{\"folder\":[],\"position\":0,\"url\":\"http://a/\",\"name\":\"Alpha\","
                     "\"comment\":\"first\"}\n"
                     "{\"folder\":[\"Work\"],\"position\":0,\"url\":\"http://b/\",\"name\":"
                     "\"Beta alpha\",\"comment\":\"\"}\n");
    r = Tool({"find", Path("doc.kiv"), "first", "--fields", "comment"});
    EXPECT_EQ(r.out.count('\n'), 1);
    r = Tool({"find", Path("doc.kiv"), "first"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Item not found!\n");
    EXPECT_EQ(Tool({"find", Path("doc.kiv"), "x", "--fields", "title"}).status, 2);
    EXPECT_EQ(Tool({"find", Path("missing.kiv"), "x"}).status, 2);
}

// A source named on the command line that cannot be read is an error, not an empty
// source; a pipe is refused without being waited on, by compare and import alike.
TEST_F(KivToolTest, SourcesThatCannotBeReadExitTwoWithTheReason)
{
    Write("in.html", kNetscape);
    ASSERT_EQ(Tool({"import-netscape", Path("doc.kiv"), Path("in.html")}).status, 0);
    const QByteArray before = Read("doc.kiv");
    ToolRun r = Tool({"compare", Path("doc.kiv"), "--opera", Path("none.adr")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, Path("none.adr").toUtf8() + " was not found.\n");
    EXPECT_EQ(r.out, "");
    r = Tool({"compare", Path("doc.kiv"), "--netscape", dir.path()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Access to " + dir.path().toUtf8() + " was denied.\n");
    r = Tool({"compare", Path("doc.kiv"), "--favorites", Path("nowhere")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, Path("nowhere").toUtf8() + " was not found.\n");

    const QString fifo = Path("pipe.html");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QByteArray refused = fifo.toUtf8()
                               + " is not a regular file (it is a pipe, a device or the like); "
                                 "it is neither read nor replaced.\n";
    for (const QStringList& args : {QStringList{"compare", Path("doc.kiv"), "--netscape", fifo},
                                    QStringList{"import-netscape", Path("doc.kiv"), fifo},
                                    QStringList{"import-opera", Path("doc.kiv"), fifo},
                                    QStringList{"export-opera", Path("doc.kiv"), fifo}}) {
        r = Tool(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.err, refused) << args.join(' ').toStdString();
    }
    EXPECT_EQ(Read("doc.kiv"), before);
}
