#include "LinkStatus.h"

#include <QUrl>

#include <array>

namespace {
constexpr std::array<const char*, 12> kIds = {
    "ok",      "redirected", "gone",      "client-error",  "server-error",  "dns-failure",
    "refused", "timeout",    "tls-error", "network-error", "redirect-loop", "not-checked",
};
}

QString LinkStatusId(LinkStatus status)
{
    const int k = int(status) - 1;
    return k >= 0 && k < int(kIds.size()) ? QString::fromLatin1(kIds[size_t(k)]) : QString();
}

LinkStatus LinkStatusFromId(const QString& id)
{
    for (size_t k = 0; k < kIds.size(); ++k)
        if (id == QLatin1String(kIds[k]))
            return LinkStatus(int(k) + 1);
    return LinkStatus::NotChecked;
}

bool IsReached(LinkStatus status)
{
    return status == LinkStatus::Ok || status == LinkStatus::Redirected;
}

bool IsDead(LinkStatus status)
{
    return !IsReached(status) && status != LinkStatus::NotChecked;
}

bool IsCheckable(const QString& url)
{
    const QUrl u(url.trimmed());
    const QString scheme = u.scheme().toLower();
    return u.isValid() && !u.host().isEmpty()
           && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}
