#include "FakeDdeServer.h"

#include "FakeDdeAdaptor.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <unistd.h>

CFakeDdeServer::CFakeDdeServer(const QString& service, const QString& mode, const QString& logPath)
    : m_service(service)
    , m_mode(mode)
    , m_log(logPath)
{
    m_log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
}

void CFakeDdeServer::Log(const char* op, const QString& topic, const QString& item,
                         const QByteArray& data)
{
    QJsonObject record{{"service", m_service},
                       {"op", QString::fromLatin1(op)},
                       {"topic", topic},
                       {"item", item},
                       {"data", QString::fromLatin1(data.toBase64())}};
    // One write per record, so servers sharing a log never interleave lines.
    m_log.write(QJsonDocument(record).toJson(QJsonDocument::Compact) + '\n');
}

bool CFakeDdeServer::Misbehave()
{
    if (m_mode == QLatin1String("hang")) {
        setDelayedReply(true); // and never answer
        return true;
    }
    if (m_mode == QLatin1String("die"))
        ::_exit(0);
    if (m_mode == QLatin1String("badargs")) {
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("bad item"));
        return true;
    }
    return false;
}

bool CFakeDdeServer::Connect(const QString& topic)
{
    Log("connect", topic, {}, {});
    if (m_mode == QLatin1String("hangconnect")) {
        setDelayedReply(true);
        return false;
    }
    return m_mode != QLatin1String("refuse");
}

QByteArray CFakeDdeServer::Request(const QString& topic, const QString& item)
{
    Log("request", topic, item, {});
    if (Misbehave() || m_mode == QLatin1String("reject"))
        return {};
    return "ok:" + item.toUtf8() + '\0' + "tail";
}

bool CFakeDdeServer::Execute(const QString& topic, const QByteArray& data)
{
    Log("execute", topic, {}, data);
    if (Misbehave())
        return false;
    return m_mode != QLatin1String("reject");
}

// kiv_fake_dde_server SERVICE MODE LOGFILE — prints "ready" once it owns its name.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: kiv_fake_dde_server SERVICE MODE LOGFILE\n");
        return 2;
    }
    CFakeDdeServer server(args[1], args[2], args[3]);
    new CFakeDdeAdaptor(&server);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/"), &server)
        || !bus.registerService(QStringLiteral("org.halvane.Dde.") + args[1])) {
        std::fprintf(stderr, "cannot own the name: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
