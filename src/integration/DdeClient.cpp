#include "DdeClient.h"

#include "DdeProxy.h"
#include "IntegrationLog.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusPendingReply>

#include <climits>
#include <cstring>
#include <utility>

struct CDdeClient::Conversation
{
    QString server; // the unique bus name of the server that accepted
    std::unique_ptr<CDdeProxy> proxy;
};

namespace {

CDdeClient::MessageSink& Sink()
{
    static CDdeClient::MessageSink sink;
    return sink;
}

// Bus names are at most 255 characters: "org.halvane.Dde." leaves 239 for the service.
constexpr size_t kMaxServiceLength = 239;

} // namespace

CDdeClient::MessageSink CDdeClient::SetMessageSink(MessageSink sink)
{
    return std::exchange(Sink(), std::move(sink));
}

QString CDdeClient::BusNameForService(std::string_view service)
{
    QString name = QStringLiteral("org.halvane.Dde.");
    for (const char c : service) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')
                           || (c >= '0' && c <= '9') || c == '_';
        name += plain ? QChar::fromLatin1(c) : QChar(u'_');
    }
    // An element of a well-known bus name may not begin with a digit.
    if (!service.empty() && service.front() >= '0' && service.front() <= '9')
        name.insert(16, u'_');
    return name;
}

QString CDdeClient::ErrorText(uint32_t code)
{
    switch (code) {
    case DMLERR_INVALIDPARAMETER:
        return QStringLiteral("Paramètres invalides");
    case DMLERR_NO_CONV_ESTABLISHED:
        return QStringLiteral("Conversation impossible");
    case DMLERR_SERVER_DIED:
        return QStringLiteral("Serveur mort");
    default:
        return QString::asprintf("n %u %x", code, code);
    }
}

CDdeClient::CDdeClient(std::string_view service, std::string_view topic, bool quiet,
                       uint32_t timeout)
    : m_timeout(timeout)
    , m_quiet(quiet)
{
    Connect(service, topic);
}

CDdeClient::~CDdeClient()
{
    Close();
}

bool CDdeClient::Initialize()
{
    if (m_instance != 0)
        return true; // the same instance serves the new conversation
    static uint32_t lastInstance = 0;
    if (++lastInstance == 0)
        ++lastInstance;
    const QString name = QStringLiteral("kiv-dde-%1").arg(lastInstance);
    const QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    if (!bus.isConnected()) {
        qCInfo(lcIntegration) << "no session bus for DDE:" << bus.lastError().message();
        QDBusConnection::disconnectFromBus(name);
        return false;
    }
    m_instance = lastInstance;
    m_connectionName = name;
    return true;
}

int CDdeClient::CallTimeout() const
{
    if (m_timeout == kTimeoutAsync)
        return static_cast<int>(kDefaultTimeout);
    return m_timeout > static_cast<uint32_t>(INT_MAX) ? INT_MAX : static_cast<int>(m_timeout);
}

void CDdeClient::Connect(std::string_view service, std::string_view topic)
{
    if (!Initialize())
        return; // no instance, so nobody could read an error
    ReportError();

    m_conversation.reset();
    m_service.reset();
    m_topic.reset();
    if (!service.empty() && service.size() <= kMaxServiceLength && !topic.empty()) {
        m_service = BusNameForService(service);
        m_topic = QString::fromUtf8(topic.data(), static_cast<qsizetype>(topic.size()));
    } else {
        m_lastError = DMLERR_INVALIDPARAMETER;
    }

    if (m_service && m_topic) {
        const QDBusConnection bus(m_connectionName);
        const QDBusReply<QString> owner = bus.interface()->serviceOwner(*m_service);
        if (owner.isValid() && !owner.value().isEmpty()) {
            auto proxy = std::make_unique<CDdeProxy>(owner.value(), QStringLiteral("/"), bus);
            proxy->setTimeout(CallTimeout());
            QDBusPendingReply<bool> accepted = proxy->Connect(*m_topic);
            accepted.waitForFinished();
            if (!accepted.isError() && accepted.value()) {
                m_conversation = std::make_unique<Conversation>();
                m_conversation->server = owner.value();
                m_conversation->proxy = std::move(proxy);
                return;
            }
            qCDebug(lcIntegration)
                << *m_service << "refused" << *m_topic << accepted.error().message();
        }
        m_lastError = DMLERR_NO_CONV_ESTABLISHED;
    }
    ReportError();
}

uint32_t CDdeClient::ErrorFromCall(const QDBusError& error, uint32_t timeoutCode) const
{
    switch (error.type()) {
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut: {
        // Both a time-out and a server leaving the bus end the call without a reply.
        const QDBusConnection bus(m_connectionName);
        const QDBusReply<bool> alive = bus.interface()->isServiceRegistered(m_conversation->server);
        return alive.isValid() && alive.value() ? timeoutCode : DMLERR_SERVER_DIED;
    }
    case QDBusError::ServiceUnknown:
        return DMLERR_SERVER_DIED;
    case QDBusError::InvalidArgs:
    case QDBusError::InvalidSignature:
        return DMLERR_INVALIDPARAMETER;
    case QDBusError::Disconnected:
        return DMLERR_SYS_ERROR; // our own link to the bus is gone
    default:
        return DMLERR_NOTPROCESSED;
    }
}

bool CDdeClient::Request(std::string_view item, std::string* reply)
{
    if (!m_conversation)
        return false;
    QDBusPendingReply<QByteArray> data
        = m_conversation->proxy->Request(*m_topic, QString::fromUtf8(item.data(), item.size()));
    if (m_timeout == kTimeoutAsync)
        return false; // nothing comes back while we do not wait
    data.waitForFinished();
    if (data.isError()) {
        m_lastError = ErrorFromCall(data.error(), DMLERR_DATAACKTIMEOUT);
        return false;
    }
    const QByteArray bytes = data.value();
    if (bytes.isEmpty()) {
        m_lastError = DMLERR_NOTPROCESSED;
        return false;
    }
    if (reply)
        reply->assign(bytes.constData(), qstrnlen(bytes.constData(), bytes.size()));
    return true;
}

bool CDdeClient::Execute(std::string_view command)
{
    if (!m_conversation)
        return false;
    QByteArray data(command.data(), static_cast<qsizetype>(command.size()));
    data.append('\0'); // the terminating zero travels with the command
    QDBusPendingReply<bool> accepted = m_conversation->proxy->Execute(*m_topic, data);
    if (m_timeout == kTimeoutAsync) {
        if (!(accepted.isFinished() && accepted.isError()))
            return true;
    } else {
        accepted.waitForFinished();
        if (!accepted.isError() && accepted.value())
            return true;
    }
    m_lastError = accepted.isError() ? ErrorFromCall(accepted.error(), DMLERR_EXECACKTIMEOUT)
                                     : DMLERR_NOTPROCESSED;
    ReportError();
    return false;
}

void CDdeClient::SetTimeout(uint32_t milliseconds)
{
    m_timeout = milliseconds == 0 ? kTimeoutAsync : milliseconds;
    if (m_conversation)
        m_conversation->proxy->setTimeout(CallTimeout());
}

QString CDdeClient::ReportError()
{
    if (m_instance == 0)
        return {};
    const uint32_t code = std::exchange(m_lastError, DMLERR_NO_ERROR);
    if (code == DMLERR_NO_ERROR)
        return {};
    const QString text = ErrorText(code);
    if (!m_quiet) {
        if (Sink())
            Sink()(text, QString::fromLatin1(kMessageCaption));
        else
            qCWarning(lcIntegration) << kMessageCaption << text;
    }
    return text;
}

void CDdeClient::Close()
{
    m_conversation.reset();
    m_service.reset();
    m_topic.reset();
    if (m_instance != 0) {
        QDBusConnection::disconnectFromBus(m_connectionName);
        m_connectionName.clear();
        m_instance = 0;
        m_lastError = DMLERR_NO_ERROR;
    }
}
