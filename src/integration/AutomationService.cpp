#include "AutomationService.h"

#include "AutomationObjects.h"
#include "framework/FileWriter.h"
#include "res/Strings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace KivAutomation {
namespace {
// The bus splits Exec like a shell; anything beyond plain path characters goes
// inside single quotes.
QString Quoted(const QString& program)
{
    static const QString plain = QStringLiteral("/._-+:,@%=");
    bool needs = program.isEmpty();
    for (QChar c : program)
        if (!c.isLetterOrNumber() && !plain.contains(c))
            needs = true;
    if (!needs)
        return program;
    QString quoted = program;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}
}  // namespace

QString ServiceFileText(const QString& program)
{
    return QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2 -Automation\n")
        .arg(QLatin1String(kApplicationService), Quoted(program));
}

QString UserServiceFilePath()
{
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return dataHome + QStringLiteral("/dbus-1/services/") + QLatin1String(kApplicationService)
           + QStringLiteral(".service");
}

ServiceFileResult WriteUserServiceFile(const QString& program, QString* error)
{
    const QString path = UserServiceFilePath();
    const QByteArray text = ServiceFileText(program).toUtf8();
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == text)
        return ServiceFileResult::Unchanged;
    current.close();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(QFileInfo(path).absolutePath());
        return ServiceFileResult::Failed;
    }
    CFileWriter file(path);
    if (!file.Open() || !file.Write(text.constData(), size_t(text.size())) || !file.Commit()) {
        if (error)
            *error = KivStrings::FileErrorText(file.Error());
        return ServiceFileResult::Failed;
    }
    return ServiceFileResult::Written;
}

bool IsAutomationFlag(const QString& argument)
{
    if (argument.size() < 2 || (argument[0] != QLatin1Char('-') && argument[0] != QLatin1Char('/')))
        return false;
    const QStringView flag = QStringView(argument).mid(1);
    return flag.compare(QLatin1String("Automation"), Qt::CaseInsensitive) == 0
           || flag.compare(QLatin1String("Embedding"), Qt::CaseInsensitive) == 0;
}

}  // namespace KivAutomation
