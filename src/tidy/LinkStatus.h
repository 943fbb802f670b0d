#pragma once

#include <QString>

// What checking one link found.
enum class LinkStatus : int {
    Ok = 1,
    Redirected = 2,  // reached after redirects
    Gone = 3,        // 404 or 410
    ClientError = 4, // any other 4xx
    ServerError = 5, // 5xx
    DnsFailure = 6,
    Refused = 7,
    Timeout = 8,
    TlsError = 9,
    NetworkError = 10, // the connection broke or the answer was not HTTP
    RedirectLoop = 11, // redirects that come back or never end
    NotChecked = 12,   // not an http or https URL: never requested
};

struct CLinkResult
{
    QString url;
    LinkStatus status = LinkStatus::NotChecked;
    int httpStatus = 0;
    QString finalUrl;       // where the redirects led; empty without redirects
    bool permanent = false; // every redirect on the way was permanent (301, 308)
    int elapsedMs = 0;
    qint64 checkedAt = 0; // seconds since the epoch
    bool fromCache = false;
};

// A stable name for files and scripts: "ok", "gone", "dns-failure" ...
QString LinkStatusId(LinkStatus status);
// The status named by LinkStatusId, or NotChecked.
LinkStatus LinkStatusFromId(const QString& id);
// Reached: the link answered with a page, directly or after redirects.
bool IsReached(LinkStatus status);
// Requested and not reached.
bool IsDead(LinkStatus status);
// Only these schemes are ever requested.
bool IsCheckable(const QString& url);
