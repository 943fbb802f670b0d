#include "LoopbackHttpServer.h"

#include <QMetaObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace {

struct Counts
{
    std::atomic<int>* peak;
    std::atomic<int>* requests;
};

QByteArray Response(int status, const QByteArray& extraHeaders, bool head)
{
    QByteArray reason = status == 200 ? "OK" : "Status";
    QByteArray r = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n" + extraHeaders
                   + "Content-Length: 2\r\nContent-Type: text/plain\r\n\r\n";
    if (!head)
        r += "ok";
    return r;
}

void Serve(QTcpServer* server, int host, int delayMs, bool silent, Counts counts,
           std::shared_ptr<std::atomic<int>> open)
{
    QObject::connect(server, &QTcpServer::newConnection, server, [=] {
        while (QTcpSocket* socket = server->nextPendingConnection()) {
            const int now = ++*open;
            int seen = counts.peak->load();
            while (now > seen && !counts.peak->compare_exchange_weak(seen, now)) {
            }
            QObject::connect(socket, &QTcpSocket::disconnected, socket, [socket, open] {
                --*open;
                socket->deleteLater();
            });
            if (silent)
                continue;
            auto buffer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [=] {
                *buffer += socket->readAll();
                // A TLS hello gets a plain-text answer: the handshake fails.
                if (buffer->startsWith('\x16')) {
                    socket->write("HTTP/1.1 400 Bad Request\r\n\r\n");
                    socket->disconnectFromHost();
                    buffer->clear();
                    return;
                }
                qsizetype end;
                while ((end = buffer->indexOf("\r\n\r\n")) >= 0) {
                    const QByteArray request = buffer->left(end);
                    buffer->remove(0, end + 4);
                    ++*counts.requests;
                    const QList<QByteArray> line = request.split('\n').first().trimmed().split(' ');
                    const bool head = line.value(0) == "HEAD";
                    const QByteArray path = line.value(1).split('?').first();
                    const QByteArray base = "http://127.0.0." + QByteArray::number(host) + ':'
                                            + QByteArray::number(server->serverPort());
                    QByteArray reply;
                    int wait = delayMs;
                    if (path == "/reset") {
                        socket->abort();
                        return;
                    }
                    if (path == "/garbage")
                        reply = "this is no answer\r\n\r\n";
                    else if (path == "/ok")
                        reply = Response(200, {}, head);
                    else if (path == "/moved")
                        reply = Response(301, "Location: " + base + "/ok\r\n", head);
                    else if (path == "/tofile")
                        reply = Response(301, "Location: file:///etc/passwd\r\n", head);
                    else if (path == "/found")
                        reply = Response(302, "Location: /ok\r\n", head);
                    else if (path == "/perm")
                        reply = Response(308, "Location: /ok\r\n", head);
                    else if (path == "/gone")
                        reply = Response(404, {}, head);
                    else if (path == "/gone410")
                        reply = Response(410, {}, head);
                    else if (path == "/error")
                        reply = Response(500, {}, head);
                    else if (path == "/nohead")
                        reply = Response(head ? 405 : 200, {}, head);
                    else if (path == "/loop1")
                        reply = Response(302, "Location: /loop2\r\n", head);
                    else if (path == "/loop2")
                        reply = Response(302, "Location: /loop1\r\n", head);
                    else if (path == "/away")
                        reply = Response(301,
                                         "Location: http://127.0.0." + QByteArray::number(host + 1)
                                             + ':' + QByteArray::number(server->serverPort())
                                             + "/ok\r\n",
                                         head);
                    else if (path == "/slow") {
                        reply = Response(200, {}, head);
                        wait = 10000;
                    } else
                        reply = Response(404, {}, head);
                    if (wait <= 0) {
                        socket->write(reply);
                    } else {
                        QTimer::singleShot(wait, socket, [socket, reply] {
                            if (socket->state() == QAbstractSocket::ConnectedState)
                                socket->write(reply);
                        });
                    }
                }
            });
        }
    });
}

} // namespace

CLoopbackHttpServers::CLoopbackHttpServers()
    : m_thread(new QThread)
    , m_home(new QObject)
{
    m_home->moveToThread(m_thread);
    m_thread->start();
}

CLoopbackHttpServers::~CLoopbackHttpServers()
{
    // Deleted in its own thread, which deletes what is left to delete as it ends.
    m_home->deleteLater();
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
}

bool CLoopbackHttpServers::Listen(int first, int count, int delayMs, bool silent)
{
    bool ok = true;
    QMetaObject::invokeMethod(
        m_home,
        [&] {
            for (int k = 0; k < count && ok; ++k) {
                auto* server = new QTcpServer(m_home);
                const QHostAddress address(QStringLiteral("127.0.0.%1").arg(first + k));
                if (!server->listen(address, m_port)) {
                    ok = false;
                    break;
                }
                m_port = server->serverPort();
                Serve(server, first + k, delayMs, silent, Counts{&m_peak, &m_requests},
                      std::make_shared<std::atomic<int>>(0));
            }
        },
        Qt::BlockingQueuedConnection);
    return ok;
}

QString CLoopbackHttpServers::Url(int host, const char* path) const
{
    return QStringLiteral("http://127.0.0.%1:%2%3").arg(host).arg(m_port).arg(QLatin1String(path));
}
