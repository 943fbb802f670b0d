#include "DialogsTestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace KivDialogsTest {

namespace {

const char* const kXdgVariables[] = {"XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS",
                                     "XDG_CURRENT_DESKTOP"};

bool WriteFile(const QString& path, const QByteArray& contents)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(contents) == contents.size();
}

}  // namespace

FakeDesktop::FakeDesktop()
{
    // XDG_CONFIG_HOME stays the test run's own folder: the settings file lives
    // there, and mimeapps.list beside it in config-dirs is found all the same.
    for (const char* name : kXdgVariables)
        m_saved.emplace_back(name, qgetenv(name));
    qputenv("XDG_CONFIG_DIRS", Path(QStringLiteral("etc-xdg")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", Path(QStringLiteral("data")).toLocal8Bit());
    qputenv("XDG_DATA_DIRS", Path(QStringLiteral("usr-share")).toLocal8Bit());
    qunsetenv("XDG_CURRENT_DESKTOP");
    QDir().mkpath(Path(QStringLiteral("etc-xdg")));
    QDir().mkpath(Path(QStringLiteral("data/applications")));
    QDir().mkpath(Path(QStringLiteral("usr-share")));
}

FakeDesktop::~FakeDesktop()
{
    for (const auto& [name, value] : m_saved) {
        if (value.isNull())
            qunsetenv(name.constData());
        else
            qputenv(name.constData(), value);
    }
}

void FakeDesktop::RegisterBrowser(const QString& exec)
{
    WriteFile(Path(QStringLiteral("etc-xdg/mimeapps.list")),
              "[Default Applications]\nx-scheme-handler/http=kivtest-browser.desktop\n");
    WriteFile(Path(QStringLiteral("data/applications/kivtest-browser.desktop")),
              "[Desktop Entry]\nType=Application\nName=Test browser\nExec=" + exec.toUtf8() + "\n");
}

QString FakeDesktop::MakeRecorder(const QString& name) const
{
    const QString runs = Path(name + QStringLiteral(".runs"));
    QDir().mkpath(runs);
    // Each argument ends with a zero byte, so blanks, quotes and new lines survive;
    // the file appears complete or not at all.
    const QByteArray script = "#!/bin/sh\n"
                              "out='" + runs.toLocal8Bit() + "/run.'$$\n"
                              "printf '%s\\0' \"$@\" > \"$out.part\" && mv \"$out.part\" \"$out\"\n";
    const QString path = Path(name + QStringLiteral(".sh"));
    WriteFile(path, script);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

std::vector<QStringList> FakeDesktop::Runs(const QString& name) const
{
    std::vector<QStringList> runs;
    const QDir dir(Path(name + QStringLiteral(".runs")));
    for (const QString& entry : dir.entryList({QStringLiteral("run.*")}, QDir::Files)) {
        if (entry.endsWith(QLatin1String(".part")))
            continue;
        QFile file(dir.filePath(entry));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QStringList args;
        const QByteArray data = file.readAll();
        qsizetype start = 0;
        for (qsizetype end; (end = data.indexOf('\0', start)) >= 0; start = end + 1)
            args << QString::fromUtf8(data.mid(start, end - start));
        runs.push_back(args);
    }
    return runs;
}

std::vector<QStringList> FakeDesktop::WaitForRuns(const QString& name, size_t count) const
{
    QDeadlineTimer deadline(30000);
    std::vector<QStringList> runs = Runs(name);
    while (runs.size() < count && !deadline.hasExpired()) {
        QCoreApplication::processEvents();
        QThread::msleep(20);
        runs = Runs(name);
    }
    return runs;
}

QString FakeDesktop::MakeTextFile(const QString& name) const
{
    const QString path = Path(name);
    WriteFile(path, "not a program\n");
    return path;
}

}  // namespace KivDialogsTest
