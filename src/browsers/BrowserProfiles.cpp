#include "BrowserProfiles.h"

#include "ChromiumBookmarks.h"
#include "FirefoxPlaces.h"
#include "ImportFile.h"
#include "formats/ImportMerge.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

// Where each browser keeps its profiles, relative to the home folder ("~/") or to
// the XDG configuration folder.
struct Location
{
    const char* browser;
    const char* path;
    bool inConfig;
};

constexpr Location kFirefoxLocations[] = {
    {"Firefox", "mozilla/firefox", true},
    {"Firefox", ".mozilla/firefox", false},
    {"Firefox (Snap)", "snap/firefox/common/.mozilla/firefox", false},
    {"Firefox (Flatpak)", ".var/app/org.mozilla.firefox/.mozilla/firefox", false},
    {"LibreWolf", ".librewolf", false},
    {"LibreWolf (Flatpak)", ".var/app/io.gitlab.librewolf-community/.librewolf", false},
    {"Waterfox", ".waterfox", false},
    {"Floorp", ".floorp", false},
};

constexpr Location kChromiumLocations[] = {
    {"Chromium", "chromium", true},
    {"Chromium (Snap)", "snap/chromium/common/chromium", false},
    {"Chromium (Flatpak)", ".var/app/org.chromium.Chromium/config/chromium", false},
    {"Google Chrome", "google-chrome", true},
    {"Google Chrome Beta", "google-chrome-beta", true},
    {"Google Chrome Dev", "google-chrome-unstable", true},
    {"Google Chrome (Flatpak)", ".var/app/com.google.Chrome/config/google-chrome", false},
    {"Brave", "BraveSoftware/Brave-Browser", true},
    {"Brave (Snap)", "snap/brave/current/.config/BraveSoftware/Brave-Browser", false},
    {"Brave (Flatpak)", ".var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser", false},
    {"Vivaldi", "vivaldi", true},
    {"Vivaldi (Flatpak)", ".var/app/com.vivaldi.Vivaldi/config/vivaldi", false},
    {"Microsoft Edge", "microsoft-edge", true},
    {"Microsoft Edge Beta", "microsoft-edge-beta", true},
    {"Microsoft Edge Dev", "microsoft-edge-dev", true},
    {"Microsoft Edge (Flatpak)", ".var/app/com.microsoft.Edge/config/microsoft-edge", false},
};

QString BaseDir(const Location& at, const CProfileRoots& roots)
{
    return QDir(at.inConfig ? roots.configHome : roots.home).filePath(QString::fromUtf8(at.path));
}

// profiles.ini: [ProfileN] sections with Name, Path, IsRelative and Default, and
// [Install...] sections whose Default names the profile that install starts with.
struct IniProfile
{
    QString name, path;
    bool relative = true;
    bool flaggedDefault = false;
};

void ReadProfilesIni(const QString& iniPath, std::vector<IniProfile>& profiles,
                     QStringList& installDefaults)
{
    QFile file(iniPath);
    if (!file.open(QIODevice::ReadOnly) || file.size() > (qint64(1) << 20))
        return;
    enum { other, profile, install } section = other;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            section = line.startsWith(QLatin1String("[Profile"), Qt::CaseInsensitive)   ? profile
                      : line.startsWith(QLatin1String("[Install"), Qt::CaseInsensitive) ? install
                                                                                        : other;
            if (section == profile)
                profiles.emplace_back();
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || section == other)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (section == install) {
            if (key == QLatin1String("Default"))
                installDefaults << value;
            continue;
        }
        IniProfile& p = profiles.back();
        if (key == QLatin1String("Name"))
            p.name = value;
        else if (key == QLatin1String("Path"))
            p.path = value;
        else if (key == QLatin1String("IsRelative"))
            p.relative = value != QLatin1String("0");
        else if (key == QLatin1String("Default"))
            p.flaggedDefault = value == QLatin1String("1");
    }
}

void AddFirefox(const Location& at, const CProfileRoots& roots, std::vector<CBrowserProfile>& out)
{
    const QDir base(BaseDir(at, roots));
    std::vector<IniProfile> found;
    QStringList installDefaults;
    ReadProfilesIni(base.filePath(QStringLiteral("profiles.ini")), found, installDefaults);
    std::vector<CBrowserProfile> mine;
    for (const IniProfile& p : found) {
        if (p.path.isEmpty())
            continue;
        CBrowserProfile profile;
        profile.family = CBrowserProfile::firefox;
        profile.browser = QString::fromUtf8(at.browser);
        profile.dir = QDir::cleanPath(p.relative ? base.filePath(p.path) : p.path);
        profile.file = QDir(profile.dir).filePath(QStringLiteral("places.sqlite"));
        profile.name = p.name.isEmpty() ? QFileInfo(profile.dir).fileName() : p.name;
        profile.isDefault
            = installDefaults.isEmpty() ? p.flaggedDefault : installDefaults.contains(p.path);
        if (QFileInfo(profile.file).isFile())
            mine.push_back(std::move(profile));
    }
    std::stable_partition(mine.begin(), mine.end(),
                          [](const CBrowserProfile& p) { return p.isDefault; });
    out.insert(out.end(), mine.begin(), mine.end());
}

// "Local State" names the profiles and says which one was used last.
QJsonObject ReadLocalState(const QDir& base)
{
    QByteArray bytes;
    if (!ReadImportFile(base.filePath(QStringLiteral("Local State")), &bytes).Ok())
        return {};
    return QJsonDocument::fromJson(bytes).object().value(QLatin1String("profile")).toObject();
}

void AddChromium(const Location& at, const CProfileRoots& roots, std::vector<CBrowserProfile>& out)
{
    const QDir base(BaseDir(at, roots));
    if (!base.exists())
        return;
    const QJsonObject state = ReadLocalState(base);
    const QJsonObject names = state.value(QLatin1String("info_cache")).toObject();
    QString lastUsed = state.value(QLatin1String("last_used")).toString();
    if (lastUsed.isEmpty())
        lastUsed = QStringLiteral("Default");
    std::vector<CBrowserProfile> mine;
    QStringList dirs = base.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    dirs.prepend(QString()); // a browser that keeps Bookmarks beside Local State
    for (const QString& dir : dirs) {
        if (dir == QLatin1String("System Profile") || dir == QLatin1String("Guest Profile"))
            continue;
        CBrowserProfile profile;
        profile.family = CBrowserProfile::chromium;
        profile.browser = QString::fromUtf8(at.browser);
        profile.dir = QDir::cleanPath(base.filePath(dir));
        profile.file = QDir(profile.dir).filePath(QStringLiteral("Bookmarks"));
        if (!QFileInfo(profile.file).isFile())
            continue;
        const QString shown = names.value(dir).toObject().value(QLatin1String("name")).toString();
        profile.name = !shown.isEmpty() ? shown : dir.isEmpty() ? profile.browser : dir;
        profile.isDefault = dir == lastUsed || dir.isEmpty();
        mine.push_back(std::move(profile));
    }
    std::stable_partition(mine.begin(), mine.end(),
                          [](const CBrowserProfile& p) { return p.isDefault; });
    out.insert(out.end(), mine.begin(), mine.end());
}

} // namespace

CProfileRoots CProfileRoots::FromEnvironment()
{
    CProfileRoots roots;
    roots.home = QDir::homePath();
    roots.configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (roots.configHome.isEmpty() || QDir::isRelativePath(roots.configHome))
        roots.configHome = QDir(roots.home).filePath(QStringLiteral(".config"));
    return roots;
}

std::vector<CBrowserProfile> FindBrowserProfiles(CBrowserProfile::Family family,
                                                 const CProfileRoots& roots)
{
    std::vector<CBrowserProfile> out;
    if (family == CBrowserProfile::firefox)
        for (const Location& at : kFirefoxLocations)
            AddFirefox(at, roots, out);
    else
        for (const Location& at : kChromiumLocations)
            AddChromium(at, roots, out);
    // A location reached twice (a link, or XDG_CONFIG_HOME pointing at ~/.mozilla's
    // parent) lists its profiles once.
    std::vector<CBrowserProfile> unique;
    QStringList seen;
    for (CBrowserProfile& p : out) {
        const QString key = QFileInfo(p.file).canonicalFilePath();
        if (seen.contains(key))
            continue;
        seen << key;
        unique.push_back(std::move(p));
    }
    return unique;
}

std::vector<CBrowserProfile> FindBrowserProfiles(const CProfileRoots& roots)
{
    std::vector<CBrowserProfile> all = FindBrowserProfiles(CBrowserProfile::firefox, roots);
    std::vector<CBrowserProfile> chromium = FindBrowserProfiles(CBrowserProfile::chromium, roots);
    all.insert(all.end(), chromium.begin(), chromium.end());
    return all;
}

long long CountProfileBookmarks(const CBrowserProfile& profile)
{
    CImportTree tree;
    const FormatResult result = profile.family == CBrowserProfile::firefox
                                    ? ReadFirefoxPlaces(profile.file, tree)
                                    : ReadChromiumBookmarks(profile.file, tree);
    return result.Ok() ? static_cast<long long>(tree.BookmarkCount()) : -1;
}
