#pragma once

#include "LinkStatus.h"

#include <QHash>
#include <QObject>
#include <QStringList>

#include <deque>
#include <memory>
#include <unordered_map>

class CLinkCache;
class QNetworkAccessManager;
class QNetworkReply;

// Checks links asynchronously on the caller's event loop: HEAD first, GET where HEAD
// is refused, redirects followed one by one so each is recorded, a few connections per
// host so no site is hammered, and a limit on all requests at once.
class CLinkChecker : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        int perHost = 4;
        int overall = 256;
        int timeoutMs = 15000; // per request, from sending to the answer's headers
        int maxRedirects = 10;
        int maxAgeDays = 1; // cached results younger than this are not checked again
    };

    explicit CLinkChecker(QObject* parent = nullptr);
    ~CLinkChecker() override;

    void SetOptions(const Options& options) { m_options = options; }
    // Results are read from and written to cache when one is set.
    void SetCache(CLinkCache* cache) { m_cache = cache; }

    // Checks each distinct URL once. Results of URLs that are not requested (cached,
    // not http or https) are reported at once.
    void Start(const QStringList& urls);
    void Cancel();
    bool IsRunning() const { return m_running; }
    int Total() const { return m_total; }
    int Done() const { return m_done; }
    // The largest number of requests one host had open at once.
    int PeakPerHost() const { return m_peakPerHost; }

signals:
    void resultReady(const CLinkResult& result);
    void finished(bool cancelled);

private:
    struct Job;
    struct Host
    {
        std::deque<std::unique_ptr<Job>> waiting;
        int active = 0;
        bool ready = false;
    };
    static QString HostKey(const QUrl& url);
    void Enqueue(std::unique_ptr<Job> job);
    void Pump();
    void Send(std::unique_ptr<Job> job);
    void OnFinished(QNetworkReply* reply);
    void Report(Job& job, LinkStatus status, int http);
    void FinishIfDone();

    Options m_options;
    CLinkCache* m_cache = nullptr;
    QNetworkAccessManager* m_nam = nullptr;
    std::unordered_map<QString, Host> m_hosts;
    std::deque<QString> m_ready;
    QHash<QNetworkReply*, Job*> m_inFlight;
    int m_active = 0;
    int m_total = 0;
    int m_done = 0;
    int m_peakPerHost = 0;
    bool m_running = false;
};
