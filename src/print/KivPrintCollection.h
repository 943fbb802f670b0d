#pragma once

#include <QDBusConnection>
#include <QList>
#include <QString>

// One line of the printout: a folder heading or a bookmark, in tree order.
struct CPrintEntry
{
    bool m_bFolder = false;
    int m_nDepth = 0; // 0 for the top level
    QString m_strName;
    QString m_strUrl;
    QString m_strComment;
};

// Reads the running document's whole collection through the automation objects on
// the bus (never the file): each folder's bookmarks, then its subfolders with
// theirs. Every object asked for is released again.
class CCollectionReader
{
public:
    // service: the bus name of the copy to read (its unique name); empty for the
    // copy that owns the running document's name.
    explicit CCollectionReader(const QDBusConnection& bus, const QString& service = QString())
        : m_bus(bus), m_strService(service)
    {
    }

    // False with a reason when no running document answers.
    bool Read(QList<CPrintEntry>* entries, QString* error);

private:
    bool Walk(const QString& itemsPath, int depth, QList<CPrintEntry>* entries, QString* error);
    QVariant Call(const QString& path, const char* interface, const char* method,
                  const QVariantList& args, QString* error);
    void Release(const QString& path, const char* interface);

    QDBusConnection m_bus;
    QString m_strService;
};
