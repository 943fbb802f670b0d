#pragma once

#include "AutomationObjects.h"
#include "model/KivDoc.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// The running document: the document's objects on the bus and the well-known name
// org.halvane.Kiv.Document through which other programs find the open collection.
// The name is requested with queueing, so when this copy gives it up (or exits) the
// next interactive copy in the queue takes over.
class CAutomationServer : public QObject
{
    Q_OBJECT

public:
    explicit CAutomationServer(CKivDoc& doc,
                               const QDBusConnection& bus = QDBusConnection::sessionBus(),
                               QObject* parent = nullptr);
    ~CAutomationServer() override;

    // A program started by an automation client is not under the user's control
    // until the user takes it over; while it is not, the document is not registered.
    void SetUserControl(bool userControl) { m_bUserControl = userControl; }
    bool UserControl() const { return m_bUserControl; }

    // Called with the text "Didn't register Active Object" when registration
    // fails; the application shows it in a message box.
    using MessageSink = std::function<void(const QString& text)>;
    void SetMessageSink(MessageSink sink) { m_messageSink = std::move(sink); }

    // The document's RegisterActive: after every successful new or open. Does
    // nothing while registered, while the user is not in control, or without a
    // session bus; when the bus refuses the name it reports the message and leaves
    // m_dwRegister 0 (the next new or open retries).
    void RegisterActive();
    // From OnCloseDocument: gives the name up and sets m_dwRegister to 0.
    void Revoke();

    CAutomationHub& Hub() { return m_hub; }
    CKivDoc& Doc() { return m_doc; }
    // This copy's own name on the bus while its document is registered (the
    // well-known name may belong to another copy); empty otherwise.
    QString UniqueBusName() const
    {
        return m_doc.m_dwRegister != 0 && m_bus.isConnected() ? m_bus.baseService() : QString();
    }

private:
    CKivDoc& m_doc;
    QDBusConnection m_bus;
    CAutomationHub m_hub;
    MessageSink m_messageSink;
    bool m_bUserControl = true;
    uint32_t m_nNextCookie = 1;
};

// A CKivDoc that reports new, open and close to its automation server. The
// application may use it as its document class or copy its three overrides.
// Emptying the content turns every folder and bookmark object handed out stale at
// once, before a load can reuse the freed folders' addresses.
class CServedKivDoc : public CKivDoc
{
public:
    void SetServer(CAutomationServer* server) { m_pServer = server; }
    void RegisterActive() override;
    void DeleteContents() override;
    void OnCloseDocument() override;

private:
    CAutomationServer* m_pServer = nullptr;
};

// The class factory of an automation start (-Automation / -Embedding): owns
// org.halvane.Kiv.Application at /Application and hands the document to the
// first client that calls CreateDocument; then it gives the name up, so the next
// client's request starts a new copy of the program.
class CAutomationClassFactory : public QObject, protected QDBusContext
{
    Q_OBJECT

public:
    explicit CAutomationClassFactory(CAutomationServer& server, QObject* parent = nullptr);
    ~CAutomationClassFactory() override;

    // Exports /Application and takes the name; false when the bus refused either
    // (no session bus, or another copy already serves the name).
    bool RegisterAll();
    bool Served() const { return m_bServed; }

    // org.halvane.Kiv.Application, as org.halvane.Kiv.Application.xml describes it; the
    // bus reaches it through the adaptor generated from that file.
    QDBusObjectPath CreateDocument();

Q_SIGNALS:
    // The client is done: it released its collections and left the bus (or
    // never came). The program ends on this.
    void ClientDone();

private:
    void Withdraw();

    CAutomationServer& m_server;
    bool m_bRegistered = false;
    bool m_bServed = false;
};
