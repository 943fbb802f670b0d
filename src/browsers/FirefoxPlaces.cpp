#include "FirefoxPlaces.h"

#include "ImportFile.h"
#include "formats/ImportMerge.h"
#include "res/Strings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QTemporaryDir>

#include <atomic>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

constexpr int kTypeBookmark = 1;
constexpr int kTypeFolder = 2;

struct Row
{
    qint64 id;
    int type;
    std::string title;
    std::string url;
    std::string desc;
};

// The children of each folder, in the browser's order.
struct Places
{
    std::vector<Row> rows; // sorted by parent, then position
    std::unordered_map<qint64, std::pair<size_t, size_t>> children; // parent -> [begin, end)
};

struct Root
{
    const char* guid;
    const char* legacyName; // moz_bookmarks_roots of older databases
    unsigned nameId;
};
constexpr Root kRoots[] = {{"menu________", "menu", IDS_FIREFOX_MENU},
                           {"toolbar_____", "toolbar", IDS_FIREFOX_TOOLBAR},
                           {"unfiled_____", "unfiled", IDS_FIREFOX_OTHER},
                           {"mobile______", "mobile", IDS_FIREFOX_MOBILE}};

bool IsBookmark(const Row& row)
{
    return row.type == kTypeBookmark && !row.url.empty() && !row.url.starts_with("place:");
}

// Each database gets a connection name of its own, dropped when it goes.
class CConnection
{
public:
    explicit CConnection(const QString& file)
        : m_name(QStringLiteral("kiv-places-%1").arg(++s_count))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(file);
        db.open();
    }
    ~CConnection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    CConnection(const CConnection&) = delete;
    CConnection& operator=(const CConnection&) = delete;

    QSqlDatabase Db() const { return QSqlDatabase::database(m_name, false); }

private:
    static inline std::atomic<int> s_count{0};
    QString m_name;
};

enum class Read { ok, bad, tooLarge };

Read ReadRows(const QSqlDatabase& db, Places& places,
              std::vector<std::pair<unsigned, qint64>>& roots)
{
    const QStringList tables = db.tables();
    if (!tables.contains(QLatin1String("moz_bookmarks"))
        || !tables.contains(QLatin1String("moz_places")))
        return Read::bad;

    QSqlQuery query(db);
    query.setForwardOnly(true);
    for (const Root& root : kRoots) {
        query.prepare(QStringLiteral("SELECT id FROM moz_bookmarks WHERE guid = ?"));
        query.addBindValue(QLatin1String(root.guid));
        if (!query.exec())
            return Read::bad;
        if (query.next()) {
            roots.emplace_back(root.nameId, query.value(0).toLongLong());
            continue;
        }
        if (!tables.contains(QLatin1String("moz_bookmarks_roots")))
            continue;
        query.prepare(
            QStringLiteral("SELECT folder_id FROM moz_bookmarks_roots WHERE root_name = ?"));
        query.addBindValue(QLatin1String(root.legacyName));
        if (!query.exec())
            return Read::bad;
        if (query.next())
            roots.emplace_back(root.nameId, query.value(0).toLongLong());
    }

    // Descriptions: the annotation where the database still has annotations, else the
    // page description of newer databases.
    QStringList desc;
    if (tables.contains(QLatin1String("moz_items_annos"))
        && tables.contains(QLatin1String("moz_anno_attributes")))
        desc << QStringLiteral("(SELECT a.content FROM moz_items_annos a JOIN moz_anno_attributes n"
                               " ON n.id = a.anno_attribute_id WHERE a.item_id = b.id"
                               " AND n.name = 'bookmarkProperties/description' LIMIT 1)");
    if (db.record(QStringLiteral("moz_places")).contains(QStringLiteral("description")))
        desc << QStringLiteral("NULLIF(p.description, '')");
    const QString descColumn
        = desc.isEmpty()     ? QStringLiteral("NULL")
          : desc.size() == 1 ? desc.first()
                             : QStringLiteral("COALESCE(NULLIF(%1, ''), %2)").arg(desc[0], desc[1]);
    if (!query.exec(QStringLiteral("SELECT b.id, b.type, b.parent, b.title, p.url, %1"
                                   " FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk"
                                   " ORDER BY b.parent, b.position, b.id")
                        .arg(descColumn)))
        return Read::bad;
    qint64 parent = 0;
    while (query.next()) {
        if (places.rows.size() >= kMaxImportEntries)
            return Read::tooLarge;
        const qint64 rowParent = query.value(2).toLongLong();
        if (places.rows.empty() || rowParent != parent) {
            parent = rowParent;
            places.children[parent] = {places.rows.size(), places.rows.size()};
        }
        places.rows.push_back({query.value(0).toLongLong(), query.value(1).toInt(),
                               query.value(3).toString().toStdString(),
                               query.value(4).toString().toStdString(),
                               query.value(5).toString().toStdString()});
        places.children[parent].second = places.rows.size();
    }
    // A damaged page shows up as an error partway through.
    return query.lastError().isValid() ? Read::bad : Read::ok;
}

bool HasContent(const Places& places, qint64 folder)
{
    const auto at = places.children.find(folder);
    if (at == places.children.end())
        return false;
    for (size_t k = at->second.first; k < at->second.second; ++k)
        if (places.rows[k].type == kTypeFolder || IsBookmark(places.rows[k]))
            return true;
    return false;
}

// Depth first without recursion; a folder met twice (a damaged parent chain) is read once.
void Emit(const Places& places, qint64 root, CImportTree& tree, std::unordered_set<qint64>& seen)
{
    struct Level
    {
        size_t next, end;
    };
    std::vector<Level> stack;
    const auto push = [&](qint64 folder) {
        const auto at = places.children.find(folder);
        stack.push_back(at == places.children.end() ? Level{0, 0}
                                                    : Level{at->second.first, at->second.second});
    };
    seen.insert(root);
    push(root);
    while (!stack.empty()) {
        Level& top = stack.back();
        if (top.next == top.end) {
            stack.pop_back();
            if (!stack.empty())
                tree.CloseFolder();
            continue;
        }
        const Row& row = places.rows[top.next++];
        if (IsBookmark(row)) {
            // The browser shows the address of a bookmark that has no title.
            tree.AddBookmark(row.url, row.title.empty() ? row.url : row.title, row.desc);
        } else if (row.type == kTypeFolder && seen.insert(row.id).second) {
            tree.OpenFolder(row.title);
            push(row.id);
        }
    }
}

} // namespace

QString FirefoxPlacesFile(const QString& profileOrFile)
{
    return QFileInfo(profileOrFile).isDir()
               ? QDir(profileOrFile).filePath(QStringLiteral("places.sqlite"))
               : profileOrFile;
}

FormatResult ReadFirefoxPlaces(const QString& placesFile, CImportTree& tree)
{
    tree.Clear();
    FormatResult result;
    QFile original(placesFile);
    if (QFileInfo(placesFile).isDir() || !original.open(QIODevice::ReadOnly)) {
        result.status = FormatResult::notOpened;
        return result;
    }
    original.close();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return Refused(IDS_NO_SQLITE);

    QTemporaryDir scratch;
    const QString copy = scratch.filePath(QStringLiteral("places.sqlite"));
    const QString wal = placesFile + QStringLiteral("-wal");
    if (!scratch.isValid() || !QFile::copy(placesFile, copy)
        || (QFileInfo::exists(wal) && !QFile::copy(wal, copy + QStringLiteral("-wal")))) {
        result.status = FormatResult::fileError;
        result.error.cause = CFileError::genericRead;
        result.error.path = placesFile;
        return result;
    }

    Places places;
    std::vector<std::pair<unsigned, qint64>> roots;
    Read read;
    {
        CConnection connection(copy);
        const QSqlDatabase db = connection.Db();
        read = db.isOpen() ? ReadRows(db, places, roots) : Read::bad;
    }
    if (read != Read::ok)
        return Refused(read == Read::tooLarge ? IDS_IMPORT_TOO_LARGE : IDS_BAD_FIREFOX);
    if (roots.empty())
        return Refused(IDS_BAD_FIREFOX);

    std::unordered_set<qint64> seen;
    for (const auto& [nameId, id] : roots) {
        if (!HasContent(places, id) || seen.contains(id))
            continue;
        tree.OpenFolder(KivStrings::Load(nameId).toStdString());
        Emit(places, id, tree, seen);
        tree.CloseFolder();
    }
    return result;
}

FormatResult ImportFirefox(CKivDoc& doc, const QString& profileOrFile)
{
    return ReadAndMerge(doc, FirefoxPlacesFile(profileOrFile), ReadFirefoxPlaces);
}
