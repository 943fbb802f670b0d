#include "ShellFileTypes.h"

#include "framework/FileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <vector>

namespace KivShellFileTypes {

namespace {

// Desktop entries quote arguments with double quotes; these characters need a backslash.
QString QuoteExec(const QString& program)
{
    QString quoted = program;
    for (const char c : {'\\', '"', '`', '$'})
        quoted.replace(QLatin1Char(c), QStringLiteral("\\") + QLatin1Char(c));
    // A literal percent sign must be doubled in Exec.
    quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool WriteIfDifferent(const QString& path, const QByteArray& content)
{
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content)
        return false;
    existing.close();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    CFileWriter file(path);
    return file.Open() && file.Write(content.constData(), size_t(content.size())) && file.Commit();
}

// A file of our own resources, as text.
QString Resource(const QString& name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// Runs one of the desktop's database tools on a folder, when it is installed.
void RunTool(const QString& name, const QString& folder)
{
    const QString tool = QStandardPaths::findExecutable(name);
    if (tool.isEmpty())
        return;
    QProcess process;
    // Its notes (a folder outside the search path, in tests) are not the user's.
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(tool, {folder});
    if (process.waitForStarted())
        process.waitForFinished(30000);
}

}  // namespace

QString DataHome()
{
    const QString env = qEnvironmentVariable("XDG_DATA_HOME");
    if (!env.isEmpty() && QDir::isAbsolutePath(env))
        return env;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

QString MimeTypeXml()
{
    return QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"application/x-kiv\">\n"
        "    <comment>Kiv Document</comment>\n"
        "    <glob pattern=\"*.kiv\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n");
}

QString DesktopEntry(const QString& program)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Kiv\n"
                          "Comment=Bookmark manager\n"
                          "Exec=%1 %f\n"
                          "MimeType=application/x-kiv;\n"
                          "Categories=Network;WebBrowser;\n"
                          "Terminal=false\n")
        .arg(QuoteExec(program));
}

bool InstalledSystemWide(const QString& program)
{
    const QString self = QFileInfo(program).canonicalFilePath();
    if (self.isEmpty())
        return false;
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& dir : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (!QFileInfo::exists(dir + QStringLiteral("/mime/packages/kiv.xml")))
            continue;
        QFile entry(dir + QStringLiteral("/applications/kiv.desktop"));
        if (!entry.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : entry.readAll().split('\n')) {
            if (!line.startsWith("Exec="))
                continue;
            // The installed entry names the program by its full path, unquoted or quoted.
            QString exec = QString::fromUtf8(line.mid(5)).trimmed();
            if (exec.startsWith(QLatin1Char('"')))
                exec = exec.mid(1).section(QLatin1Char('"'), 0, 0);
            else
                exec = exec.section(QLatin1Char(' '), 0, 0);
            if (QFileInfo(exec).canonicalFilePath() == self)
                return true;
            break;
        }
    }
    return false;
}

QString PrintMimeTypeXml() { return Resource(QStringLiteral(":/desktop/kiv-print-document.xml")); }

QString PrintDesktopEntry(const QString& printProgram)
{
    // The installed entry names the program on the PATH; here it is the one beside us.
    QString entry = Resource(QStringLiteral(":/desktop/kiv-print.desktop"));
    entry.replace(QStringLiteral("\nExec=kiv-print "),
                  QStringLiteral("\nExec=") + QuoteExec(printProgram) + QLatin1Char(' '));
    return entry;
}

QStringList Register(const QString& dataHome, const QString& program, const QString& printProgram)
{
    struct File
    {
        QString path;
        QString content;
        bool mime;
    };
    std::vector<File> files = {
        {dataHome + QStringLiteral("/mime/packages/kiv.xml"), MimeTypeXml(), true},
        {dataHome + QStringLiteral("/applications/kiv.desktop"), DesktopEntry(program), false}};
    if (!printProgram.isEmpty()) {
        files.push_back({dataHome + QStringLiteral("/mime/packages/kiv-print-document.xml"),
                         PrintMimeTypeXml(), true});
        files.push_back({dataHome + QStringLiteral("/applications/kiv-print.desktop"),
                         PrintDesktopEntry(printProgram), false});
    }
    QStringList written;
    bool mimeChanged = false;
    bool desktopChanged = false;
    for (const File& f : files) {
        if (!WriteIfDifferent(f.path, f.content.toUtf8()))
            continue;
        written << f.path;
        (f.mime ? mimeChanged : desktopChanged) = true;
    }
    // The desktop reads compiled databases, not these files: rebuild them now, so that
    // a print asked for right after the start finds its handler.
    if (mimeChanged)
        RunTool(QStringLiteral("update-mime-database"), dataHome + QStringLiteral("/mime"));
    if (desktopChanged)
        RunTool(QStringLiteral("update-desktop-database"), dataHome + QStringLiteral("/applications"));
    return written;
}

QStringList OpenCommand(const QString& path)
{
    // xdg-open outside a known desktop asks file(1), which calls the print document
    // plain text; gio reads the shared MIME database.
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (!gio.isEmpty())
        return {gio, QStringLiteral("open"), path};
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!xdgOpen.isEmpty())
        return {xdgOpen, path};
    return {};
}

}  // namespace KivShellFileTypes
