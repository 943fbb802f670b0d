#include "ShellFileTypes.h"

#include "framework/FileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
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
    CFileWriter file(path);
    return file.Open() && file.Write(content.constData(), size_t(content.size())) && file.Commit();
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
