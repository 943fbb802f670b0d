#include "AutomationServer.h"

#include "KivApplicationAdaptor.h"

#include <QDBusConnectionInterface>
#include <QTimer>

namespace {
const QString& RegisterFailedText()
{
    static const QString text = QStringLiteral("Didn't register Active Object");
    return text;
}
}  // namespace

// --- CAutomationServer ---------------------------------------------------------------

CAutomationServer::CAutomationServer(CKivDoc& doc, const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_doc(doc), m_bus(bus), m_hub(doc, bus)
{
}

CAutomationServer::~CAutomationServer()
{
    if (m_doc.m_dwRegister != 0)
        Revoke();
}

void CAutomationServer::RegisterActive()
{
    if (m_doc.m_dwRegister != 0 || !m_bUserControl)
        return;
    // Without a session bus there is no automation at all, and nothing to tell.
    if (!m_bus.isConnected())
        return;
    bool ok = m_hub.ExportDocument();
    if (ok) {
        QDBusConnectionInterface* bus = m_bus.interface();
        const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
            bus ? bus->registerService(QLatin1String(KivAutomation::kDocumentService),
                                       QDBusConnectionInterface::QueueService,
                                       QDBusConnectionInterface::AllowReplacement)
                : QDBusReply<QDBusConnectionInterface::RegisterServiceReply>();
        // Waiting in the queue counts: this copy takes over when the owner leaves.
        ok = reply.isValid()
             && (reply.value() == QDBusConnectionInterface::ServiceRegistered
                 || reply.value() == QDBusConnectionInterface::ServiceQueued);
    }
    if (!ok) {
        m_doc.m_dwRegister = 0;
        if (m_messageSink)
            m_messageSink(RegisterFailedText());
        return;
    }
    m_doc.m_dwRegister = m_nNextCookie++;
}

void CAutomationServer::Revoke()
{
    if (m_doc.m_dwRegister == 0)
        return;
    if (QDBusConnectionInterface* bus = m_bus.interface())
        bus->unregisterService(QLatin1String(KivAutomation::kDocumentService));
    m_doc.m_dwRegister = 0;
}

// --- CServedKivDoc -----------------------------------------------------------------------

void CServedKivDoc::RegisterActive()
{
    if (m_pServer)
        m_pServer->RegisterActive();
}

void CServedKivDoc::DeleteContents()
{
    CKivDoc::DeleteContents();
    if (m_pServer)
        m_pServer->Hub().ContentReplaced();
}

void CServedKivDoc::OnCloseDocument()
{
    if (m_pServer)
        m_pServer->Revoke();
    CKivDoc::OnCloseDocument();
}

// --- CAutomationClassFactory ---------------------------------------------------------------

CAutomationClassFactory::CAutomationClassFactory(CAutomationServer& server, QObject* parent)
    : QObject(parent), m_server(server)
{
    new CKivApplicationAdaptor(this);
    connect(&m_server.Hub(), &CAutomationHub::Idle, this, [this] {
        if (m_bServed)
            emit ClientDone();
    });
}

CAutomationClassFactory::~CAutomationClassFactory() { Withdraw(); }

bool CAutomationClassFactory::RegisterAll()
{
    QDBusConnection& bus = m_server.Hub().Bus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    if (!bus.registerObject(QLatin1String(KivAutomation::kApplicationPath), this,
                            QDBusConnection::ExportAdaptors))
        return false;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus.interface()->registerService(QLatin1String(KivAutomation::kApplicationService),
                                         QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        bus.unregisterObject(QLatin1String(KivAutomation::kApplicationPath));
        return false;
    }
    m_bRegistered = true;
    return true;
}

QDBusObjectPath CAutomationClassFactory::CreateDocument()
{
    if (m_bServed) {
        // This copy serves one client only; a second caller that raced in before the
        // name was given up gets the null object.
        return QDBusObjectPath(QLatin1String(KivAutomation::kNullPath));
    }
    CAutomationHub& hub = m_server.Hub();
    if (!hub.ExportDocument())
        return QDBusObjectPath(QLatin1String(KivAutomation::kNullPath));
    m_bServed = true;
    if (calledFromDBus())
        hub.AddDocumentClient(message().service());
    // Let the reply go out first, then make room for the next copy.
    QTimer::singleShot(0, this, [this] { Withdraw(); });
    return QDBusObjectPath(QLatin1String(KivAutomation::kDocumentPath));
}

void CAutomationClassFactory::Withdraw()
{
    if (!m_bRegistered)
        return;
    QDBusConnection& bus = m_server.Hub().Bus();
    if (QDBusConnectionInterface* iface = bus.interface())
        iface->unregisterService(QLatin1String(KivAutomation::kApplicationService));
    bus.unregisterObject(QLatin1String(KivAutomation::kApplicationPath));
    m_bRegistered = false;
}
