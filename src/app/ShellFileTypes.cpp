#include "ShellFileTypes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(content);
    return file.commit();
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

QStringList Register(const QString& dataHome, const QString& program)
{
    QStringList written;
    const QString mimeFile = dataHome + QStringLiteral("/mime/packages/kiv.xml");
    const QString desktopFile = dataHome + QStringLiteral("/applications/kiv.desktop");
    if (WriteIfDifferent(mimeFile, MimeTypeXml().toUtf8())) {
        written << mimeFile;
        // The desktop reads the compiled database; refresh it when the tool is there.
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
        if (!tool.isEmpty())
            QProcess::startDetached(tool, {dataHome + QStringLiteral("/mime")});
    }
    if (WriteIfDifferent(desktopFile, DesktopEntry(program).toUtf8()))
        written << desktopFile;
    return written;
}

}  // namespace KivShellFileTypes
