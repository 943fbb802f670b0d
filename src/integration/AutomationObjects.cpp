#include "AutomationObjects.h"

#include "KivDocumentAdaptor.h"
#include "KivItemAdaptor.h"
#include "KivItemsAdaptor.h"

#include "framework/Document.h"
#include "framework/Ui.h"
#include "model/KivDoc.h"

#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTimer>

Q_LOGGING_CATEGORY(lcAutomation, "kiv.automation")

namespace {
QDBusObjectPath NullObject() { return QDBusObjectPath(QLatin1String(KivAutomation::kNullPath)); }

QString Text(const std::string& s) { return QString::fromStdString(s); }

// Every folder below the root with its chain positions; the walk never leaves the
// root's subtree, so the trash and the check folder stay out of reach.
std::map<const CFolderNode*, std::vector<int>> LiveFolders(const CKivDoc& doc)
{
    std::map<const CFolderNode*, std::vector<int>> live;
    std::vector<std::pair<const CFolderNode*, std::vector<int>>> stack{{&doc.m_root, {}}};
    while (!stack.empty()) {
        auto [node, path] = std::move(stack.back());
        stack.pop_back();
        int pos = 0;
        for (const CFolderNode* c = node->m_pFirstChild; c; c = c->m_pNext, ++pos) {
            std::vector<int> childPath = path;
            childPath.push_back(pos);
            stack.emplace_back(c, childPath);
        }
        live.emplace(node, std::move(path));
    }
    return live;
}

bool FindFolder(const CFolderNode* root, const CFolderNode* wanted, std::vector<int>* path)
{
    // Depth-first with an explicit stack of (node, position) frames.
    std::vector<std::pair<const CFolderNode*, int>> stack{{root->m_pFirstChild, 0}};
    while (!stack.empty()) {
        auto& [node, pos] = stack.back();
        if (!node) {
            stack.pop_back();
            if (!stack.empty()) {
                stack.back().first = stack.back().first->m_pNext;
                ++stack.back().second;
            }
            continue;
        }
        if (node == wanted) {
            path->clear();
            for (const auto& frame : stack)
                path->push_back(frame.second);
            return true;
        }
        stack.emplace_back(node->m_pFirstChild, 0);
    }
    return false;
}
}  // namespace

// --- CFolderRef --------------------------------------------------------------------

CFolderRef::CFolderRef(CFolderNode* folder, std::vector<int> path, uint64_t epoch)
    : m_pFolder(folder)
    , m_nSerial(folder ? folder->m_nSerial : 0)
    , m_path(std::move(path))
    , m_nEpoch(epoch)
{
}

CFolderNode* CFolderRef::Resolve(CKivDoc& doc, uint64_t epoch)
{
    if (!m_pFolder)
        return nullptr;
    if (m_pFolder == &doc.m_root)
        return &doc.m_root; // the top level outlives every content change
    if (m_nEpoch != epoch) {
        m_pFolder = nullptr;
        return nullptr;
    }
    CFolderNode* node = &doc.m_root;
    for (int pos : m_path) {
        CFolderNode* c = node->m_pFirstChild;
        for (int k = 0; c && k < pos; ++k)
            c = c->m_pNext;
        if (!c) {
            node = nullptr;
            break;
        }
        node = c;
    }
    if (node == m_pFolder && node->m_nSerial == m_nSerial)
        return node;
    // Siblings came or went, or the folder moved: look for it in the whole tree.
    std::vector<int> path;
    if (node != m_pFolder && FindFolder(&doc.m_root, m_pFolder, &path)
        && m_pFolder->m_nSerial == m_nSerial) {
        m_path = std::move(path);
        return m_pFolder;
    }
    m_pFolder = nullptr;
    return nullptr;
}

void CFolderRef::Sweep(const std::map<const CFolderNode*, std::vector<int>>& live,
                       uint64_t epoch, const CKivDoc& doc)
{
    if (!m_pFolder || m_pFolder == &doc.m_root)
        return;
    const auto it = live.find(m_pFolder);
    if (m_nEpoch != epoch || it == live.end() || it->first->m_nSerial != m_nSerial) {
        m_pFolder = nullptr;
        return;
    }
    m_path = it->second;
}

CFolderRef CFolderRef::Child(CFolderNode* child, int pos) const
{
    std::vector<int> path = m_path;
    path.push_back(pos);
    return CFolderRef(child, std::move(path), m_nEpoch);
}

// --- CKivItems ----------------------------------------------------------------------

CKivItems::CKivItems(CAutomationHub& hub, CFolderRef folder, bool holdsDocument)
    : m_hub(hub), m_folder(std::move(folder)), m_bHoldsDocument(holdsDocument)
{
    new CKivItemsAdaptor(this);
}

CKivItems::~CKivItems() = default;

int CKivItems::GetCount()
{
    const CFolderNode* f = m_folder.Resolve(m_hub.Doc(), m_hub.Epoch());
    if (!f)
        return 0;
    int count = static_cast<int>(f->m_aBookmarks.size());
    for (const CFolderNode* c = f->m_pFirstChild; c; c = c->m_pNext)
        ++count;
    return count;
}

QDBusObjectPath CKivItems::GetItem(int index)
{
    CFolderNode* f = m_folder.Resolve(m_hub.Doc(), m_hub.Epoch());
    if (!f || index < 0)
        return NullObject();
    const QString owner = calledFromDBus() ? message().service() : QString();
    const size_t b = f->m_aBookmarks.size();
    if (static_cast<size_t>(index) < b)
        return m_hub.NewItem(owner, CFolderRef(), f->m_aBookmarks[static_cast<size_t>(index)]);
    int pos = 0;
    for (CFolderNode* c = f->m_pFirstChild; c; c = c->m_pNext, ++pos)
        if (static_cast<size_t>(pos) + b == static_cast<size_t>(index))
            return m_hub.NewItem(owner, m_folder.Child(c, pos), -1);
    return NullObject();
}

void CKivItems::Release() { m_hub.Release(this, calledFromDBus() ? message().service() : QString()); }

// --- CKivItem -------------------------------------------------------------------------

CKivItem::CKivItem(CAutomationHub& hub, CFolderRef folder, int64_t bookmark, uint64_t epoch)
    : m_hub(hub), m_folder(std::move(folder)), m_nBookmark(bookmark), m_nEpoch(epoch)
{
    new CKivItemAdaptor(this);
}

CKivItem::~CKivItem() = default;

bool CKivItem::LiveBookmark(uint32_t* index) const
{
    // Bookmark entries live as long as the loaded content; only a new document or
    // an open replaces the table.
    if (m_nBookmark < 0 || m_nEpoch != m_hub.Epoch()
        || m_nBookmark >= static_cast<int64_t>(m_hub.Doc().BookmarkCount()))
        return false;
    *index = static_cast<uint32_t>(m_nBookmark);
    return true;
}

short CKivItem::IsFolder()
{
    // A stale item answers like an empty one: a folder with nothing in it, or a
    // bookmark with empty fields, whichever it stood for.
    return m_nBookmark < 0 ? 1 : 0;
}

QString CKivItem::GetName()
{
    uint32_t i;
    if (LiveBookmark(&i))
        return Text(m_hub.Doc().Bookmark(i).m_strName);
    if (const CFolderNode* f = m_folder.Resolve(m_hub.Doc(), m_hub.Epoch()))
        return Text(f->m_strName);
    return QString();
}

QString CKivItem::GetUrl()
{
    uint32_t i;
    return LiveBookmark(&i) ? Text(m_hub.Doc().Bookmark(i).m_strUrl) : QString();
}

QString CKivItem::GetComment()
{
    uint32_t i;
    return LiveBookmark(&i) ? Text(m_hub.Doc().Bookmark(i).m_strComment) : QString();
}

QDBusObjectPath CKivItem::GetItems()
{
    const QString owner = calledFromDBus() ? message().service() : QString();
    // A bookmark item gives an empty collection that holds no document reference.
    if (m_nBookmark >= 0)
        return m_hub.NewItems(owner, CFolderRef(), false);
    // A stale folder item gives an empty collection as well.
    if (!m_folder.Resolve(m_hub.Doc(), m_hub.Epoch()))
        return m_hub.NewItems(owner, CFolderRef(), false);
    return m_hub.NewItems(owner, m_folder, true);
}

void CKivItem::Release() { m_hub.Release(this, calledFromDBus() ? message().service() : QString()); }

// --- CKivDocObject ---------------------------------------------------------------------

CKivDocObject::CKivDocObject(CAutomationHub& hub) : m_hub(hub) { new CKivDocumentAdaptor(this); }

short CKivDocObject::Open(const QString& path)
{
    // A dialog, message box or drag of the window is waiting on the document; it must
    // find it as it left it when its loop ends.
    if (CUi::ModalInProgress()) {
        if (calledFromDBus())
            sendErrorReply(QLatin1String(KivAutomation::kBusyError),
                           QStringLiteral("Kiv is waiting for the user; try again later."));
        return 0;
    }
    CKivDoc& doc = m_hub.Doc();
    // Unsaved changes belong to the user: no client drops them without asking.
    if (doc.IsModified())
        return 0;
    const bool loaded = doc.OnOpenDocument(path);
    // The flag stays set when reading broke off after the content was emptied.
    const bool touched = loaded || doc.IsModified();
    if (loaded) {
        // The document is the opened file now: a save goes back to it, never over
        // the file shown before.
        doc.SetPathName(QFileInfo(path).absoluteFilePath());
    } else if (touched) {
        // Neither the old name nor a half-read tree stays.
        doc.SetPathName(QString());
        doc.OnNewDocument();
    }
    if (touched) {
        m_hub.ContentReplaced();
        // The views drop what they showed of the old content and fill again.
        doc.SendInitialUpdate();
        emit m_hub.DocumentOpened();
    }
    return loaded ? 1 : 0;
}

QDBusObjectPath CKivDocObject::GetItems()
{
    const QString owner = calledFromDBus() ? message().service() : QString();
    return m_hub.NewItems(owner, m_hub.RootRef(), true);
}

// --- CAutomationHub ---------------------------------------------------------------------

// Sees every change the views see: edits come with an update hint, new and open with
// the initial update.
class CAutomationHub::CObserver : public CView
{
public:
    explicit CObserver(CAutomationHub& hub) : m_hub(hub) {}
    void OnInitialUpdate() override { m_hub.ContentReplaced(); }
    void OnUpdate(CView*, const CHint& hint) override
    {
        // Selecting a folder or a row changes nothing an object refers to.
        if (hint.code != HINT_SELECT_FOLDER && hint.code != HINT_SELECT_ROW)
            m_hub.TreeEdited();
    }

private:
    CAutomationHub& m_hub;
};

CAutomationHub::CAutomationHub(CKivDoc& doc, const QDBusConnection& bus, QObject* parent)
    : QObject(parent),
      m_doc(doc),
      m_bus(bus),
      m_pObserver(std::make_unique<CObserver>(*this)),
      m_pDocObject(std::make_unique<CKivDocObject>(*this)),
      m_pWatcher(new QDBusServiceWatcher(this))
{
    m_pWatcher->setConnection(m_bus);
    m_pWatcher->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(m_pWatcher, &QDBusServiceWatcher::serviceUnregistered, this,
            &CAutomationHub::ClientGone);
    m_doc.AddView(m_pObserver.get());
}

CAutomationHub::~CAutomationHub()
{
    m_doc.RemoveView(m_pObserver.get());
    UnexportDocument();
    for (auto& [object, entry] : m_objects)
        if (!entry.path.isEmpty())
            m_bus.unregisterObject(entry.path);
    m_objects.clear();
}

bool CAutomationHub::ExportDocument()
{
    if (m_bDocumentExported)
        return true;
    m_bDocumentExported = m_bus.isConnected()
                          && m_bus.registerObject(QLatin1String(KivAutomation::kDocumentPath),
                                                  m_pDocObject.get(),
                                                  QDBusConnection::ExportAdaptors);
    return m_bDocumentExported;
}

void CAutomationHub::UnexportDocument()
{
    if (!m_bDocumentExported)
        return;
    m_bus.unregisterObject(QLatin1String(KivAutomation::kDocumentPath));
    m_bDocumentExported = false;
}

void CAutomationHub::ContentReplaced()
{
    ++m_nEpoch;
    TreeEdited();
}

void CAutomationHub::TreeEdited()
{
    // The walk over every folder is only worth it when some object may have gone stale.
    if (m_objects.empty())
        return;
    const auto live = LiveFolders(m_doc);
    for (auto& [object, entry] : m_objects) {
        if (auto* items = qobject_cast<CKivItems*>(object))
            items->m_folder.Sweep(live, m_nEpoch, m_doc);
        else if (auto* item = qobject_cast<CKivItem*>(object))
            item->m_folder.Sweep(live, m_nEpoch, m_doc);
    }
}

CFolderRef CAutomationHub::RootRef() { return CFolderRef(&m_doc.m_root, {}, m_nEpoch); }

QDBusObjectPath CAutomationHub::NewItems(const QString& owner, CFolderRef folder,
                                         bool holdsDocument)
{
    return Export(std::make_unique<CKivItems>(*this, std::move(folder), holdsDocument), owner,
                  "Items");
}

QDBusObjectPath CAutomationHub::NewItem(const QString& owner, CFolderRef folder,
                                        int64_t bookmark)
{
    return Export(std::make_unique<CKivItem>(*this, std::move(folder), bookmark, m_nEpoch), owner,
                  "Item");
}

QDBusObjectPath CAutomationHub::Export(std::unique_ptr<QObject> object, const QString& owner,
                                       const char* kind)
{
    // Numbers are never reused, so a released path can never name a newer object.
    const QString path = QStringLiteral("/%1/%2").arg(QLatin1String(kind)).arg(m_nNextId++);
    if (m_bus.isConnected()
        && !m_bus.registerObject(path, object.get(), QDBusConnection::ExportAdaptors)) {
        qCWarning(lcAutomation) << "cannot export" << path;
        return NullObject();
    }
    QObject* key = object.get();
    m_objects.emplace(key, Entry{std::move(object), owner, path});
    if (!owner.isEmpty())
        Watch(owner);
    return QDBusObjectPath(path);
}

void CAutomationHub::Watch(const QString& client)
{
    m_bHadClient = true;
    if (m_pWatcher->watchedServices().contains(client))
        return;
    m_pWatcher->addWatchedService(client);
    // A client may leave right after its call, before the watch reached the bus:
    // look once more when the reply is out.
    QTimer::singleShot(0, this, [this, client] {
        QDBusConnectionInterface* bus = m_bus.interface();
        if (bus && !bus->isServiceRegistered(client).value())
            ClientGone(client);
    });
}

void CAutomationHub::Release(QObject* object, const QString& caller)
{
    const auto it = m_objects.find(object);
    if (it == m_objects.end() || it->second.owner != caller)
        return;
    // Gone from the bus at once; the object itself is inside its own call, so it is
    // deleted when the call has finished.
    m_bus.unregisterObject(it->second.path);
    it->second.path.clear();
    QTimer::singleShot(0, this, [this, object] { Drop(object); });
}

void CAutomationHub::Drop(QObject* object)
{
    const auto it = m_objects.find(object);
    if (it == m_objects.end())
        return;
    if (!it->second.path.isEmpty())
        m_bus.unregisterObject(it->second.path);
    m_objects.erase(it);
    CheckIdle();
}

void CAutomationHub::AddDocumentClient(const QString& client)
{
    if (client.isEmpty())
        return;
    m_docClients.insert(client);
    Watch(client);
}

void CAutomationHub::ClientGone(const QString& client)
{
    m_pWatcher->removeWatchedService(client);
    m_docClients.erase(client);
    for (auto it = m_objects.begin(); it != m_objects.end();) {
        if (it->second.owner == client) {
            if (!it->second.path.isEmpty())
                m_bus.unregisterObject(it->second.path);
            it = m_objects.erase(it);
        } else {
            ++it;
        }
    }
    CheckIdle();
}

int CAutomationHub::CollectionCount() const
{
    int n = 0;
    for (const auto& [object, entry] : m_objects)
        if (qobject_cast<const CKivItems*>(object))
            ++n;
    return n;
}

QObject* CAutomationHub::ObjectAt(const QString& path) const
{
    for (const auto& [object, entry] : m_objects)
        if (entry.path == path)
            return object;
    return nullptr;
}

void CAutomationHub::CheckIdle()
{
    if (m_bHadClient && m_docClients.empty() && CollectionCount() == 0)
        emit Idle();
}
