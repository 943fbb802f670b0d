// The application on the session bus: the running document, the automation start of
// the real program, the print companion against the running program, and the
// program's message boxes for the bus and the browsers.
#include "AppTestSupport.h"

#include "app/KivApp.h"
#include "frame/MainFrame.h"
#include "framework/QtUi.h"
#include "framework/ScriptedUi.h"
#include "integration/AutomationObjects.h"
#include "integration/AutomationService.h"
#include "integration/DdeClient.h"
#include "model/KivDoc.h"
#include "views/KivView.h"
#include "views/LeftView.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

using namespace KivAppTest;

namespace {

const QString kClient = QStringLiteral(KIV_APP_CLIENT);
const QString kPython = QStringLiteral("/usr/bin/python3");
const QString kDocumentName = QLatin1String(KivAutomation::kDocumentService);

struct Result
{
    int code = -1;
    QByteArray out;
    QByteArray err;
    QJsonObject Json() const { return QJsonDocument::fromJson(out).object(); }
};

// Runs a client while this process keeps answering the bus (the application under
// test lives in this process). The loop is bounded only to never hang the suite.
Result RunServing(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    Result r;
    if (!p.waitForStarted(10000))
        return r;
    for (int i = 0; i < 6000 && p.state() != QProcess::NotRunning; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        p.waitForFinished(10);
    }
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

Result RunClient(const QStringList& arguments)
{
    return RunServing(kPython, QStringList{kClient} + arguments);
}

bool NameOwned(const QString& name)
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(name).value();
}

// The top level of the sample collection, as the client prints it.
QJsonArray SampleTopLevel()
{
    auto row = [](int folder, const char* name, const char* url) {
        return QJsonArray{folder, QLatin1String(name), QLatin1String(url)};
    };
    return QJsonArray{row(0, "root-one", "http://root.example"),
                      row(0, "root-two", "http://root2.example"), row(1, "Herramientas", ""),
                      row(1, "Noticias", "")};
}

// Writes the first part of a good file only: reading breaks off after the content
// was emptied.
QString WriteTruncated(const AppEnv& env, const QString& sample)
{
    QFile good(sample);
    EXPECT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray bytes = good.readAll();
    const QString path = env.Path(QStringLiteral("truncated.kiv"));
    QFile cut(path);
    EXPECT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() / 2));
    return path;
}

// Starts the real program with its settings and desktop files in the test's folders
// and waits until it owns the bus name; false when it never did.
bool StartKiv(QProcess& kiv, const AppEnv& env, const QStringList& arguments,
              const QString& busName)
{
    QProcessEnvironment kivEnv = QProcessEnvironment::systemEnvironment();
    kivEnv.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    kivEnv.insert(QStringLiteral("XDG_CONFIG_HOME"), qEnvironmentVariable("XDG_CONFIG_HOME"));
    kivEnv.insert(QStringLiteral("XDG_DATA_HOME"), env.Path(QStringLiteral("data")));
    kiv.setProcessEnvironment(kivEnv);
    kiv.start(QStringLiteral(KIV_BIN_DIR "/kiv"), arguments);
    if (!kiv.waitForStarted(10000))
        return false;
    for (int i = 0; i < 600 && !NameOwned(busName) && kiv.state() == QProcess::Running; ++i)
        QThread::msleep(50);
    return NameOwned(busName);
}

class RunningDocument : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "needs a session bus";
        m_sample = m_env.WriteSample();
        m_app = std::make_unique<CKivApp>();
        ASSERT_TRUE(m_app->InitInstance({m_sample}));
    }
    void TearDown() override
    {
        if (m_app)
            m_app->ExitInstance();
        m_app.reset();
    }

    AppEnv m_env;
    QString m_sample;
    std::unique_ptr<CKivApp> m_app;
};

}  // namespace

// --- the interactive program's running document -----------------------------------------

TEST_F(RunningDocument, ClientsSeeTheOpenCollectionAndLaterEdits)
{
    EXPECT_TRUE(NameOwned(kDocumentName));
    EXPECT_NE(m_app->Document().m_dwRegister, 0u);
    EXPECT_TRUE(m_env.m_ui->m_messages.empty());

    Result first = RunClient({QStringLiteral("running")});
    ASSERT_EQ(first.code, 0) << first.err.constData();
    EXPECT_EQ(first.Json().value(QLatin1String("count")).toInt(), 4);
    EXPECT_EQ(first.Json().value(QLatin1String("names")).toArray(), SampleTopLevel());

    // An edit in the window, told to the views the way every command does.
    CKivDoc& doc = m_app->Document();
    doc.AddBookmark("http://added.example", "added", "", &doc.m_root, false);
    doc.UpdateAllViews(nullptr, HINT_REFRESH);
    Result second = RunClient({QStringLiteral("running")});
    ASSERT_EQ(second.code, 0) << second.err.constData();
    EXPECT_EQ(second.Json().value(QLatin1String("count")).toInt(), 5);
    EXPECT_EQ(second.Json().value(QLatin1String("names")).toArray().first(),
              (QJsonArray{0, QStringLiteral("added"), QStringLiteral("http://added.example")}));

    // New keeps the registration; closing gives the name up.
    const uint32_t cookie = doc.m_dwRegister;
    m_env.m_ui->m_messageAnswers = {CUi::IDNO};
    EXPECT_TRUE(m_app->NewDocument());
    EXPECT_EQ(doc.m_dwRegister, cookie);
    Result emptied = RunClient({QStringLiteral("running")});
    EXPECT_EQ(emptied.Json().value(QLatin1String("count")).toInt(), 0);
    m_app->ExitInstance();
    m_app.reset();
    EXPECT_FALSE(NameOwned(kDocumentName));
}

TEST_F(RunningDocument, PrintCompanionLaysOutTheRunningCollection)
{
    const QString pdf = m_env.Path(QStringLiteral("out.pdf"));
    Result print = RunServing(QStringLiteral(KIV_BIN_DIR "/kiv-print"),
                              {QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(print.code, 0) << print.err.constData();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(60000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* expected : {"root-one", "http://root.example", "root-two", "Herramientas",
                                 "tool", "http://tool.example", "Noticias", "news"})
        EXPECT_TRUE(printed.contains(QLatin1String(expected))) << expected << "\n"
                                                               << printed.toStdString();
}

// A client's Open of a file that breaks off midway empties the content; the program
// must not keep the old file's name with the emptied content, or the next save would
// overwrite the good file with nothing.
TEST_F(RunningDocument, AutomationOpenThatBreaksOffLeavesAnUntitledNewDocument)
{
    const QString truncated = WriteTruncated(m_env, m_sample);
    const QByteArray goodBytes = [&] {
        QFile f(m_sample);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    CKivDocObject& automation = m_app->AutomationServer().Hub().DocObject();
    EXPECT_EQ(automation.Open(truncated), 0);

    CKivDoc& doc = m_app->Document();
    EXPECT_TRUE(doc.GetPathName().isEmpty());
    EXPECT_EQ(doc.GetTitle(), QStringLiteral("Untitled"));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.m_root.m_pFirstChild, nullptr);
    EXPECT_TRUE(doc.m_root.m_aBookmarks.empty());
    EXPECT_EQ(m_app->GetMainFrame()->windowTitle(), QStringLiteral("Untitled[*] - Kiv"));
    EXPECT_NE(doc.m_dwRegister, 0u); // still the running document

    // The load step's message comes once the call has returned.
    EXPECT_TRUE(m_env.m_ui->m_messages.empty());
    QCoreApplication::processEvents();
    ASSERT_EQ(m_env.m_ui->m_messages.size(), 1u);

    // Saving asks for a name; the good file stays as it was.
    m_env.m_ui->m_fileAnswers = {QString()};
    EXPECT_FALSE(m_app->DoFileSave());
    QFile f(m_sample);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), goodBytes);
}

TEST_F(RunningDocument, AutomationOpenOfAMissingFileLeavesTheDocumentAsItWas)
{
    CKivDocObject& automation = m_app->AutomationServer().Hub().DocObject();
    EXPECT_EQ(automation.Open(m_env.Path(QStringLiteral("missing.kiv"))), 0);
    EXPECT_EQ(m_app->Document().GetPathName(), m_sample);
    EXPECT_EQ(m_app->Document().BookmarkCount(), 4u);
    EXPECT_FALSE(m_app->Document().IsModified());
    QCoreApplication::processEvents();
    EXPECT_EQ(m_env.m_ui->m_messages.size(), 1u);
}

TEST_F(RunningDocument, FileOpenOfABrokenFileStillEndsUntitledAndCleanOnce)
{
    const QString truncated = WriteTruncated(m_env, m_sample);
    EXPECT_FALSE(m_app->OpenDocumentFile(truncated));
    EXPECT_TRUE(m_app->Document().GetPathName().isEmpty());
    EXPECT_FALSE(m_app->Document().IsModified());
    QCoreApplication::processEvents();
    EXPECT_EQ(m_env.m_ui->m_messages.size(), 1u); // one report, not two
}

namespace {

struct BusAnswer
{
    int code = -1;
    QString out;
    QString err;
};

// Calls a method of this process's /Document with gdbus, a client in a process of
// its own, and hands its answer to `done` from whatever event loop runs meanwhile:
// the modal loop of a dialog, or the caller's.
void CallDocument(QObject* context, const QStringList& methodAndArguments,
                  std::function<void(const BusAnswer&)> done)
{
    auto* gdbus = new QProcess(context);
    auto finish = [gdbus, done](int code) {
        done({code, QString::fromUtf8(gdbus->readAllStandardOutput()),
              QString::fromUtf8(gdbus->readAllStandardError())});
        gdbus->deleteLater();
    };
    QObject::connect(gdbus, &QProcess::finished, context,
                     [finish](int code, QProcess::ExitStatus status) {
                         finish(status == QProcess::NormalExit ? code : -1);
                     });
    QObject::connect(gdbus, &QProcess::errorOccurred, context, [finish](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            finish(-1);
    });
    const QString method = QLatin1String(KivAutomation::kDocumentInterface) + QLatin1Char('.')
                           + methodAndArguments.front();
    gdbus->start(QStringLiteral("gdbus"),
                 QStringList{QStringLiteral("call"), QStringLiteral("--session"),
                             QStringLiteral("--dest"), QDBusConnection::sessionBus().baseService(),
                             QStringLiteral("--object-path"),
                             QLatin1String(KivAutomation::kDocumentPath),
                             QStringLiteral("--method"), method}
                     + methodAndArguments.mid(1));
}

// The same, waiting in an event loop of its own for the answer.
BusAnswer CallDocumentAndWait(const QStringList& methodAndArguments)
{
    QEventLoop loop;
    BusAnswer answer;
    CallDocument(&loop, methodAndArguments, [&](const BusAnswer& a) {
        answer = a;
        loop.quit();
    });
    loop.exec();
    return answer;
}

// From inside the next modal loop: a client asks to open another file (which must
// be refused as busy) and reads the collection (which must work); then `close`
// ends the modal window.
void WhileModal(std::vector<BusAnswer>& answers, const QString& otherFile,
                std::function<void(QWidget* modal)> close)
{
    QTimer::singleShot(0, [&answers, otherFile, close] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        CallDocument(modal, {QStringLiteral("Open"), otherFile}, [&answers, modal, close](const BusAnswer& a) {
            answers.push_back(a);
            CallDocument(modal, {QStringLiteral("GetItems")}, [&answers, modal, close](const BusAnswer& b) {
                answers.push_back(b);
                close(modal);
            });
        });
    });
}

}  // namespace

// A client's Open arriving while the item dialog or the delete question waits on the
// document replaced the content under them, and OK then wrote into freed memory.
// While a modal window is open, calls that change the document are refused as busy;
// reading goes on; afterwards Open works again, and makes the document the opened
// file, unless there are unsaved changes.
TEST_F(RunningDocument, ClientsCannotReplaceTheDocumentUnderAModalWindow)
{
    CQtUi qtUi;
    qtUi.SetMainWindow(m_app->GetMainFrame());
    CUi* scripted = CUi::Install(&qtUi);
    const QString other = m_env.WriteSample(QStringLiteral("other.kiv"));
    CKivDoc& doc = m_app->Document();
    CKivView* list = m_app->GetMainFrame()->GetRightPane();
    CLeftView* tree = m_app->GetMainFrame()->GetLeftPane();
    const auto busy = [](const BusAnswer& a) {
        return a.code != 0 && a.err.contains(QLatin1String(KivAutomation::kBusyError));
    };

    // The item dialog, for the first bookmark of the root.
    std::vector<BusAnswer> answers;
    list->SelectRow(0);
    const uint32_t edited = list->IndexAt(0);
    WhileModal(answers, other, [](QWidget* modal) {
        modal->findChild<QLineEdit*>(QStringLiteral("edit1000"))->setText(QStringLiteral("renamed"));
        modal->findChild<QPushButton*>(QStringLiteral("button1"))->click();
    });
    list->OnEditItem();
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_TRUE(busy(answers[0])) << answers[0].code << answers[0].err.toStdString();
    EXPECT_EQ(answers[1].code, 0) << answers[1].err.toStdString();
    EXPECT_TRUE(answers[1].out.contains(QLatin1String("/Items/"))) << answers[1].out.toStdString();
    EXPECT_EQ(doc.GetPathName().toStdString(), m_sample.toStdString());
    EXPECT_EQ(doc.Bookmark(edited).m_strName, "renamed");

    // The tree's delete question for a folder that lists a bookmark.
    answers.clear();
    CFolderNode* tools = doc.m_root.m_pFirstChild;
    ASSERT_EQ(tools->m_strName, "Herramientas");
    tree->setCurrentIndex(tree->TreeModel().IndexOf(tree->TreeModel().FindTreeItem(tools)));
    WhileModal(answers, other, [](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        box->button(QMessageBox::Ok)->click();
    });
    tree->OnDeleteFolder();
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_TRUE(busy(answers[0])) << answers[0].err.toStdString();
    EXPECT_EQ(answers[1].code, 0);
    EXPECT_EQ(doc.GetPathName().toStdString(), m_sample.toStdString());
    EXPECT_EQ(doc.m_root.m_pFirstChild->m_strName, "Noticias");
    EXPECT_EQ(doc.m_trash.m_aBookmarks.size(), 1u);

    // No modal window now: the unsaved changes still stop a client's Open.
    EXPECT_EQ(CallDocumentAndWait({QStringLiteral("Open"), other}).out.trimmed(),
              QStringLiteral("(int16 0,)"));
    EXPECT_EQ(doc.GetPathName().toStdString(), m_sample.toStdString());
    ASSERT_TRUE(m_app->DoFileSave());
    EXPECT_EQ(CallDocumentAndWait({QStringLiteral("Open"), other}).out.trimmed(),
              QStringLiteral("(int16 1,)"));
    EXPECT_EQ(doc.GetPathName().toStdString(), other.toStdString());
    EXPECT_EQ(m_app->GetMainFrame()->windowTitle(), QStringLiteral("other.kiv[*] - Kiv"));
    EXPECT_EQ(doc.m_root.m_pFirstChild->m_strName, "Herramientas");
    CUi::Install(scripted);
}

TEST(RunningDocumentRegistration, RefusedRegistrationIsReportedAndTheDocumentWorksOn)
{
    AppEnv env;
    // Someone else already serves the document's path on this connection.
    QObject squatter;
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(bus.registerObject(QLatin1String(KivAutomation::kDocumentPath), &squatter,
                                   QDBusConnection::ExportAllSlots));
    {
        CKivApp app;
        ASSERT_TRUE(app.InitInstance({}));
        EXPECT_EQ(env.m_ui->MessageTexts(), QStringList{QStringLiteral("Didn't register Active Object")});
        EXPECT_EQ(app.Document().m_dwRegister, 0u);
        // The next new tries again, and says so again.
        EXPECT_TRUE(app.NewDocument());
        EXPECT_EQ(env.m_ui->m_messages.size(), 2u);
        bus.unregisterObject(QLatin1String(KivAutomation::kDocumentPath));
        EXPECT_TRUE(app.NewDocument());
        EXPECT_NE(app.Document().m_dwRegister, 0u);
        EXPECT_EQ(env.m_ui->m_messages.size(), 2u);
        app.ExitInstance();
    }
}

// --- automation start ---------------------------------------------------------------------

TEST(AutomationStartInProcess, RegistersTheFactoryButNeverTheRunningDocument)
{
    AppEnv env;
    CKivApp app;
    ASSERT_TRUE(app.InitInstance({QStringLiteral("-Automation")}));
    EXPECT_TRUE(NameOwned(QLatin1String(KivAutomation::kApplicationService)));
    EXPECT_FALSE(NameOwned(kDocumentName));
    ASSERT_NE(app.ClassFactory(), nullptr);
    // A client's Open does not make it the running document either.
    CKivDocObject& automation = app.AutomationServer().Hub().DocObject();
    EXPECT_EQ(automation.Open(env.WriteSample()), 1);
    EXPECT_EQ(app.Document().m_dwRegister, 0u);
    EXPECT_FALSE(NameOwned(kDocumentName));
    EXPECT_EQ(app.Document().GetTitle(), QStringLiteral("sample.kiv"));
    app.ExitInstance();
}

TEST(AutomationStartInProcess, ASecondCopyThatCannotTakeTheFactoryNameEnds)
{
    AppEnv env;
    CKivApp first;
    ASSERT_TRUE(first.InitInstance({QStringLiteral("/Embedding")}));
    CKivApp second;
    EXPECT_FALSE(second.InitInstance({QStringLiteral("-Automation")}));
}

// The real program, started the way the bus starts it, driven by a client of its own.
TEST(AutomationStartProgram, ServesOneClientEndToEndAndEndsWhenItLeaves)
{
    AppEnv env;
    const QString sample = env.WriteSample();
    // A recent file that must not be reopened.
    SetSetting(QStringLiteral("Pref/OpenLastFile"), 1);
    SetSetting(QStringLiteral("Recent File List/File1"), sample);

    QProcess kiv;
    const QString factory = QLatin1String(KivAutomation::kApplicationService);
    ASSERT_TRUE(StartKiv(kiv, env, {QStringLiteral("-Automation")}, factory))
        << kiv.readAllStandardError().constData();

    Result client = RunClient({QStringLiteral("automation"), sample});
    ASSERT_EQ(client.code, 0) << client.err.constData();
    const QJsonObject json = client.Json();
    EXPECT_EQ(json.value(QLatin1String("open")).toInt(), 1);
    EXPECT_EQ(json.value(QLatin1String("count")).toInt(), 4);
    EXPECT_EQ(json.value(QLatin1String("names")).toArray(), SampleTopLevel());
    EXPECT_FALSE(json.value(QLatin1String("registered")).toBool());

    // The client left: the program ends by itself, without a window and without
    // writing desktop files of an interactive start.
    ASSERT_TRUE(kiv.waitForFinished(60000)) << "kiv -Automation did not end after its client";
    EXPECT_EQ(kiv.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(kiv.exitCode(), 0) << kiv.readAllStandardError().constData();
    EXPECT_FALSE(NameOwned(factory));
    EXPECT_FALSE(QFileInfo::exists(env.Path(QStringLiteral("data/applications/kiv.desktop"))));
    // Settings were read and written back as they were.
    EXPECT_EQ(Setting(QStringLiteral("Pref/OpenLastFile")).toInt(), 1);
}

// The bus itself starts the program for a client, from the service file an
// interactive start writes: a private bus whose service folder holds that file.
TEST(AutomationStartProgram, BusStartsTheProgramFromTheServiceFile)
{
    AppEnv env;
    const QString sample = env.WriteSample();
    const QString services = env.Path(QStringLiteral("services"));
    ASSERT_TRUE(QDir().mkpath(services));
    QFile service(services + QStringLiteral("/org.halvane.Kiv.Application.service"));
    ASSERT_TRUE(service.open(QIODevice::WriteOnly));
    service.write(KivAutomation::ServiceFileText(QStringLiteral(KIV_BIN_DIR "/kiv")).toUtf8());
    service.close();
    const QString socket = env.Path(QStringLiteral("bus"));
    const QString address = QStringLiteral("unix:path=") + socket;
    QFile config(env.Path(QStringLiteral("bus.conf")));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral(
        "<busconfig><type>session</type><listen>unix:path=%1</listen>"
        "<servicedir>%2</servicedir><policy context=\"default\"><allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
        "<allow own=\"*\"/></policy></busconfig>\n").arg(socket, services).toUtf8());
    config.close();

    // The daemon hands its environment to the programs it starts: they are to find
    // this bus as their session bus.
    QProcessEnvironment busEnv = QProcessEnvironment::systemEnvironment();
    busEnv.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    busEnv.insert(QStringLiteral("XDG_DATA_HOME"), env.Path(QStringLiteral("data")));
    busEnv.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    QProcess daemon;
    daemon.setProcessEnvironment(busEnv);
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--nofork"), QStringLiteral("--print-address=1"),
                  QStringLiteral("--config-file=") + config.fileName()});
    ASSERT_TRUE(daemon.waitForReadyRead(30000)); // the address: listening

    QProcess client;
    client.setProcessEnvironment(busEnv);
    client.start(kPython, {kClient, QStringLiteral("automation"), sample});
    ASSERT_TRUE(client.waitForFinished(120000));
    EXPECT_EQ(client.exitCode(), 0) << client.readAllStandardError().constData();
    const QJsonObject json = QJsonDocument::fromJson(client.readAllStandardOutput()).object();
    EXPECT_EQ(json.value(QLatin1String("open")).toInt(), 1);
    EXPECT_EQ(json.value(QLatin1String("names")).toArray(), SampleTopLevel());

    // The started copy ends once its client left.
    auto factoryOwned = [&] {
        QProcess ask;
        ask.start(QStringLiteral("gdbus"),
                  {QStringLiteral("call"), QStringLiteral("--address"), address,
                   QStringLiteral("--dest"), QStringLiteral("org.freedesktop.DBus"),
                   QStringLiteral("--object-path"), QStringLiteral("/org/freedesktop/DBus"),
                   QStringLiteral("--method"), QStringLiteral("org.freedesktop.DBus.NameHasOwner"),
                   QLatin1String(KivAutomation::kApplicationService)});
        ask.waitForFinished(30000);
        return ask.readAllStandardOutput().contains("true");
    };
    bool owned = true;
    for (int i = 0; i < 600 && owned; ++i) {
        owned = factoryOwned();
        if (owned)
            QThread::msleep(50);
    }
    EXPECT_FALSE(owned);
    daemon.terminate();
    daemon.waitForFinished(30000);
}

// The real program with its window: other programs find its collection, and the
// published interface carries its identifiers.
TEST(InteractiveProgram, RegistersTheRunningDocumentForOtherPrograms)
{
    AppEnv env;
    const QString sample = env.WriteSample();
    QProcess kiv;
    ASSERT_TRUE(StartKiv(kiv, env, {sample}, kDocumentName)) << kiv.readAllStandardError().constData();

    Result client = RunClient({QStringLiteral("running")});
    ASSERT_EQ(client.code, 0) << client.err.constData();
    EXPECT_EQ(client.Json().value(QLatin1String("names")).toArray(), SampleTopLevel());

    Result introspect = RunServing(QStringLiteral("gdbus"),
                                   {QStringLiteral("introspect"), QStringLiteral("--session"),
                                    QStringLiteral("--dest"), kDocumentName,
                                    QStringLiteral("--object-path"), QStringLiteral("/Document")});
    ASSERT_EQ(introspect.code, 0) << introspect.err.constData();
    EXPECT_TRUE(introspect.out.contains("GetItems"));
    EXPECT_TRUE(introspect.out.contains("{81A68064-73F9-11D3-AD31-B5EC784F055C}"));
    // Its desktop files, the bus's service file among them, are in place.
    EXPECT_TRUE(QFileInfo::exists(env.Path(
        QStringLiteral("data/dbus-1/services/org.halvane.Kiv.Application.service"))));

    kiv.terminate();
    ASSERT_TRUE(kiv.waitForFinished(60000));
}

TEST(AutomationStartProgram, InteractiveStartWritesTheUserServiceFile)
{
    AppEnv env;
    const QString service = KivAutomation::UserServiceFilePath();
    QFile::remove(service);
    {
        CKivApp app;
        ASSERT_TRUE(app.InitInstance({}));
        app.ExitInstance();
    }
    QFile file(service);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << service.toStdString();
    EXPECT_EQ(QString::fromUtf8(file.readAll()),
              KivAutomation::ServiceFileText(QCoreApplication::applicationFilePath()));
    EXPECT_TRUE(service.startsWith(DataHome()));
}

// --- the browsers' messages -------------------------------------------------------------------

TEST(DdeMessages, ReachTheUserThroughTheProgramsMessageBox)
{
    AppEnv env;
    {
        CKivApp app;
        ASSERT_TRUE(app.InitInstance({}));
        // Nobody serves this name: the failed conversation is reported.
        CDdeClient client("KivNoSuchBrowser", "WWW_OpenURL", false, 2000);
        EXPECT_FALSE(client.IsConnected());
        ASSERT_FALSE(env.m_ui->m_messages.empty());
        EXPECT_EQ(env.m_ui->m_messages.back().caption, QLatin1String(CDdeClient::kMessageCaption));
        app.ExitInstance();
    }
    // Once the program is gone the sink is gone with it.
    const size_t shown = env.m_ui->m_messages.size();
    CDdeClient client("KivNoSuchBrowser", "WWW_OpenURL", false, 2000);
    EXPECT_EQ(env.m_ui->m_messages.size(), shown);
}
