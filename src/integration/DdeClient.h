#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class CDdeProxy;
class QDBusError;

// A client for one DDE conversation with a running program, used on the stack of one
// operation: construct (which connects), one or two transactions, Close.
//
// The conversation runs over the session bus: the server of service S owns the name
// org.halvane.Dde.S (characters outside [A-Za-z0-9_] become '_') and serves the
// interface org.halvane.Dde at "/". A DDE instance is a connection of its own to the
// bus; a conversation is bound to the server that accepted it, so a server that left
// the bus counts as dead even when another one took its name.
class CDdeClient
{
public:
    // The DDE library's error codes this client reports.
    enum : uint32_t {
        DMLERR_NO_ERROR = 0,
        DMLERR_DATAACKTIMEOUT = 0x4002,
        DMLERR_EXECACKTIMEOUT = 0x4005,
        DMLERR_INVALIDPARAMETER = 0x4006,
        DMLERR_NOTPROCESSED = 0x4009,
        DMLERR_NO_CONV_ESTABLISHED = 0x400A,
        DMLERR_SERVER_DIED = 0x400E,
        DMLERR_SYS_ERROR = 0x400F,
    };
    static constexpr uint32_t kDefaultTimeout = 60000;
    // The library's value for "do not wait for the server's answer".
    static constexpr uint32_t kTimeoutAsync = 0xFFFFFFFF;
    static constexpr const char* kMessageCaption = "DDE Msg";

    // Shows an error text to the user (caption "DDE Msg", an OK button only). The
    // window installs one that opens a message box with no owner; without one the
    // text only goes to the log.
    using MessageSink = std::function<void(const QString& text, const QString& caption)>;
    // Installs the sink for every client; returns the one it replaces.
    static MessageSink SetMessageSink(MessageSink sink);

    // Stores the quiet flag and connects. `timeout` is the time-out of every call,
    // including the connection itself.
    CDdeClient(std::string_view service, std::string_view topic, bool quiet,
               uint32_t timeout = kDefaultTimeout);
    ~CDdeClient(); // closes
    CDdeClient(const CDdeClient&) = delete;
    CDdeClient& operator=(const CDdeClient&) = delete;

    // Starts the instance (or reuses this object's) and opens the conversation. A
    // failed connection is reported (unless quiet); IsConnected() tells the outcome.
    void Connect(std::string_view service, std::string_view topic);
    // Text request. True when data came back; it is copied into `reply` up to its
    // first zero byte. A failed request is not reported.
    bool Request(std::string_view item, std::string* reply = nullptr);
    // Sends the command with its terminating zero byte. True when the server
    // accepted it; a failure is reported.
    bool Execute(std::string_view command);
    // 0 stores kTimeoutAsync: transactions are then sent without waiting, Execute
    // counts a sent command as accepted and Request never has data.
    void SetTimeout(uint32_t milliseconds);
    uint32_t Timeout() const { return m_timeout; }
    // Reads and clears the instance's last error. Returns its text (empty when there
    // was none) and, unless quiet, shows it through the message sink.
    QString ReportError();
    // Ends the conversation and the instance; harmless in any state, also twice.
    void Close();

    // The conversation handle is not null.
    bool IsConnected() const { return m_conversation != nullptr; }
    uint32_t Instance() const { return m_instance; }
    bool IsQuiet() const { return m_quiet; }

    // The bus name of a service's server.
    static QString BusNameForService(std::string_view service);
    // The text ReportError gives for an error code.
    static QString ErrorText(uint32_t code);

private:
    struct Conversation;

    bool Initialize();
    uint32_t ErrorFromCall(const QDBusError& error, uint32_t timeoutCode) const;
    int CallTimeout() const;

    uint32_t m_instance = 0;
    std::unique_ptr<Conversation> m_conversation;
    std::optional<QString> m_service; // the service's bus name (its "string handle")
    std::optional<QString> m_topic;
    uint32_t m_timeout = kDefaultTimeout;
    bool m_quiet = false;

    QString m_connectionName; // the instance's own bus connection
    uint32_t m_lastError = DMLERR_NO_ERROR;
};
