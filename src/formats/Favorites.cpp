#include "Favorites.h"

#include "framework/FileWriter.h"
#include "framework/TextRules.h"
#include "model/KivDoc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace {

// Folders nest at most this deep below the root, as in a saved document.
constexpr int kMaxFolderDepth = CKivDoc::kMaxDepth;
// A shortcut is a few lines, but its URL may be a long data: URL or bookmarklet, read
// whole. A file beyond this is no shortcut anyone wrote; it is skipped and reported.
constexpr qint64 kMaxShortcutBytes = 8 << 20;
// The longest file name the file systems we write to accept, in bytes.
constexpr size_t kMaxFileNameBytes = 255;

struct DirEntry
{
    enum Kind { file, directory, linkToDirectory };
    QString name;
    std::string name8;
    Kind kind;
    bool link = false;
};

// The entries of a folder, "." and ".." left out, sorted by name without regard to
// case. A symbolic link to a folder is told apart so that no walk or removal ever
// follows it. False when the folder cannot be listed.
bool ListDirectory(const QString& path, std::vector<DirEntry>& out)
{
    out.clear();
    const QDir dir(path);
    if (path.isEmpty() || !dir.exists() || !dir.isReadable())
        return false;
    const QFileInfoList infos = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    out.reserve(size_t(infos.size()));
    for (const QFileInfo& fi : infos) {
        DirEntry::Kind kind = DirEntry::file;
        if (fi.isDir())
            kind = fi.isSymLink() ? DirEntry::linkToDirectory : DirEntry::directory;
        out.push_back({fi.fileName(), fi.fileName().toStdString(), kind, fi.isSymLink()});
    }
    std::sort(out.begin(), out.end(), [](const DirEntry& a, const DirEntry& b) {
        const int c = a.name.compare(b.name, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.name8 < b.name8;
    });
    return true;
}

bool EqualsNoCaseAscii(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = char(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = char(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

bool IsShortcutName(const std::string& name)
{
    return EqualsNoCaseAscii(CPathName(name).GetExtension(), "url");
}

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// The file names of a folder's bookmarks or subfolders, for lookups that ignore case
// the way names are compared everywhere else.
class CNameSet
{
public:
    void Add(std::string name) { m_names.push_back(std::move(name)); }
    void Seal()
    {
        std::sort(m_names.begin(), m_names.end(), [](const std::string& a, const std::string& b) {
            return KivText::CompareNoCase(a, b) < 0;
        });
    }
    bool Contains(std::string_view name) const
    {
        const auto it = std::lower_bound(m_names.begin(), m_names.end(), name,
                                         [](const std::string& a, std::string_view b) {
                                             return KivText::CompareNoCase(a, b) < 0;
                                         });
        return it != m_names.end() && KivText::CompareNoCase(*it, name) == 0;
    }

private:
    std::vector<std::string> m_names;
};

// A shortcut that is a symbolic link is read only when it leads to a file inside the
// chosen folder: a walk never reads what lies outside it.
bool LeadsInside(const QString& path, const QString& root)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty() || root.isEmpty())
        return false;
    return target.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
}

struct WalkState
{
    QString root;       // the chosen folder, resolved
    CFileError skipped; // the first shortcut skipped for its size
};

bool WalkDirectory(CKivDoc& doc, const CPathName& directory, const std::string& relPath,
                   bool checkMode, int level, WalkState& state)
{
    std::vector<DirEntry> entries;
    if (!ListDirectory(directory.ToQString(), entries))
        return false;
    CFolderNode* target = nullptr; // found or created at the first shortcut read
    for (const DirEntry& e : entries) {
        if (e.kind == DirEntry::file) {
            if (!IsShortcutName(e.name8))
                continue;
            // A plain join: an entry called "..x.url" is a file in this folder.
            const CPathName full = CPathName::Join(directory, e.name8);
            std::string name, url;
            if (e.link && !LeadsInside(full.ToQString(), state.root))
                continue;
            CFileError error;
            if (!ReadUrlShortcut(full.ToQString(), name, url, &error)) {
                if (error.cause == CFileError::tooLarge && !state.skipped)
                    state.skipped = error;
                continue;
            }
            if (!target)
                target = checkMode ? &doc.m_check : doc.WalkPath(relPath);
            doc.AddBookmark(url.c_str(), name.c_str(), "", target, checkMode);
            if (doc.m_bDeleteShortcuts)
                QFile::remove(full.ToQString());
        } else if (e.kind == DirEntry::directory) {
            if (e.name8.empty() || e.name8[0] == '.' || !doc.m_bWalkSubfolders
                || level >= kMaxFolderDepth)
                continue;
            WalkDirectory(doc, CPathName::Join(directory, e.name8),
                          relPath.empty() ? e.name8 : relPath + "/" + e.name8, checkMode,
                          level + 1, state);
        }
    }
    return true;
}

// Creates the shortcut; never replaces anything that stands at the path, a dangling
// symbolic link included. A shortcut that could not be written whole is not left
// behind; the first such failure (a full disk, say) is kept in `failed`.
void WriteShortcut(const CPathName& path, const std::string& url, CFileError* failed)
{
    CFileWriter file(path.ToQString(), CFileWriter::createNew);
    if (!file.Open()) {
        // Something stands at the path already, or it cannot be made: skipped, and
        // only a full disk is worth a word.
        if (file.Error().cause == CFileError::diskFull && failed && !*failed)
            *failed = file.Error();
        return;
    }
    if (file.Write("[InternetShortcut]\r\nURL=") && file.Write(url) && file.Write("\r\n")
        && file.Commit())
        return;
    if (failed && !*failed)
        *failed = file.Error();
}

// The names a folder's entries get on disk (`ext` appended), in the given order. A
// name too long for the file system is cut, never inside a character, and where the
// cut meets a name the folder already uses it is numbered "~2", "~3" ... Equal names
// stay equal, so the first of them keeps the file as before.
std::vector<std::string> FitFileNames(const std::vector<std::string>& names, std::string_view ext)
{
    const auto less = [](const std::string& a, const std::string& b) {
        return KivText::CompareNoCase(a, b) < 0;
    };
    const size_t room = kMaxFileNameBytes - ext.size();
    std::set<std::string, decltype(less)> taken(less);
    for (const std::string& n : names)
        if (n.size() <= room)
            taken.insert(n);
    std::map<std::string, std::string, decltype(less)> cut(less);
    std::vector<std::string> out;
    out.reserve(names.size());
    for (const std::string& n : names) {
        if (n.size() <= room) {
            out.push_back(n);
            continue;
        }
        auto it = cut.find(n);
        if (it == cut.end()) {
            std::string fit(KivText::TruncateUtf8(n, room));
            for (int k = 2; taken.count(fit); ++k) {
                const std::string number = "~" + std::to_string(k);
                fit = std::string(KivText::TruncateUtf8(n, room - number.size())) + number;
            }
            taken.insert(fit);
            it = cut.emplace(n, std::move(fit)).first;
        }
        out.push_back(it->second);
    }
    return out;
}

// Sibling folders whose file names are equal without regard to case share one
// directory, as they would on a file system that ignores case and as the import reads
// them back into one folder: they are written, and cleaned, together, so that one of
// them never removes what another wrote.
using FolderGroup = std::vector<const CFolderNode*>;

// The bookmarks of the folders into `directory`; with removeOld, the shortcuts there
// that match none of them go.
void ExportGroupShortcuts(const CKivDoc& doc, const CPathName& directory,
                          const FolderGroup& folders, bool removeOld, CFileError* failed)
{
    std::vector<std::string> wanted;
    std::vector<const CBookmark*> bookmarks;
    for (const CFolderNode* folder : folders)
        for (uint32_t i : folder->m_aBookmarks) {
            bookmarks.push_back(&doc.Bookmark(i));
            wanted.push_back(SanitizeFileName(bookmarks.back()->m_strName));
        }
    std::vector<std::string> fileNames = FitFileNames(wanted, ".url");
    CNameSet names;
    for (size_t k = 0; k < fileNames.size(); ++k) {
        WriteShortcut(CPathName::Join(directory, fileNames[k] + ".url"), bookmarks[k]->m_strUrl,
                      failed);
        if (removeOld)
            names.Add(std::move(fileNames[k]));
    }
    if (!removeOld)
        return;
    names.Seal();
    std::vector<DirEntry> entries;
    if (!ListDirectory(directory.ToQString(), entries))
        return;
    std::vector<QString> stale;
    for (const DirEntry& e : entries)
        if (e.kind == DirEntry::file && IsShortcutName(e.name8)
            && !names.Contains(CPathName(e.name8).GetTitle()))
            stale.push_back(CPathName::Join(directory, e.name8).ToQString());
    for (const QString& path : stale)
        QFile::remove(path); // a symbolic link goes, never what it points to
}

// A directory whose name begins with a dot is hidden, and the import passes over
// hidden directories as file managers do: such a folder is written with "_" for the
// dot so that it and its bookmarks come back.
std::string FolderFileName(std::string_view name)
{
    std::string out = SanitizeFileName(name);
    if (out.front() == '.')
        out.front() = '_';
    return out;
}

// Each subfolder of the folders as a subdirectory of `directory`, and below it its
// bookmarks and subfolders; with removeOld, the subdirectories that match none of them
// go. Nothing happens when the folders have no subfolders.
void ExportSubfolders(const CKivDoc& doc, const CPathName& directory, const FolderGroup& parents,
                      bool removeOld, CFileError* failed)
{
    std::vector<std::string> names;
    FolderGroup children;
    for (const CFolderNode* parent : parents)
        for (const CFolderNode* f = parent->m_pFirstChild; f; f = f->m_pNext) {
            children.push_back(f);
            names.push_back(FolderFileName(f->m_strName));
        }
    if (children.empty())
        return;
    names = FitFileNames(names, "");
    const auto less = [](const std::string& a, const std::string& b) {
        return KivText::CompareNoCase(a, b) < 0;
    };
    std::map<std::string, size_t, decltype(less)> groupOf(less);
    std::vector<std::pair<std::string, FolderGroup>> groups;
    for (size_t k = 0; k < children.size(); ++k) {
        const auto [it, added] = groupOf.emplace(names[k], groups.size());
        if (added)
            groups.push_back({names[k], {}});
        groups[it->second].second.push_back(children[k]);
    }
    CNameSet kept;
    for (const auto& [name, group] : groups) {
        if (removeOld)
            kept.Add(name);
        const CPathName sub = CPathName::Join(directory, name);
        const QString subPath = sub.ToQString();
        const QFileInfo info(subPath);
        bool existed = false;
        if (info.isSymLink())
            continue; // never write through a link: it may lead anywhere
        if (info.exists()) {
            if (!info.isDir())
                continue;
            existed = true;
        } else if (!QDir().mkdir(subPath)) {
            continue;
        }
        ExportGroupShortcuts(doc, sub, group, removeOld, failed);
        const bool hasChildren = std::any_of(group.begin(), group.end(),
                                             [](const CFolderNode* f) { return f->m_pFirstChild; });
        if (hasChildren) {
            ExportSubfolders(doc, sub, group, removeOld, failed);
        } else if (removeOld && existed) {
            std::vector<DirEntry> entries;
            if (ListDirectory(subPath, entries))
                for (const DirEntry& e : entries)
                    if (e.kind == DirEntry::directory)
                        RemoveShortcutTree(CPathName::Join(sub, e.name8));
        }
    }
    if (!removeOld)
        return;
    kept.Seal();
    std::vector<DirEntry> entries;
    if (!ListDirectory(directory.ToQString(), entries))
        return;
    std::vector<CPathName> stale;
    for (const DirEntry& e : entries)
        if (e.kind == DirEntry::directory && !kept.Contains(e.name8))
            stale.push_back(CPathName::Join(directory, e.name8));
    for (const CPathName& path : stale)
        RemoveShortcutTree(path);
}

} // namespace

QString FavoritesFolder()
{
    const QString path = QDir::homePath() + QStringLiteral("/Favorites");
    return QFileInfo(path).isDir() ? path : QString();
}

QString DesktopFolder()
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return !path.isEmpty() && QFileInfo(path).isDir() ? path : QString();
}

bool ParseUrlShortcut(std::string_view bytes, std::string& outUrl)
{
    const std::string text = KivText::LegacyToUtf8(std::string(bytes));
    std::string_view rest = text;
    bool inSection = false;
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view line = TrimBlanks(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.empty() && line.front() == '[') {
            const size_t close = line.find(']');
            inSection
                = close != std::string_view::npos
                  && EqualsNoCaseAscii(TrimBlanks(line.substr(1, close - 1)), "InternetShortcut");
            continue;
        }
        const size_t eq = line.find('=');
        if (!inSection || eq == std::string_view::npos
            || !EqualsNoCaseAscii(TrimBlanks(line.substr(0, eq)), "URL"))
            continue;
        std::string_view value = TrimBlanks(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
            && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        outUrl.assign(value);
        return !outUrl.empty();
    }
    return false;
}

bool ReadUrlShortcut(const QString& path, std::string& outName, std::string& outUrl,
                     CFileError* error)
{
    QFile file;
    if (OpenRegularFile(path, file) != CFileError::none)
        return false;
    if (file.size() > kMaxShortcutBytes) {
        if (error)
            *error = {CFileError::tooLarge, path, true};
        return false;
    }
    const QByteArray bytes = file.read(kMaxShortcutBytes + 1);
    if (bytes.size() > kMaxShortcutBytes) { // it grew while being read
        if (error)
            *error = {CFileError::tooLarge, path, true};
        return false;
    }
    if (!ParseUrlShortcut(std::string_view(bytes.constData(), size_t(bytes.size())), outUrl))
        return false;
    outName = CPathName(path).GetTitle();
    return true;
}

bool WalkShortcutFolder(CKivDoc& doc, const QString& directory, const std::string& relPath,
                        bool checkMode, CFileError* skipped)
{
    const auto level = static_cast<int>(std::count(relPath.begin(), relPath.end(), '/'))
                       + (relPath.empty() ? 0 : 1);
    WalkState state{QFileInfo(directory).canonicalFilePath(), {}};
    const bool listed = WalkDirectory(doc, CPathName(directory), relPath, checkMode, level, state);
    if (skipped)
        *skipped = state.skipped;
    return listed;
}

FormatResult WalkShortcutsFrom(CKivDoc& doc, const QString& folder, bool checkMode)
{
    FormatResult result;
    if (!WalkShortcutFolder(doc, folder, std::string(), checkMode, &result.error)) {
        result.status = FormatResult::notOpened;
        result.error = {QFileInfo::exists(folder) ? CFileError::accessDenied
                                                  : CFileError::fileNotFound,
                        folder, true};
    } else if (result.error) {
        result.status = FormatResult::fileError;
    }
    return result;
}

FormatResult ImportShortcuts(CKivDoc& doc, const QString& folder, bool subfolders, bool deleteFiles)
{
    doc.m_bDeleteShortcuts = deleteFiles;
    doc.m_bWalkSubfolders = subfolders;
    return WalkShortcutsFrom(doc, folder, false);
}

// --- export --------------------------------------------------------------------------

FormatResult ExportShortcuts(const CKivDoc& doc, const QString& directory, bool removeOld)
{
    FormatResult result;
    if (directory.isEmpty() || !QFileInfo(directory).isDir()) {
        result.status = FormatResult::notOpened;
        return result;
    }
    const CPathName dir(directory);
    ExportGroupShortcuts(doc, dir, {&doc.m_root}, removeOld, &result.error);
    ExportSubfolders(doc, dir, {&doc.m_root}, removeOld, &result.error);
    if (result.error)
        result.status = FormatResult::fileError;
    return result;
}

void RemoveShortcutTree(const CPathName& directory)
{
    const QString path = directory.ToQString();
    if (QFileInfo(path).isSymLink())
        return;
    std::vector<DirEntry> entries;
    if (!ListDirectory(path, entries))
        return;
    std::vector<QString> files, dirs;
    for (const DirEntry& e : entries) {
        const CPathName child = CPathName::Join(directory, e.name8);
        if (e.kind == DirEntry::file && IsShortcutName(e.name8)) {
            files.push_back(child.ToQString());
        } else if (e.kind == DirEntry::directory) {
            dirs.push_back(child.ToQString());
            RemoveShortcutTree(child);
        }
    }
    for (const QString& f : files)
        QFile::remove(f);
    QDir root;
    for (const QString& d : dirs)
        root.rmdir(d); // fails, as it should, while other files remain inside
    root.rmdir(path);
}
