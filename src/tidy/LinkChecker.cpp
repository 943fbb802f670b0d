#include "LinkChecker.h"

#include "LinkCache.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSet>
#include <QTimer>
#include <QUrl>

Q_LOGGING_CATEGORY(lcLinks, "kiv.tidy.links", QtWarningMsg)

struct CLinkChecker::Job
{
    QString original;
    QUrl url;
    bool get = false;
    bool redirected = false;
    bool permanent = true;
    int hops = 0;
    QSet<QString> seen;
    QElapsedTimer clock;
    // Set while a request is out.
    bool timedOut = false;
    bool headersSeen = false;
};

CLinkChecker::CLinkChecker(QObject* parent)
    : QObject(parent)
    , m_nam(new QNetworkAccessManager(this))
{
    m_nam->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

CLinkChecker::~CLinkChecker()
{
    // Listeners may already be gone.
    blockSignals(true);
    Cancel();
}

QString CLinkChecker::HostKey(const QUrl& url)
{
    return url.scheme().toLower() + QLatin1Char('/') + url.host().toLower() + QLatin1Char(':')
           + QString::number(url.port(
               url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) ? 80 : 443));
}

void CLinkChecker::Start(const QStringList& urls)
{
    Cancel();
    m_running = true;
    m_total = 0;
    m_done = 0;
    m_peakPerHost = 0;
    QSet<QString> distinct;
    QStringList toCheck;
    for (const QString& url : urls) {
        if (distinct.contains(url))
            continue;
        distinct.insert(url);
        ++m_total;
        toCheck << url;
    }
    QHash<QString, CLinkResult> fresh;
    if (m_cache && m_options.maxAgeDays > 0) {
        const qint64 notBefore
            = QDateTime::currentSecsSinceEpoch() - qint64(m_options.maxAgeDays) * 24 * 3600;
        fresh = m_cache->Fresh(toCheck, notBefore);
    }
    std::vector<CLinkResult> immediate;
    for (const QString& url : toCheck) {
        if (const auto it = fresh.constFind(url); it != fresh.constEnd()) {
            immediate.push_back(*it);
            continue;
        }
        if (!IsCheckable(url)) {
            CLinkResult r;
            r.url = url;
            r.status = LinkStatus::NotChecked;
            immediate.push_back(r);
            continue;
        }
        auto job = std::make_unique<Job>();
        job->original = url;
        job->url = QUrl(url.trimmed());
        job->seen.insert(job->url.toString());
        Enqueue(std::move(job));
    }
    for (const CLinkResult& r : immediate) {
        ++m_done;
        emit resultReady(r);
        if (!m_running)
            return;
    }
    Pump();
    FinishIfDone();
}

void CLinkChecker::Cancel()
{
    if (!m_running)
        return;
    m_running = false;
    m_hosts.clear();
    m_ready.clear();
    const auto inFlight = m_inFlight;
    m_inFlight.clear();
    for (auto it = inFlight.begin(); it != inFlight.end(); ++it) {
        QNetworkReply* reply = it.key();
        // Its time-out and header watch point at the job deleted here.
        for (QTimer* timer : reply->findChildren<QTimer*>())
            timer->stop();
        reply->disconnect();
        reply->abort();
        reply->deleteLater();
        delete it.value();
    }
    m_active = 0;
    emit finished(true);
}

void CLinkChecker::Enqueue(std::unique_ptr<Job> job)
{
    const QString key = HostKey(job->url);
    Host& host = m_hosts[key];
    host.waiting.push_back(std::move(job));
    if (!host.ready && host.active < m_options.perHost) {
        host.ready = true;
        m_ready.push_back(key);
    }
}

void CLinkChecker::Pump()
{
    // One request per host in turn, so the overall limit is shared among hosts.
    while (m_running && m_active < m_options.overall && !m_ready.empty()) {
        const QString key = m_ready.front();
        m_ready.pop_front();
        Host& host = m_hosts[key];
        host.ready = false;
        if (host.waiting.empty() || host.active >= m_options.perHost)
            continue;
        std::unique_ptr<Job> job = std::move(host.waiting.front());
        host.waiting.pop_front();
        ++host.active;
        m_peakPerHost = std::max(m_peakPerHost, host.active);
        if (!host.waiting.empty() && host.active < m_options.perHost) {
            host.ready = true;
            m_ready.push_back(key);
        }
        Send(std::move(job));
    }
}

void CLinkChecker::Send(std::unique_ptr<Job> job)
{
    ++m_active;
    QNetworkRequest request(job->url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Kiv link check"));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    job->timedOut = false;
    job->headersSeen = false;
    if (!job->clock.isValid())
        job->clock.start();
    QNetworkReply* reply = job->get ? m_nam->get(request) : m_nam->head(request);
    Job* raw = job.release();
    m_inFlight.insert(reply, raw);
    auto* timer = new QTimer(reply);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, reply, [raw, reply] {
        raw->timedOut = true;
        reply->abort();
    });
    timer->start(m_options.timeoutMs);
    if (raw->get) {
        // The status is all a check needs: the body is not read.
        connect(reply, &QNetworkReply::metaDataChanged, reply, [raw, reply] {
            if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) {
                raw->headersSeen = true;
                reply->abort();
            }
        });
    }
    connect(reply, &QNetworkReply::finished, this, [this, reply] { OnFinished(reply); });
}

void CLinkChecker::OnFinished(QNetworkReply* reply)
{
    reply->deleteLater();
    Job* raw = m_inFlight.take(reply);
    if (!raw)
        return;
    std::unique_ptr<Job> job(raw);
    --m_active;
    const QString key = HostKey(reply->url());
    Host& host = m_hosts[key];
    --host.active;
    if (!host.waiting.empty() && !host.ready) {
        host.ready = true;
        m_ready.push_back(key);
    }

    const QVariant statusAttr = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int http = statusAttr.isValid() ? statusAttr.toInt() : 0;
    if (job->timedOut && !job->headersSeen) {
        Report(*job, LinkStatus::Timeout, 0);
    } else if (http == 0) {
        LinkStatus status = LinkStatus::NetworkError;
        switch (reply->error()) {
        case QNetworkReply::HostNotFoundError:
            status = LinkStatus::DnsFailure;
            break;
        case QNetworkReply::ConnectionRefusedError:
            status = LinkStatus::Refused;
            break;
        case QNetworkReply::TimeoutError:
            status = LinkStatus::Timeout;
            break;
        case QNetworkReply::SslHandshakeFailedError:
            status = LinkStatus::TlsError;
            break;
        default:
            break;
        }
        qCDebug(lcLinks) << job->url << reply->error() << reply->errorString();
        Report(*job, status, 0);
    } else if (!job->get && (http == 405 || http == 501)) {
        job->get = true;
        Enqueue(std::move(job));
    } else if (http >= 300 && http < 400 && reply->hasRawHeader("Location")) {
        const QUrl target = reply->url().resolved(QUrl::fromEncoded(reply->rawHeader("Location")));
        job->redirected = true;
        job->permanent = job->permanent && (http == 301 || http == 308);
        ++job->hops;
        const QString targetText = target.toString();
        if (job->hops > m_options.maxRedirects || job->seen.contains(targetText)) {
            job->url = target;
            Report(*job, LinkStatus::RedirectLoop, http);
        } else if (!IsCheckable(targetText)) {
            job->url = target;
            Report(*job, LinkStatus::Redirected, http);
        } else {
            job->seen.insert(targetText);
            job->url = target;
            job->get = false;
            Enqueue(std::move(job));
        }
    } else if (http >= 200 && http < 300) {
        Report(*job, job->redirected ? LinkStatus::Redirected : LinkStatus::Ok, http);
    } else if (http == 404 || http == 410) {
        Report(*job, LinkStatus::Gone, http);
    } else if (http >= 400 && http < 500) {
        Report(*job, LinkStatus::ClientError, http);
    } else if (http >= 500) {
        Report(*job, LinkStatus::ServerError, http);
    } else {
        Report(*job, LinkStatus::NetworkError, http);
    }
    Pump();
    FinishIfDone();
}

void CLinkChecker::Report(Job& job, LinkStatus status, int http)
{
    CLinkResult r;
    r.url = job.original;
    r.status = status;
    r.httpStatus = http;
    if (job.redirected)
        r.finalUrl = job.url.toString();
    r.permanent = job.redirected && job.permanent;
    r.elapsedMs = int(job.clock.elapsed());
    r.checkedAt = QDateTime::currentSecsSinceEpoch();
    if (m_cache)
        m_cache->Store(r);
    ++m_done;
    emit resultReady(r);
}

void CLinkChecker::FinishIfDone()
{
    if (!m_running || m_active > 0)
        return;
    for (const auto& [key, h] : m_hosts)
        if (!h.waiting.empty())
            return;
    m_running = false;
    m_hosts.clear();
    emit finished(false);
}
