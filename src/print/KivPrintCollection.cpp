#include "KivPrintCollection.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>

namespace {
constexpr char kService[] = "org.halvane.Kiv.Document";
constexpr char kDocumentInterface[] = "org.halvane.Kiv.Document";
constexpr char kItemsInterface[] = "org.halvane.Kiv.Items";
constexpr char kItemInterface[] = "org.halvane.Kiv.Item";
// Folders nest at most 99 deep; anything deeper is not a collection we should trust.
constexpr int kMaxDepth = 128;

bool IsNull(const QString& path) { return path.isEmpty() || path == QLatin1String("/"); }
}  // namespace

bool CCollectionReader::Read(QList<CPrintEntry>* entries, QString* error)
{
    entries->clear();
    QDBusConnectionInterface* bus = m_bus.isConnected() ? m_bus.interface() : nullptr;
    if (!bus) {
        *error = QStringLiteral("No session bus.");
        return false;
    }
    // The copy that asked for the print, else the owner of the moment: either way one
    // unique name, so every call reaches the same copy.
    const QDBusReply<QString> owner =
        bus->serviceOwner(m_strService.isEmpty() ? QLatin1String(kService) : m_strService);
    if (!owner.isValid() || owner.value().isEmpty()) {
        *error = QStringLiteral("No running Kiv document was found.");
        return false;
    }
    m_strService = owner.value();
    const QVariant root = Call(QStringLiteral("/Document"), kDocumentInterface, "GetItems", {}, error);
    if (!root.isValid())
        return false;
    const QString rootPath = root.value<QDBusObjectPath>().path();
    if (IsNull(rootPath)) {
        *error = QStringLiteral("The running document gave no collection.");
        return false;
    }
    const bool ok = Walk(rootPath, 0, entries, error);
    Release(rootPath, kItemsInterface);
    return ok;
}

bool CCollectionReader::Walk(const QString& itemsPath, int depth, QList<CPrintEntry>* entries,
                             QString* error)
{
    if (depth > kMaxDepth) {
        *error = QStringLiteral("The collection nests too deep.");
        return false;
    }
    const QVariant count = Call(itemsPath, kItemsInterface, "GetCount", {}, error);
    if (!count.isValid())
        return false;
    const int n = count.toInt();
    for (int i = 0; i < n; ++i) {
        const QVariant item = Call(itemsPath, kItemsInterface, "GetItem", {i}, error);
        if (!item.isValid())
            return false;
        const QString itemPath = item.value<QDBusObjectPath>().path();
        if (IsNull(itemPath))
            continue; // the folder lost entries while we read it
        CPrintEntry entry;
        entry.m_nDepth = depth;
        entry.m_bFolder = Call(itemPath, kItemInterface, "IsFolder", {}, error).toInt() != 0;
        entry.m_strName = Call(itemPath, kItemInterface, "GetName", {}, error).toString();
        if (!entry.m_bFolder) {
            entry.m_strUrl = Call(itemPath, kItemInterface, "GetUrl", {}, error).toString();
            entry.m_strComment = Call(itemPath, kItemInterface, "GetComment", {}, error).toString();
        }
        bool ok = error->isEmpty();
        if (ok)
            entries->append(entry);
        if (ok && entry.m_bFolder) {
            const QVariant sub = Call(itemPath, kItemInterface, "GetItems", {}, error);
            const QString subPath = sub.value<QDBusObjectPath>().path();
            ok = sub.isValid() && (IsNull(subPath) || Walk(subPath, depth + 1, entries, error));
            if (sub.isValid() && !IsNull(subPath))
                Release(subPath, kItemsInterface);
        }
        Release(itemPath, kItemInterface);
        if (!ok)
            return false;
    }
    return true;
}

QVariant CCollectionReader::Call(const QString& path, const char* interface, const char* method,
                                 const QVariantList& args, QString* error)
{
    QDBusMessage call = QDBusMessage::createMethodCall(m_strService, path,
                                                       QLatin1String(interface),
                                                       QLatin1String(method));
    call.setArguments(args);
    const QDBusMessage reply = m_bus.call(call);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        *error = QStringLiteral("The running document stopped answering (%1).")
                     .arg(reply.errorMessage().isEmpty() ? QLatin1String(method)
                                                         : reply.errorMessage());
        return QVariant();
    }
    return reply.arguments().constFirst();
}

void CCollectionReader::Release(const QString& path, const char* interface)
{
    m_bus.call(QDBusMessage::createMethodCall(m_strService, path, QLatin1String(interface),
                                              QStringLiteral("Release")),
               QDBus::NoBlock);
}
