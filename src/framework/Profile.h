#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

// The per-user settings store: sections and values under halvane/Kiv.
class CProfile
{
public:
    CProfile();
    ~CProfile();

    int GetProfileInt(const QString& section, const QString& entry, int defaultValue) const;
    QString GetProfileString(const QString& section, const QString& entry,
                             const QString& defaultValue = QString()) const;
    void WriteProfileInt(const QString& section, const QString& entry, int value);
    void WriteProfileString(const QString& section, const QString& entry, const QString& value);
    bool HasEntry(const QString& section, const QString& entry) const;
    void Sync();

private:
    std::unique_ptr<QSettings> m_settings;
};

// The recent-file list: most recent first, at most m_nSize entries, saved as
// "Recent File List" / "File1".."FileN".
class CRecentFileList
{
public:
    explicit CRecentFileList(int size = 4) : m_nSize(size) {}

    void Add(const QString& path);
    void Remove(int index);
    const QStringList& Entries() const { return m_entries; }
    int GetSize() const { return m_nSize; }

    void ReadList(const CProfile& profile);
    void WriteList(CProfile& profile) const;

private:
    int m_nSize;
    QStringList m_entries;
};
