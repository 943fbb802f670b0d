// Two running copies of kiv on one X display: the first copies a folder subtree,
// the second pastes it into its own collection and saves. The saved file is read
// back through kivtool dump.
#include "model/KivDoc.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace {

const QString kBinDir = QStringLiteral(KIV_BIN_DIR);

// A running kiv that is ended (never left behind) when the test is done with it.
struct CRunning
{
    QProcess process;
    ~CRunning()
    {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(10000)) {
                process.kill();
                process.waitForFinished(5000);
            }
        }
    }
};

class ClipboardProcessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        if (qgetenv("DISPLAY").isEmpty())
            GTEST_SKIP() << "needs an X display (run under xvfb-run)";
        // Each copy gets the same private settings, and nothing of the user's.
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("HOME"), m_dir.path());
        m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        m_env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
        m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    }

    void Start(CRunning& run, const QStringList& arguments)
    {
        run.process.setProcessEnvironment(m_env);
        run.process.setProgram(kBinDir + QStringLiteral("/kiv-testshell"));
        run.process.setArguments(arguments);
        run.process.start();
        ASSERT_TRUE(run.process.waitForStarted(20000));
    }

    // Waits until the process prints `line` on its output.
    static bool WaitForLine(QProcess& process, const QByteArray& line, QByteArray& seen)
    {
        for (int i = 0; i < 600 && !seen.contains(line); ++i) {
            if (process.state() == QProcess::NotRunning)
                break;
            process.waitForReadyRead(100);
            seen += process.readAllStandardOutput();
        }
        seen += process.readAllStandardOutput();
        return seen.contains(line);
    }

    QJsonObject Dump(const QString& path)
    {
        QProcess tool;
        tool.start(kBinDir + QStringLiteral("/kivtool"), {QStringLiteral("dump"), path});
        EXPECT_TRUE(tool.waitForFinished(30000));
        EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
        return QJsonDocument::fromJson(tool.readAllStandardOutput()).object();
    }

    static QJsonObject Child(const QJsonObject& folder, const QString& name)
    {
        for (const QJsonValue& c : folder.value(QStringLiteral("folders")).toArray())
            if (c.toObject().value(QStringLiteral("name")).toString() == name)
                return c.toObject();
        return {};
    }
    // The names of a folder's bookmarks, in the folder's order.
    static QStringList Names(const QJsonObject& dump, const QJsonObject& folder)
    {
        const QJsonArray table = dump.value(QStringLiteral("bookmarks")).toArray();
        QStringList names;
        for (const QJsonValue& i : folder.value(QStringLiteral("bookmarks")).toArray())
            names << table.at(i.toInt()).toObject().value(QStringLiteral("name")).toString();
        return names;
    }

    QTemporaryDir m_dir;
    QProcessEnvironment m_env;
};

TEST_F(ClipboardProcessTest, AFolderCopiedInOneCopyIsPastedInTheOther)
{
    // The source: Work/Projects with a subfolder and bookmarks at both levels.
    const QString source = m_dir.filePath(QStringLiteral("source.kiv"));
    {
        CKivDoc doc;
        doc.OnNewDocument();
        doc.AddBookmarkAtPath("http://kernel.org/", "Kernel", "Work/Projects", false);
        doc.AddBookmarkAtPath("http://qt.io/", "Qt", "Work/Projects", false);
        doc.AddBookmarkAtPath("http://gcc.gnu.org/", "GCC", "Work/Projects/Tools", false);
        doc.AddBookmarkAtPath("http://example.com/", "Elsewhere", "Work", false);
        ASSERT_TRUE(doc.DoSave(source));
    }
    // The target already has Inbox/Projects: the paste merges into it by name.
    const QString target = m_dir.filePath(QStringLiteral("target.kiv"));
    {
        CKivDoc doc;
        doc.OnNewDocument();
        doc.AddBookmarkAtPath("http://old.example/", "Old", "Inbox/Projects", false);
        doc.AddBookmarkAtPath("http://qt.io/", "Qt already", "Inbox", false);
        ASSERT_TRUE(doc.DoSave(target));
    }

    CRunning copier;
    Start(copier, {source, QStringLiteral("--test-copy-folder"), QStringLiteral("Work/Projects")});
    QByteArray copierOut;
    ASSERT_TRUE(WaitForLine(copier.process, "kiv: copied", copierOut))
        << copierOut.toStdString() << copier.process.readAllStandardError().toStdString();

    // The copier keeps running (it owns the clipboard) while the other one pastes.
    CRunning paster;
    Start(paster, {target, QStringLiteral("--test-paste-into"), QStringLiteral("Inbox"),
                   QStringLiteral("--test-save-exit")});
    ASSERT_TRUE(paster.process.waitForFinished(90000));
    const QByteArray pasterOut = paster.process.readAllStandardOutput();
    EXPECT_EQ(paster.process.exitCode(), 0)
        << pasterOut.toStdString() << paster.process.readAllStandardError().toStdString();
    EXPECT_TRUE(pasterOut.contains("kiv: saved")) << pasterOut.toStdString();
    EXPECT_EQ(copier.process.state(), QProcess::Running);

    const QJsonObject dump = Dump(target);
    const QJsonObject root = dump.value(QStringLiteral("root")).toObject();
    const QJsonObject inbox = Child(root, QStringLiteral("Inbox"));
    ASSERT_FALSE(inbox.isEmpty()) << QJsonDocument(dump).toJson().toStdString();
    const QJsonObject projects = Child(inbox, QStringLiteral("Projects"));
    ASSERT_FALSE(projects.isEmpty()) << QJsonDocument(dump).toJson().toStdString();
    // One Projects folder, holding its old bookmark and the pasted ones; a URL the
    // collection already knew is listed again, not duplicated.
    EXPECT_EQ(inbox.value(QStringLiteral("folders")).toArray().size(), 1);
    const QStringList names = Names(dump, projects);
    EXPECT_TRUE(names.contains(QStringLiteral("Old")));
    EXPECT_TRUE(names.contains(QStringLiteral("Kernel")));
    EXPECT_TRUE(names.contains(QStringLiteral("Qt already")));
    EXPECT_EQ(names.size(), 3) << names.join(QLatin1Char(',')).toStdString();
    const QJsonObject tools = Child(projects, QStringLiteral("Tools"));
    EXPECT_EQ(Names(dump, tools), QStringList{QStringLiteral("GCC")});
    // Nothing of the source outside the copied folder came along.
    for (const QJsonValue& b : dump.value(QStringLiteral("bookmarks")).toArray())
        EXPECT_NE(b.toObject().value(QStringLiteral("name")).toString(),
                  QStringLiteral("Elsewhere"));
    // Copying changed nothing in the source.
    const QJsonObject work
        = Child(Dump(source).value(QStringLiteral("root")).toObject(), QStringLiteral("Work"));
    EXPECT_FALSE(Child(work, QStringLiteral("Projects")).isEmpty());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
