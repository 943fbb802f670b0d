#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <vector>

class CFolderNode;
class CKivDoc;
class CAutomationHub;
class QDBusServiceWatcher;

namespace KivAutomation {
// Bus names, paths and interfaces of the automation model.
inline constexpr char kDocumentService[] = "org.halvane.Kiv.Document";
inline constexpr char kApplicationService[] = "org.halvane.Kiv.Application";
inline constexpr char kDocumentPath[] = "/Document";
inline constexpr char kApplicationPath[] = "/Application";
inline constexpr char kNullPath[] = "/";
inline constexpr char kDocumentInterface[] = "org.halvane.Kiv.Document";
inline constexpr char kItemsInterface[] = "org.halvane.Kiv.Items";
inline constexpr char kItemInterface[] = "org.halvane.Kiv.Item";
inline constexpr char kApplicationInterface[] = "org.halvane.Kiv.Application";
// The answer to a call that would change the document while the window waits in a
// modal dialog, a message box or a drag; the client may try again later.
inline constexpr char kBusyError[] = "org.halvane.Kiv.Error.Busy";
// The document's class id, under which it is known as the running document.
inline constexpr char kDocumentClassId[] = "{81A68062-73F9-11D3-AD31-B5EC784F055C}";
}  // namespace KivAutomation

// A folder as a client object sees it. The stored pointer is only a key: it is never
// followed unless the same address is found again by walking the live tree below the
// root, so a folder that an edit deleted can never be reached through it.
class CFolderRef
{
public:
    CFolderRef() = default;
    // folder must be live here: its serial is taken now.
    CFolderRef(CFolderNode* folder, std::vector<int> path, uint64_t epoch);

    // The live folder, or null once the folder has left the tree below the root.
    CFolderNode* Resolve(CKivDoc& doc, uint64_t epoch);
    // Brings the reference up to date from a map of every folder below the root
    // (pointer -> chain positions) built after an edit.
    void Sweep(const std::map<const CFolderNode*, std::vector<int>>& live, uint64_t epoch,
               const CKivDoc& doc);
    bool IsNull() const { return m_pFolder == nullptr; }
    // The reference of a child found at chain position pos of this (resolved) folder.
    CFolderRef Child(CFolderNode* child, int pos) const;

private:
    CFolderNode* m_pFolder = nullptr; // never dereferenced before Resolve finds it
    uint64_t m_nSerial = 0;           // the folder's serial, so a newcomer at the same
                                      // address is not taken for it
    std::vector<int> m_path;          // chain positions from the root, a fast first guess
    uint64_t m_nEpoch = 0;            // content generation the folder belongs to
};

// Collection over one folder: bookmarks first, then subfolders, in stored order.
class CKivItems : public QObject, protected QDBusContext
{
    Q_OBJECT

public:
    CKivItems(CAutomationHub& hub, CFolderRef folder, bool holdsDocument);
    ~CKivItems() override;

    bool HoldsDocument() const { return m_bHoldsDocument; }

    // org.halvane.Kiv.Items, as org.halvane.Kiv.Items.xml describes it; the bus reaches
    // these through the adaptor generated from that file.
    int GetCount();
    QDBusObjectPath GetItem(int index);
    void Release();

private:
    CAutomationHub& m_hub;
    CFolderRef m_folder; // null for the empty collection of a bookmark item
    bool m_bHoldsDocument;
    friend class CAutomationHub;
};

// One bookmark or one subfolder of a collection.
class CKivItem : public QObject, protected QDBusContext
{
    Q_OBJECT

public:
    // A folder item (folder set) or a bookmark item (bookmark index set).
    CKivItem(CAutomationHub& hub, CFolderRef folder, int64_t bookmark, uint64_t epoch);
    ~CKivItem() override;

    // org.halvane.Kiv.Item, as org.halvane.Kiv.Item.xml describes it; the bus reaches
    // these through the adaptor generated from that file.
    short IsFolder();
    QString GetName();
    QString GetUrl();
    QString GetComment();
    QDBusObjectPath GetItems();
    void Release();

private:
    // The bookmark's table index while it still belongs to the loaded content.
    bool LiveBookmark(uint32_t* index) const;

    CAutomationHub& m_hub;
    CFolderRef m_folder;
    int64_t m_nBookmark; // -1 for a folder item
    uint64_t m_nEpoch;
    friend class CAutomationHub;
};

// The document's automation face at /Document.
class CKivDocObject : public QObject, protected QDBusContext
{
    Q_OBJECT

public:
    explicit CKivDocObject(CAutomationHub& hub);

    // org.halvane.Kiv.Document, as org.halvane.Kiv.Document.xml describes it; the bus
    // reaches these through the adaptor generated from that file.
    short Open(const QString& path);
    QDBusObjectPath GetItems();

private:
    CAutomationHub& m_hub;
};

// Keeps every object handed out for one document: numbers and exports them, tracks
// which client owns which, revalidates them after edits, and drops a client's
// objects when it releases them or leaves the bus.
class CAutomationHub : public QObject
{
    Q_OBJECT

public:
    CAutomationHub(CKivDoc& doc, const QDBusConnection& bus, QObject* parent = nullptr);
    ~CAutomationHub() override;

    CKivDoc& Doc() { return m_doc; }
    QDBusConnection& Bus() { return m_bus; }
    CKivDocObject& DocObject() { return *m_pDocObject; }

    // /Document on the connection (idempotent); false when the bus refused it.
    bool ExportDocument();
    void UnexportDocument();

    // The content was replaced (new, open, close): every object except the root
    // collection turns stale.
    void ContentReplaced();
    // An edit may have removed folders: revalidate every live object now, before a
    // later edit can reuse a freed folder's address.
    void TreeEdited();
    uint64_t Epoch() const { return m_nEpoch; }

    // Creates and exports an object for the client (empty owner = an in-process
    // caller) and returns its path.
    QDBusObjectPath NewItems(const QString& owner, CFolderRef folder, bool holdsDocument);
    QDBusObjectPath NewItem(const QString& owner, CFolderRef folder, int64_t bookmark);
    CFolderRef RootRef();

    // The client asked to release the object; only its owner may.
    void Release(QObject* object, const QString& caller);
    // A client got the document through the class factory: it holds it until it
    // leaves the bus.
    void AddDocumentClient(const QString& client);

    // Live objects (for tests and the idle rule).
    int CollectionCount() const;
    int ObjectCount() const { return static_cast<int>(m_objects.size()); }
    QObject* ObjectAt(const QString& path) const;

Q_SIGNALS:
    // No collection and no client holding the document are left: an
    // automation-started program may end.
    void Idle();
    // A client's Open replaced the document: its content, path and title.
    void DocumentOpened();

private:
    struct Entry
    {
        std::unique_ptr<QObject> object;
        QString owner;
        QString path;
    };
    QDBusObjectPath Export(std::unique_ptr<QObject> object, const QString& owner,
                           const char* kind);
    void Drop(QObject* object);
    void ClientGone(const QString& client);
    void Watch(const QString& client);
    void CheckIdle();

    class CObserver;

    CKivDoc& m_doc;
    QDBusConnection m_bus;
    std::unique_ptr<CObserver> m_pObserver;
    std::unique_ptr<CKivDocObject> m_pDocObject;
    QDBusServiceWatcher* m_pWatcher;
    std::map<QObject*, Entry> m_objects;
    std::set<QString> m_docClients;
    uint64_t m_nEpoch = 1;
    uint64_t m_nNextId = 1;
    bool m_bDocumentExported = false;
    bool m_bHadClient = false;
};
