#pragma once

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <vector>

class QThread;
class QTcpServer;

// Small HTTP servers on loopback addresses (each 127.x.y.z is a host of its own), run
// in a thread of their own so a test may wait on another process meanwhile. Paths:
//   /ok 200, /moved 301, /found 302, /perm 308 (all to /ok), /gone 404, /gone410,
//   /error 500, /nohead (405 to HEAD, 200 to GET), /slow (answers after 10 s),
//   /reset (closes at once), /garbage (not HTTP), /loop1 <-> /loop2,
//   /away (301 to /ok on the next address), /tofile (301 to a local file).
// A TLS hello is answered in plain text, so https fails its handshake.
// A silent server accepts connections and never answers.
class CLoopbackHttpServers
{
public:
    CLoopbackHttpServers();
    ~CLoopbackHttpServers();

    // Listens on 127.0.0.<first> .. 127.0.0.<first + count - 1>, one port for all;
    // false when an address cannot be had.
    bool Listen(int first, int count, int delayMs = 0, bool silent = false);
    quint16 Port() const { return m_port; }
    QString Url(int host, const char* path) const;
    // The most connections one address had open at once.
    int PeakConnections() const { return m_peak.load(); }
    int Requests() const { return m_requests.load(); }

private:
    QThread* m_thread;
    QObject* m_home; // lives in the thread; the servers are its children
    quint16 m_port = 0;
    std::atomic<int> m_peak{0};
    std::atomic<int> m_requests{0};
};
