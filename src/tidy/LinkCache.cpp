#include "LinkCache.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>

#include <atomic>

namespace {
std::atomic<int> g_nextConnection{0};
}

CLinkCache::CLinkCache()
    : m_connection(QStringLiteral("kiv-links-%1").arg(++g_nextConnection))
{}

CLinkCache::~CLinkCache()
{
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

QString CLinkCache::DefaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
           + QStringLiteral("/kiv/links.sqlite");
}

bool CLinkCache::Open(const QString& path)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        m_error = QStringLiteral("cannot create %1").arg(QFileInfo(path).absolutePath());
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(path);
    if (!db.open()) {
        m_error = db.lastError().text();
        return false;
    }
    QSqlQuery q(db);
    // A write-ahead log without a flush per result: a check stores thousands.
    q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS links (url TEXT PRIMARY KEY, "
                               "status INTEGER, http INTEGER, final TEXT, permanent INTEGER, "
                               "ms INTEGER, checked INTEGER)"))) {
        m_error = q.lastError().text();
        return false;
    }
    m_open = true;
    return true;
}

QHash<QString, CLinkResult> CLinkCache::Fresh(const QStringList& urls, qint64 notBefore) const
{
    QHash<QString, CLinkResult> out;
    if (!m_open)
        return out;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT status, http, final, permanent, ms, checked FROM links "
                             "WHERE url = ? AND checked >= ?"));
    for (const QString& url : urls) {
        q.bindValue(0, url);
        q.bindValue(1, notBefore);
        if (!q.exec() || !q.next())
            continue;
        CLinkResult r;
        r.url = url;
        r.status = LinkStatus(q.value(0).toInt());
        r.httpStatus = q.value(1).toInt();
        r.finalUrl = q.value(2).toString();
        r.permanent = q.value(3).toBool();
        r.elapsedMs = q.value(4).toInt();
        r.checkedAt = q.value(5).toLongLong();
        r.fromCache = true;
        if (LinkStatusId(r.status).isEmpty())
            continue;
        out.insert(url, r);
    }
    return out;
}

bool CLinkCache::Store(const CLinkResult& r)
{
    if (!m_open)
        return false;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO links (url, status, http, final, permanent, "
                             "ms, checked) VALUES (?, ?, ?, ?, ?, ?, ?)"));
    q.addBindValue(r.url);
    q.addBindValue(int(r.status));
    q.addBindValue(r.httpStatus);
    q.addBindValue(r.finalUrl);
    q.addBindValue(r.permanent ? 1 : 0);
    q.addBindValue(r.elapsedMs);
    q.addBindValue(r.checkedAt);
    if (!q.exec()) {
        m_error = q.lastError().text();
        return false;
    }
    return true;
}
