#pragma once

#include "LinkStatus.h"

#include <QHash>
#include <QString>

// Results of earlier checks, kept by URL in a small SQLite file under the user's
// cache folder, so a later check skips what is fresh and an interrupted one resumes.
class CLinkCache
{
public:
    CLinkCache();
    ~CLinkCache();
    CLinkCache(const CLinkCache&) = delete;
    CLinkCache& operator=(const CLinkCache&) = delete;

    // $XDG_CACHE_HOME/kiv/links.sqlite
    static QString DefaultPath();
    bool Open(const QString& path = DefaultPath());
    bool IsOpen() const { return m_open; }
    QString LastError() const { return m_error; }

    // Results checked at or after notBefore (seconds since the epoch), by URL.
    QHash<QString, CLinkResult> Fresh(const QStringList& urls, qint64 notBefore) const;
    bool Store(const CLinkResult& result);

private:
    QString m_connection;
    QString m_error;
    bool m_open = false;
};
