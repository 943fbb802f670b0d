#include "ProgramStarter.h"

#include "IntegrationLog.h"

#include <QProcess>

bool CDetachedProgramStarter::Start(const QString& program, const QStringList& arguments)
{
    if (program.isEmpty())
        return false;
    const bool started = QProcess::startDetached(program, arguments);
    if (!started)
        qCInfo(lcIntegration) << "could not start" << program;
    return started;
}

CProgramStarter& DefaultProgramStarter()
{
    static CDetachedProgramStarter starter;
    return starter;
}
