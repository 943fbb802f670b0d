#include "IntegrationFixtures.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

namespace KivTest {

FakeDdeServer::FakeDdeServer(const std::string& service, const std::string& mode,
                             const QString& logPath)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(KIV_BIN_DIR "/kiv_fake_dde_server"),
                    {QString::fromStdString(service), QString::fromStdString(mode), logPath});
    // A generous limit only guards against a hung start; it never decides a result.
    if (m_process.waitForStarted(30000)) {
        while (!m_ready && m_process.waitForReadyRead(30000))
            m_ready = m_process.readAll().contains("ready");
    }
}

FakeDdeServer::~FakeDdeServer()
{
    Stop();
}

void FakeDdeServer::Stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(30000);
    }
}

std::vector<DdeRecord> ReadDdeLog(const QString& logPath)
{
    std::vector<DdeRecord> records;
    QFile file(logPath);
    if (!file.open(QIODevice::ReadOnly))
        return records;
    while (!file.atEnd()) {
        const QJsonObject o = QJsonDocument::fromJson(file.readLine()).object();
        records.push_back({o["service"].toString().toStdString(), o["op"].toString().toStdString(),
                           o["topic"].toString().toStdString(), o["item"].toString().toStdString(),
                           QByteArray::fromBase64(o["data"].toString().toLatin1()).toStdString()});
    }
    return records;
}

bool RecordingStarter::Start(const QString& program, const QStringList& arguments)
{
    Launch launch{program.toStdString(), {}};
    for (const QString& arg : arguments)
        launch.args.push_back(arg.toStdString());
    launches.push_back(std::move(launch));
    return true;
}

std::vector<std::vector<std::string>> WaitForRecorderRuns(const QString& logPath, size_t count)
{
    std::vector<std::vector<std::string>> runs;
    QDeadlineTimer deadline(30000);
    for (;;) {
        runs.clear();
        QFile file(logPath);
        if (file.open(QIODevice::ReadOnly)) {
            while (!file.atEnd()) {
                const QByteArray line = file.readLine();
                if (!line.endsWith('\n'))
                    break; // still being written
                std::vector<std::string> args;
                for (const auto& arg : QJsonDocument::fromJson(line).array())
                    args.push_back(arg.toString().toStdString());
                runs.push_back(std::move(args));
            }
        }
        if (runs.size() >= count || deadline.hasExpired())
            return runs;
        QThread::msleep(20);
    }
}

QString RecorderProgram()
{
    return QStringLiteral(KIV_BIN_DIR "/kiv_argv_recorder");
}

} // namespace KivTest
