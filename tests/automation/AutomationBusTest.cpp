// The automation model on a real session bus, driven by clients written by others:
// python3-dbus (the system Python), gdbus and busctl; and kiv-print on top of it.
#include "AutomationTestUtil.h"

#include "integration/AutomationService.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

namespace {
const QString kHost = QStringLiteral(KIV_BIN_DIR "/automation-host");
const QString kPython = QStringLiteral("/usr/bin/python3");
const QString kClient = QStringLiteral(KIV_AUTOMATION_CLIENT);

struct RunResult
{
    int code = -1;
    QByteArray out;
    QByteArray err;
};

RunResult RunProgram(const QString& program, const QStringList& args,
               const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.closeWriteChannel();
    RunResult r;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QJsonObject Client(const QStringList& args)
{
    const RunResult r = RunProgram(kPython, QStringList{kClient} + args);
    EXPECT_EQ(r.code, 0) << r.err.constData();
    return QJsonDocument::fromJson(r.out.trimmed().split('\n').last()).object();
}

bool WaitForLine(QProcess& p, const QByteArray& line)
{
    for (int i = 0; i < 600; ++i) {
        while (p.canReadLine())
            if (p.readLine().trimmed() == line)
                return true;
        if (!p.waitForReadyRead(200) && p.state() != QProcess::Running)
            return false;
    }
    return false;
}

// A served document in its own process, standing in for the program with its window.
class Host
{
public:
    explicit Host(const QString& file)
    {
        m_process.start(kHost, file.isEmpty() ? QStringList() : QStringList{file});
        m_bReady = WaitForLine(m_process, "ready");
    }
    ~Host()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(30000))
            m_process.kill();
        m_process.waitForFinished();
    }
    bool Ready() const { return m_bReady; }
    bool Edit(const QByteArray& command)
    {
        m_process.write(command + '\n');
        return WaitForLine(m_process, "done");
    }
    void Stop()
    {
        m_process.terminate();
        m_process.waitForFinished(30000);
    }

private:
    QProcess m_process;
    bool m_bReady = false;
};

// A dbus-daemon of our own: with a service folder for activation, or a policy.
class PrivateBus
{
public:
    PrivateBus(const QString& dir, const QString& serviceDir, const QString& extraPolicy,
               const QProcessEnvironment& env)
    {
        const QString config = dir + QStringLiteral("/bus.conf");
        QFile f(config);
        if (!f.open(QIODevice::WriteOnly))
            return;
        QString text = QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus "
                                      "Configuration 1.0//EN\" "
                                      "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                                      "<busconfig><type>session</type><listen>unix:dir=%1</listen>")
                           .arg(dir);
        if (!serviceDir.isEmpty())
            text += QStringLiteral("<servicedir>%1</servicedir>").arg(serviceDir);
        text += QStringLiteral("<policy context=\"default\">"
                               "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                               "<allow eavesdrop=\"true\"/><allow own=\"*\"/>%1</policy>"
                               "</busconfig>\n")
                    .arg(extraPolicy);
        f.write(text.toUtf8());
        f.close();
        m_daemon.setProcessEnvironment(env);
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                        QStringLiteral("--print-address")});
        if (m_daemon.waitForReadyRead(60000))
            m_strAddress = QString::fromUtf8(m_daemon.readLine().trimmed());
    }
    ~PrivateBus()
    {
        m_daemon.terminate();
        m_daemon.waitForFinished();
    }
    const QString& Address() const { return m_strAddress; }

private:
    QProcess m_daemon;
    QString m_strAddress;
};

class AutomationBus : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApp();
        ASSERT_TRUE(dir.isValid());
        sample = dir.filePath(QStringLiteral("sample.kiv"));
        ASSERT_TRUE(SaveSample(sample));
    }
    QTemporaryDir dir;
    QString sample;
};

QStringList Names(const QJsonArray& tree)
{
    QStringList names;
    for (const QJsonValue& v : tree) {
        names << v[QLatin1String("name")].toString();
        names += Names(v[QLatin1String("items")].toArray());
    }
    return names;
}

TEST_F(AutomationBus, PythonClientSeesTheEdgeCases)
{
    {
        Host host{QString()};
        ASSERT_TRUE(host.Ready());
        const QJsonObject empty = Client({QStringLiteral("edges")});
        EXPECT_EQ(empty["count"].toInt(), 0);
        EXPECT_EQ(empty["past_end"].toString(), "/");
        EXPECT_EQ(empty["open_missing"].toInt(), 0);
    }
    Host host(sample);
    ASSERT_TRUE(host.Ready());
    const QJsonObject e = Client({QStringLiteral("edges")});
    ASSERT_EQ(e["count"].toInt(), 3);
    const QJsonArray items = e["items"].toArray();
    EXPECT_EQ(items[0]["name"].toString(), "Alpha");
    EXPECT_EQ(items[0]["folder"].toInt(), 0);
    EXPECT_EQ(items[0]["comment"].toString(), "top entry");
    EXPECT_EQ(items[1]["name"].toString(), "Beta");
    EXPECT_EQ(items[2]["name"].toString(), "Sub");
    EXPECT_EQ(items[2]["folder"].toInt(), 1);
    EXPECT_EQ(items[2]["url"].toString(), "");
    EXPECT_EQ(items[2]["comment"].toString(), "");
    EXPECT_EQ(e["past_end"].toString(), "/");
    EXPECT_EQ(e["negative"].toString(), "/");
    EXPECT_TRUE(e["distinct"].toBool());
    EXPECT_EQ(e["sub_counts"].toArray(), (QJsonArray{0, 0, 2}));
    EXPECT_EQ(e["open_missing"].toInt(), 0);

    const QJsonArray tree = Client({QStringLiteral("walk")})["tree"].toArray();
    EXPECT_EQ(Names(tree), (QStringList{"Alpha", "Beta", "Sub", "Gamma", "Deep", "Delta", "Gamma"}));
    // A bookmark listed in two folders reads the same through both.
    const QJsonObject gamma = tree[2]["items"][0].toObject();
    const QJsonObject again = tree[2]["items"][1]["items"][1].toObject();
    EXPECT_EQ(gamma["url"].toString(), "http://gamma.example/");
    EXPECT_EQ(again["url"], gamma["url"]);
    EXPECT_EQ(again["comment"], gamma["comment"]);
}

TEST_F(AutomationBus, IntrospectionListsMethodsInDispatchOrder)
{
    Host host(sample);
    ASSERT_TRUE(host.Ready());
    // A python client holds a collection and an item while gdbus looks at them.
    QProcess holder;
    holder.start(kPython, {QStringLiteral("-c"), QStringLiteral(
        "import dbus,sys\n"
        "b=dbus.SessionBus(); o=b.get_name_owner('org.halvane.Kiv.Document')\n"
        "d=dbus.Interface(b.get_object(o,'/Document'),'org.halvane.Kiv.Document')\n"
        "p=d.GetItems(); i=dbus.Interface(b.get_object(o,p),'org.halvane.Kiv.Items').GetItem(0)\n"
        "print(p); print(i, flush=True); sys.stdin.readline()\n")});
    QByteArray lines;
    while (lines.count('\n') < 2 && holder.waitForReadyRead(60000))
        lines += holder.readAll();
    const QList<QByteArray> paths = lines.trimmed().split('\n');
    ASSERT_EQ(paths.size(), 2);

    const struct
    {
        QString path;
        QString iface;
        QStringList methods;
        QString id;
    } rows[] = {
        {"/Document", "org.halvane.Kiv.Document", {"Open", "GetItems"},
         "{81A68064-73F9-11D3-AD31-B5EC784F055C}"},
        {QString::fromLatin1(paths[0]), "org.halvane.Kiv.Items",
         {"GetCount", "GetItem", "Release"}, "{8B3C870B-7403-11D3-AD31-B5EC784F055C}"},
        {QString::fromLatin1(paths[1]), "org.halvane.Kiv.Item",
         {"IsFolder", "GetName", "GetUrl", "GetComment", "GetItems", "Release"},
         "{8B3C870E-7403-11D3-AD31-B5EC784F055C}"},
    };
    for (const auto& row : rows) {
        const RunResult r = RunProgram("gdbus", {"introspect", "--session", "--dest",
                                           "org.halvane.Kiv.Document", "--object-path", row.path,
                                           "--xml"});
        ASSERT_EQ(r.code, 0) << r.err.constData();
        const QString xml = QString::fromUtf8(r.out);
        const int start = xml.indexOf(QStringLiteral("<interface name=\"%1\">").arg(row.iface));
        ASSERT_GE(start, 0) << qPrintable(xml);
        const int end = xml.indexOf(QStringLiteral("</interface>"), start);
        const QString block = xml.mid(start, end - start);
        QStringList methods;
        const QRegularExpression method(QStringLiteral("<method name=\"(\\w+)\""));
        for (auto it = method.globalMatch(block); it.hasNext();)
            methods << it.next().captured(1);
        EXPECT_EQ(methods, row.methods) << qPrintable(row.path);
        EXPECT_TRUE(block.contains(row.id)) << qPrintable(row.path);
    }
    // busctl reads the same signatures: GetItem takes i and returns o.
    const RunResult busctl = RunProgram("busctl", {"--user", "introspect", "org.halvane.Kiv.Document",
                                             QString::fromLatin1(paths[0]),
                                             "org.halvane.Kiv.Items"});
    ASSERT_EQ(busctl.code, 0) << busctl.err.constData();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("\\.GetItem\\s+method\\s+i\\s+o"))
                    .match(QString::fromUtf8(busctl.out))
                    .hasMatch())
        << busctl.out.constData();

    // When the holder leaves the bus its objects go with it.
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(60000));
    bool gone = false;
    for (int i = 0; i < 300 && !gone; ++i) {
        const RunResult r = RunProgram("gdbus", {"call", "--session", "--dest", "org.halvane.Kiv.Document",
                                           "--object-path", QString::fromLatin1(paths[0]),
                                           "--method", "org.halvane.Kiv.Items.GetCount"});
        gone = r.code != 0 && r.err.contains("UnknownObject");
        if (!gone)
            QThread::msleep(100);
    }
    EXPECT_TRUE(gone);
}

TEST_F(AutomationBus, GdbusCallsAnswerWithAutomationTypes)
{
    Host host(sample);
    ASSERT_TRUE(host.Ready());
    const auto call = [](const QStringList& rest) {
        return RunProgram("gdbus", QStringList{"call", "--session", "--dest",
                                               "org.halvane.Kiv.Document", "--object-path",
                                               "/Document", "--method"} + rest);
    };
    const RunResult items = call({"org.halvane.Kiv.Document.GetItems"});
    ASSERT_EQ(items.code, 0) << items.err.constData();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\(objectpath '/Items/\\d+',\\)$"))
                    .match(QString::fromUtf8(items.out.trimmed()))
                    .hasMatch())
        << items.out.constData();
    const RunResult missing = call({"org.halvane.Kiv.Document.Open", "/nonexistent/x.kiv"});
    EXPECT_EQ(missing.out.trimmed(), "(int16 0,)");
}

TEST_F(AutomationBus, ReleasedCollectionIsGone)
{
    Host host(sample);
    ASSERT_TRUE(host.Ready());
    EXPECT_EQ(Client({QStringLiteral("release")})["after_release"].toString(),
              "org.freedesktop.DBus.Error.UnknownObject");
}

TEST_F(AutomationBus, HeldObjectsAfterTheWindowEdits)
{
    const struct
    {
        QByteArray edit;
        bool bookmarkSurvives;
        int rootCount;
    } rows[] = {{"delete Sub", true, 2}, {"new", false, 0}};
    for (const auto& row : rows) {
        Host host(sample);
        ASSERT_TRUE(host.Ready());
        QProcess client;
        client.start(kPython, {kClient, QStringLiteral("stale"), QStringLiteral("2")});
        ASSERT_TRUE(WaitForLine(client, "holding")) << client.readAllStandardError().constData();
        ASSERT_TRUE(host.Edit(row.edit));
        client.write("go\n");
        client.closeWriteChannel();
        ASSERT_TRUE(client.waitForFinished(60000));
        ASSERT_EQ(client.exitCode(), 0) << client.readAllStandardError().constData();
        const QJsonObject r =
            QJsonDocument::fromJson(client.readAllStandardOutput().trimmed()).object();
        const QJsonObject before = r["before"].toObject();
        const QJsonObject after = r["after"].toObject();
        EXPECT_EQ(before["folder"]["name"].toString(), "Sub") << row.edit.constData();
        EXPECT_EQ(before["count"].toInt(), 2);
        EXPECT_EQ(after["folder"]["name"].toString(), "") << row.edit.constData();
        EXPECT_EQ(after["count"].toInt(), 0);
        EXPECT_EQ(after["item0"].toString(), "/");
        EXPECT_EQ(after["folder_items_count"].toInt(), 0);
        EXPECT_EQ(after["root_count"].toInt(), row.rootCount);
        EXPECT_EQ(after["mark"]["name"].toString(), row.bookmarkSurvives ? "Gamma" : "")
            << row.edit.constData();
    }
}

TEST_F(AutomationBus, OpenReplacesTheContentForEveryone)
{
    Host host{QString()};
    ASSERT_TRUE(host.Ready());
    const QJsonObject r = Client({QStringLiteral("open"), sample});
    EXPECT_EQ(r["open"].toInt(), 1);
    EXPECT_TRUE(r["held"].isNull()); // the empty document had nothing to hold
    EXPECT_EQ(Names(r["tree"].toArray()).size(), 7);
    // The window's copy of the document now shows the file as well.
    EXPECT_EQ(Names(Client({QStringLiteral("walk")})["tree"].toArray()).size(), 7);
}

TEST_F(AutomationBus, SecondCopyWaitsInTheQueue)
{
    const QString other = dir.filePath(QStringLiteral("other.kiv"));
    {
        CKivDoc doc;
        doc.OnNewDocument();
        doc.AddBookmark("http://other.example/", "Other", "", &doc.m_root, false);
        ASSERT_TRUE(doc.DoSave(other));
    }
    auto first = std::make_unique<Host>(sample);
    ASSERT_TRUE(first->Ready());
    Host second(other);
    ASSERT_TRUE(second.Ready());
    const RunResult queue = RunProgram("gdbus", {"call", "--session", "--dest", "org.freedesktop.DBus",
                                           "--object-path", "/org/freedesktop/DBus", "--method",
                                           "org.freedesktop.DBus.ListQueuedOwners",
                                           "org.halvane.Kiv.Document"});
    EXPECT_EQ(queue.out.count(':'), 2) << queue.out.constData();
    EXPECT_EQ(Names(Client({QStringLiteral("walk")})["tree"].toArray()).value(0), "Alpha");
    first->Stop();
    EXPECT_EQ(Names(Client({QStringLiteral("walk")})["tree"].toArray()), QStringList{"Other"});
}

TEST_F(AutomationBus, AutomationStartServesOneClientAndEnds)
{
    // A bus of our own that knows the service file we write, as the desktop's bus
    // knows the user's copy.
    const QString data = dir.filePath(QStringLiteral("data"));
    const QString done = dir.filePath(QStringLiteral("done"));
    ASSERT_TRUE(QDir().mkpath(done));
    qputenv("XDG_DATA_HOME", data.toLocal8Bit());
    ASSERT_EQ(KivAutomation::WriteUserServiceFile(kHost), KivAutomation::ServiceFileResult::Written);
    qunsetenv("XDG_DATA_HOME");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KIV_HOST_DONE_DIR"), done);
    PrivateBus bus(dir.path(), data + QStringLiteral("/dbus-1/services"), QString(), env);
    ASSERT_FALSE(bus.Address().isEmpty());
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.Address());

    const RunResult client = RunProgram(kPython, {kClient, QStringLiteral("automation"), sample}, env);
    ASSERT_EQ(client.code, 0) << client.err.constData();
    const QJsonObject r = QJsonDocument::fromJson(client.out.trimmed()).object();
    EXPECT_EQ(r["document"].toString(), "/Document");
    EXPECT_EQ(r["open"].toInt(), 1);
    EXPECT_EQ(Names(r["tree"].toArray()).size(), 7);
    EXPECT_FALSE(r["registered"].toBool()) << "an automation start is not the running document";
    EXPECT_TRUE(r["second_is_new_copy"].toBool());

    // Both copies end once their clients have left.
    int ended = 0;
    for (int i = 0; i < 600 && ended < 2; ++i) {
        ended = QDir(done).entryList(QDir::Files).size();
        if (ended < 2)
            QThread::msleep(100);
    }
    EXPECT_EQ(ended, 2);
}

TEST_F(AutomationBus, RefusedNameIsReportedAndTheDocumentWorksOn)
{
    // A bus whose policy refuses the running document's name.
    PrivateBus bus(dir.path(), QString(),
                   QStringLiteral("<deny own=\"org.halvane.Kiv.Document\"/>"),
                   QProcessEnvironment::systemEnvironment());
    ASSERT_FALSE(bus.Address().isEmpty());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.Address());
    QProcess host;
    host.setProcessEnvironment(env);
    host.start(kHost, {sample});
    ASSERT_TRUE(host.waitForStarted());
    QList<QByteArray> lines;
    while (!lines.contains("ready") && host.waitForReadyRead(60000))
        while (host.canReadLine())
            lines << host.readLine().trimmed();
    EXPECT_EQ(lines, (QList<QByteArray>{"Didn't register Active Object", "ready"}));
    // Unregistered, yet still loaded and editable; the next new tries again.
    host.write("new\n");
    while (!lines.contains("done") && host.waitForReadyRead(60000))
        while (host.canReadLine())
            lines << host.readLine().trimmed();
    EXPECT_EQ(lines.count("Didn't register Active Object"), 2);
    host.closeWriteChannel();
    EXPECT_TRUE(host.waitForFinished(60000));
    EXPECT_EQ(host.exitCode(), 0);
}

TEST_F(AutomationBus, KivPrintWritesThePdf)
{
    const QString printer = QStringLiteral(KIV_BIN_DIR "/kiv-print");
    if (!QFile::exists(printer))
        GTEST_SKIP() << "kiv-print is not built";
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    const RunResult none = RunProgram(printer, {QStringLiteral("--pdf"), pdf});
    EXPECT_EQ(none.code, 1);
    // The failure is logged under the program's own category.
    EXPECT_TRUE(none.err.contains("kiv.print: No running Kiv document")) << none.err.constData();

    Host host(sample);
    ASSERT_TRUE(host.Ready());
    const RunResult print = RunProgram(printer, {QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(print.code, 0) << print.err.constData();
    const RunResult text = RunProgram(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_EQ(text.code, 0) << text.err.constData();
    const QString t = QString::fromUtf8(text.out);
    // Tree order: the top-level bookmarks, then each folder as a heading with its own.
    const QStringList order = {"Alpha", "http://alpha.example/", "top entry", "Beta",
                               "http://beta.example/", "Sub", "Gamma",
                               "http://gamma.example/", "inside sub", "Deep", "Delta",
                               "http://delta.example/", "deepest", "Gamma", "inside sub"};
    int at = 0;
    for (const QString& s : order) {
        const int found = t.indexOf(s, at);
        ASSERT_GE(found, 0) << qPrintable(s) << " missing after " << at << " in\n" << qPrintable(t);
        at = found + s.size();
    }
}

}  // namespace

namespace {
// Zezivezu.viv is a type of its own whose handler is kiv-print.
TEST(PrintDocument, IsItsOwnTypeHandledByKivPrint)
{
    EnsureApp();
    QTemporaryDir dir;
    const QString mime = dir.filePath(QStringLiteral("share/mime"));
    ASSERT_TRUE(QDir().mkpath(mime + QStringLiteral("/packages")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(KIV_PRINT_DIR "/kiv-print-document.xml"),
                            mime + QStringLiteral("/packages/kiv-print-document.xml")));
    ASSERT_EQ(RunProgram(QStringLiteral("update-mime-database"), {mime}).code, 0);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_DIRS"), dir.filePath(QStringLiteral("share")) + ":/usr/share");
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("home")));
    const RunResult type = RunProgram(
        QStringLiteral("gio"),
        {QStringLiteral("info"), QStringLiteral("-a"), QStringLiteral("standard::content-type"),
         QStringLiteral(KIV_BIN_DIR "/Zezivezu.viv")},
        env);
    ASSERT_EQ(type.code, 0) << type.err.constData();
    EXPECT_TRUE(type.out.contains("standard::content-type: application/x-kiv-print"))
        << type.out.constData();

    const QString desktop = QStringLiteral(KIV_PRINT_DIR "/kiv-print.desktop");
    const RunResult valid = RunProgram(QStringLiteral("desktop-file-validate"), {desktop});
    EXPECT_EQ(valid.code, 0) << valid.out.constData();
    QFile f(desktop);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray entry = f.readAll();
    EXPECT_TRUE(entry.contains("\nMimeType=application/x-kiv-print;\n"));
    EXPECT_TRUE(entry.contains("\nExec=kiv-print %f\n"));
}
}  // namespace
