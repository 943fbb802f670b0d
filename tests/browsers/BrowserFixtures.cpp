#include "BrowserFixtures.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>
#include <map>
#include <random>

namespace BrowserFixtures {

Node Bookmark(std::string name, std::string url, std::string comment)
{
    return {Node::bookmark, std::move(name), std::move(url), std::move(comment), {}};
}

Node Folder(std::string name, std::vector<Node> children)
{
    return {Node::folder, std::move(name), {}, {}, std::move(children)};
}

Node Separator()
{
    return {Node::separator, {}, {}, {}, {}};
}

namespace {

// Firefox's schema, as its places database declares it.
const char* const kCurrentTables[] = {
    "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR,"
    " rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL,"
    " typed INTEGER DEFAULT 0 NOT NULL, frecency INTEGER DEFAULT -1 NOT NULL,"
    " last_visit_date INTEGER, guid TEXT, foreign_count INTEGER DEFAULT 0 NOT NULL,"
    " url_hash INTEGER DEFAULT 0 NOT NULL, description TEXT, preview_image_url TEXT,"
    " site_name TEXT, origin_id INTEGER, recalc_frecency INTEGER NOT NULL DEFAULT 0,"
    " alt_frecency INTEGER, recalc_alt_frecency INTEGER NOT NULL DEFAULT 0)",
    "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL,"
    " parent INTEGER, position INTEGER, title LONGVARCHAR, keyword_id INTEGER, folder_type TEXT,"
    " dateAdded INTEGER, lastModified INTEGER, guid TEXT, syncStatus INTEGER NOT NULL DEFAULT 0,"
    " syncChangeCounter INTEGER NOT NULL DEFAULT 1)",
    "CREATE INDEX moz_bookmarks_itemindex ON moz_bookmarks (fk, type)",
    "CREATE INDEX moz_bookmarks_parentindex ON moz_bookmarks (parent, position)",
    "CREATE UNIQUE INDEX moz_bookmarks_guid_uniqueindex ON moz_bookmarks (guid)",
    "CREATE TABLE moz_anno_attributes (id INTEGER PRIMARY KEY, name VARCHAR(32) UNIQUE NOT NULL)",
    "CREATE TABLE moz_items_annos (id INTEGER PRIMARY KEY, item_id INTEGER NOT NULL,"
    " anno_attribute_id INTEGER, content LONGVARCHAR, flags INTEGER DEFAULT 0,"
    " expiration INTEGER DEFAULT 0, type INTEGER DEFAULT 0, dateAdded INTEGER DEFAULT 0,"
    " lastModified INTEGER DEFAULT 0)",
    "CREATE UNIQUE INDEX moz_items_annos_itemattributeindex ON moz_items_annos"
    " (item_id, anno_attribute_id)",
};

const char* const kLegacyTables[] = {
    "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR,"
    " rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL,"
    " typed INTEGER DEFAULT 0 NOT NULL, favicon_id INTEGER, frecency INTEGER DEFAULT -1 NOT NULL,"
    " last_visit_date INTEGER, guid TEXT)",
    "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL,"
    " parent INTEGER, position INTEGER, title LONGVARCHAR, keyword_id INTEGER, folder_type TEXT,"
    " dateAdded INTEGER, lastModified INTEGER, guid TEXT)",
    "CREATE TABLE moz_bookmarks_roots (root_name VARCHAR(16) UNIQUE, folder_id INTEGER)",
    "CREATE TABLE moz_anno_attributes (id INTEGER PRIMARY KEY, name VARCHAR(32) UNIQUE NOT NULL)",
    "CREATE TABLE moz_items_annos (id INTEGER PRIMARY KEY, item_id INTEGER NOT NULL,"
    " anno_attribute_id INTEGER, mime_type VARCHAR(32) DEFAULT NULL, content LONGVARCHAR,"
    " flags INTEGER DEFAULT 0, expiration INTEGER DEFAULT 0, type INTEGER DEFAULT 0,"
    " dateAdded INTEGER DEFAULT 0, lastModified INTEGER DEFAULT 0)",
};

class CWriter
{
public:
    CWriter(QSqlDatabase& db, PlacesSchema schema)
        : m_db(db)
        , m_schema(schema)
    {}

    bool Ok() const { return m_ok; }

    qint64 AddRow(int type, qint64 parent, int position, const std::string& title,
                  const std::string& guid, qint64 fk = 0)
    {
        QSqlQuery q(m_db);
        q.prepare(
            QStringLiteral("INSERT INTO moz_bookmarks (type, fk, parent, position, title, guid)"
                           " VALUES (?, ?, ?, ?, ?, ?)"));
        q.addBindValue(type);
        q.addBindValue(fk ? QVariant(fk) : QVariant());
        q.addBindValue(parent);
        q.addBindValue(position);
        q.addBindValue(title.empty() ? QVariant() : QVariant(QString::fromStdString(title)));
        q.addBindValue(QString::fromStdString(guid));
        m_ok = q.exec() && m_ok;
        return q.lastInsertId().toLongLong();
    }

    qint64 Place(const Node& b)
    {
        const auto at = m_places.find(b.url);
        if (at != m_places.end())
            return at->second;
        QSqlQuery q(m_db);
        const bool current = m_schema == PlacesSchema::current;
        q.prepare(current ? QStringLiteral(
                      "INSERT INTO moz_places (url, title, description) VALUES (?, ?, ?)")
                          : QStringLiteral("INSERT INTO moz_places (url, title) VALUES (?, ?)"));
        q.addBindValue(QString::fromStdString(b.url));
        q.addBindValue(QStringLiteral("page title"));
        if (current)
            q.addBindValue(b.comment.empty() ? QVariant()
                                             : QVariant(QString::fromStdString(b.comment)));
        m_ok = q.exec() && m_ok;
        return m_places[b.url] = q.lastInsertId().toLongLong();
    }

    void Children(const Node& folder, qint64 parent)
    {
        int position = 0;
        for (const Node& n : folder.children) {
            const std::string guid = "g" + std::to_string(++m_nGuid);
            if (n.kind == Node::folder) {
                Children(n, AddRow(2, parent, position++, n.name, guid));
            } else if (n.kind == Node::separator) {
                AddRow(3, parent, position++, {}, guid);
            } else {
                const qint64 id = AddRow(1, parent, position++, n.name, guid, Place(n));
                if (m_schema == PlacesSchema::legacy && !n.comment.empty())
                    Annotate(id, n.comment);
            }
        }
    }

private:
    void Annotate(qint64 item, const std::string& text)
    {
        QSqlQuery q(m_db);
        m_ok = q.exec(QStringLiteral("INSERT OR IGNORE INTO moz_anno_attributes (id, name)"
                                     " VALUES (1, 'bookmarkProperties/description')"))
               && m_ok;
        q.prepare(QStringLiteral("INSERT INTO moz_items_annos (item_id, anno_attribute_id, content)"
                                 " VALUES (?, 1, ?)"));
        q.addBindValue(item);
        q.addBindValue(QString::fromStdString(text));
        m_ok = q.exec() && m_ok;
    }

    QSqlDatabase& m_db;
    PlacesSchema m_schema;
    bool m_ok = true;
    int m_nGuid = 0;
    std::map<std::string, qint64> m_places;
};

} // namespace

bool WritePlaces(const QString& path, const PlacesRoots& roots, PlacesSchema schema)
{
    static std::atomic<int> count{0};
    const QString name = QStringLiteral("fixture-%1").arg(++count);
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ok = db.open() && db.transaction();
        QSqlQuery q(db);
        if (schema == PlacesSchema::current)
            for (const char* sql : kCurrentTables)
                ok = ok && q.exec(QString::fromLatin1(sql));
        else
            for (const char* sql : kLegacyTables)
                ok = ok && q.exec(QString::fromLatin1(sql));
        CWriter w(db, schema);
        const bool legacy = schema == PlacesSchema::legacy;
        const qint64 top = w.AddRow(2, 0, 0, {}, legacy ? "r0" : "root________");
        const struct
        {
            const Node* node;
            const char* title;
            const char* guid;
            const char* rootName;
        } kRoots[] = {{&roots.menu, "menu", "menu________", "menu"},
                      {&roots.toolbar, "toolbar", "toolbar_____", "toolbar"},
                      {&roots.tags, "tags", "tags________", "tags"},
                      {&roots.unfiled, "unfiled", "unfiled_____", "unfiled"},
                      {&roots.mobile, "mobile", "mobile______", "mobile"}};
        int position = 0;
        for (const auto& root : kRoots) {
            const qint64 id = w.AddRow(2, top, position++, root.title,
                                       legacy ? std::string("r") + root.rootName : root.guid);
            if (legacy) {
                q.prepare(QStringLiteral("INSERT INTO moz_bookmarks_roots VALUES (?, ?)"));
                q.addBindValue(QString::fromLatin1(root.rootName));
                q.addBindValue(id);
                ok = ok && q.exec();
            }
            w.Children(*root.node, id);
        }
        ok = ok && w.Ok() && db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

namespace {

QJsonObject ChromiumNode(const Node& n, int& id)
{
    QJsonObject o;
    o[QStringLiteral("id")] = QString::number(++id);
    o[QStringLiteral("guid")]
        = QStringLiteral("00000000-0000-4000-a000-%1").arg(id, 12, 10, QLatin1Char('0'));
    o[QStringLiteral("date_added")] = QStringLiteral("13300000000000000");
    o[QStringLiteral("name")] = QString::fromStdString(n.name);
    if (n.kind == Node::folder) {
        QJsonArray children;
        for (const Node& c : n.children)
            if (c.kind != Node::separator)
                children.append(ChromiumNode(c, id));
        o[QStringLiteral("children")] = children;
        o[QStringLiteral("date_modified")] = QStringLiteral("13300000000000000");
        o[QStringLiteral("type")] = QStringLiteral("folder");
    } else {
        o[QStringLiteral("type")] = QStringLiteral("url");
        o[QStringLiteral("url")] = QString::fromStdString(n.url);
        o[QStringLiteral("meta_info")] = QJsonObject{
            {QStringLiteral("last_visited_desktop"), QStringLiteral("13300000000000000")}};
    }
    return o;
}

} // namespace

QByteArray ChromiumJson(const Node& bar, const Node& other, const Node& synced)
{
    int id = 0;
    QJsonObject roots;
    roots[QStringLiteral("bookmark_bar")] = ChromiumNode(Folder("Bookmarks bar", bar.children), id);
    roots[QStringLiteral("other")] = ChromiumNode(Folder("Other bookmarks", other.children), id);
    roots[QStringLiteral("synced")] = ChromiumNode(Folder("Mobile bookmarks", synced.children), id);
    QJsonObject top;
    top[QStringLiteral("checksum")] = QStringLiteral("0123456789abcdef0123456789abcdef");
    top[QStringLiteral("roots")] = roots;
    top[QStringLiteral("version")] = 1;
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}

Node Generated(int bookmarks, int perFolder)
{
    std::mt19937 random(20261209);
    const auto word = [&random] {
        static const char* const kWords[] = {"alpha", "Beta", "gamma", "Delta", "news",  "Wiki",
                                             "docs",  "Blog", "shop",  "Forum", "video", "Maps"};
        return std::string(kWords[random() % 12]) + ' ' + std::to_string(random() % 100000);
    };
    Node top = Folder("top", {});
    int made = 0;
    for (int group = 0; made < bookmarks; ++group) {
        Node outer = Folder(word(), {});
        for (int inner = 0; inner < 10 && made < bookmarks; ++inner) {
            Node folder = Folder(word(), {});
            for (int k = 0; k < perFolder && made < bookmarks; ++k, ++made)
                folder.children.push_back(
                    Bookmark(word(), "https://site" + std::to_string(made) + ".example/page"));
            outer.children.push_back(std::move(folder));
        }
        top.children.push_back(std::move(outer));
    }
    return top;
}

} // namespace BrowserFixtures
