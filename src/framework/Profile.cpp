#include "Profile.h"

#include <QFileInfo>
#include <QSettings>

namespace {
QString Key(const QString& section, const QString& entry) { return section + QLatin1Char('/') + entry; }
const QString kRecentSection = QStringLiteral("Recent File List");
}  // namespace

CProfile::CProfile()
    : m_settings(std::make_unique<QSettings>(QStringLiteral("halvane"), QStringLiteral("Kiv")))
{
}

CProfile::~CProfile() = default;

int CProfile::GetProfileInt(const QString& section, const QString& entry, int defaultValue) const
{
    const QVariant v = m_settings->value(Key(section, entry));
    if (!v.isValid())
        return defaultValue;
    bool ok = false;
    // Stored as text in the file: decimal, or an unsigned value that wraps like a
    // registry number.
    const qlonglong n = v.toString().trimmed().toLongLong(&ok);
    return ok ? static_cast<int>(n) : defaultValue;
}

QString CProfile::GetProfileString(const QString& section, const QString& entry,
                                   const QString& defaultValue) const
{
    const QVariant v = m_settings->value(Key(section, entry));
    return v.isValid() ? v.toString() : defaultValue;
}

void CProfile::WriteProfileInt(const QString& section, const QString& entry, int value)
{
    m_settings->setValue(Key(section, entry), value);
}

void CProfile::WriteProfileString(const QString& section, const QString& entry,
                                  const QString& value)
{
    m_settings->setValue(Key(section, entry), value);
}

bool CProfile::HasEntry(const QString& section, const QString& entry) const
{
    return m_settings->contains(Key(section, entry));
}

void CProfile::Sync() { m_settings->sync(); }

void CRecentFileList::Add(const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    m_entries.removeIf([&](const QString& e) { return e == full; });
    m_entries.prepend(full);
    while (m_entries.size() > m_nSize)
        m_entries.removeLast();
}

void CRecentFileList::Remove(int index)
{
    if (index >= 0 && index < m_entries.size())
        m_entries.removeAt(index);
}

void CRecentFileList::ReadList(const CProfile& profile)
{
    m_entries.clear();
    for (int k = 1; k <= m_nSize; ++k) {
        const QString e = profile.GetProfileString(kRecentSection, QStringLiteral("File%1").arg(k));
        if (!e.isEmpty())
            m_entries << e;
    }
}

void CRecentFileList::WriteList(CProfile& profile) const
{
    for (int k = 1; k <= m_nSize; ++k)
        profile.WriteProfileString(kRecentSection, QStringLiteral("File%1").arg(k),
                                   k <= m_entries.size() ? m_entries[k - 1] : QString());
}
