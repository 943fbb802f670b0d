#include "XdgBrowser.h"

#include "CommandLine.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace {

QStringList PathList(const QString& value, const QStringList& fallback)
{
    QStringList dirs;
    for (const QString& dir : value.split(u':', Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(dir)) // relative entries are invalid and ignored
            dirs << QDir::cleanPath(dir);
    }
    return dirs.isEmpty() ? fallback : dirs;
}

QString PathValue(const QString& value, const QString& fallback)
{
    return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : fallback;
}

// The key/value pairs of one group of a desktop-style key file.
std::vector<std::pair<QString, QString>> ReadGroup(const QString& path, QStringView group)
{
    std::vector<std::pair<QString, QString>> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    bool inGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inGroup = line == QStringLiteral("[%1]").arg(group);
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (inGroup && eq > 0)
            entries.emplace_back(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return entries;
}

// The mimeapps.list files from the most to the least important.
QStringList MimeAppsLists(const CXdgDirs& dirs)
{
    QStringList configFolders{dirs.configHome};
    configFolders += dirs.configDirs;
    configFolders << dirs.dataHome + QStringLiteral("/applications");
    for (const QString& data : dirs.dataDirs)
        configFolders << data + QStringLiteral("/applications");

    QStringList files;
    for (const QString& folder : configFolders) {
        for (const QString& desktop : dirs.desktops)
            files << folder + u'/' + desktop + QStringLiteral("-mimeapps.list");
        files << folder + QStringLiteral("/mimeapps.list");
    }
    // The older name some systems still ship.
    files << dirs.dataHome + QStringLiteral("/applications/defaults.list");
    for (const QString& data : dirs.dataDirs)
        files << data + QStringLiteral("/applications/defaults.list");
    return files;
}

// The desktop entry file of a desktop id: "vendor-app.desktop" may also live in
// applications/vendor/app.desktop.
QString FindDesktopEntry(const CXdgDirs& dirs, const QString& id)
{
    QStringList appDirs{dirs.dataHome + QStringLiteral("/applications")};
    for (const QString& data : dirs.dataDirs)
        appDirs << data + QStringLiteral("/applications");
    for (const QString& appDir : appDirs) {
        const QString direct = appDir + u'/' + id;
        if (QFileInfo(direct).isFile())
            return direct;
        if (!id.contains(u'-') || !QFileInfo(appDir).isDir())
            continue;
        QDirIterator it(appDir, {QStringLiteral("*.desktop")}, QDir::Files,
                        QDirIterator::Subdirectories);
        const QDir base(appDir);
        while (it.hasNext()) {
            const QString path = it.next();
            if (base.relativeFilePath(path).replace(u'/', u'-') == id)
                return path;
        }
    }
    return {};
}

// The unescaped value of a desktop entry string: \s \n \t \r \\.
std::string UnescapeValue(const QString& value)
{
    const std::string raw = value.toStdString();
    std::string out;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\' || i + 1 == raw.size()) {
            out += raw[i];
            continue;
        }
        switch (raw[++i]) {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case '\\':
            out += '\\';
            break;
        default:
            out += '\\';
            out += raw[i];
        }
    }
    return out;
}

// The command template of an installed, visible entry; empty otherwise.
std::string EntryCommand(const QString& path)
{
    std::string exec;
    for (const auto& [key, value] : ReadGroup(path, u"Desktop Entry")) {
        if (key == QStringLiteral("Hidden") && value == QStringLiteral("true"))
            return {};
        if (key == QStringLiteral("Exec"))
            exec = UnescapeValue(value);
    }
    return KivXdg::ExecToCommandTemplate(exec);
}

QString FindHandler(const CXdgDirs& dirs, const QString& mimeType, std::string* command)
{
    for (const QString& list : MimeAppsLists(dirs)) {
        for (const auto& [key, value] : ReadGroup(list, u"Default Applications")) {
            if (key != mimeType)
                continue;
            for (const QString& id : value.split(u';', Qt::SkipEmptyParts)) {
                const QString entry = FindDesktopEntry(dirs, id.trimmed());
                if (entry.isEmpty())
                    continue;
                std::string found = EntryCommand(entry);
                if (found.empty())
                    continue;
                if (command)
                    *command = std::move(found);
                return entry;
            }
        }
    }
    return {};
}

} // namespace

CXdgDirs CXdgDirs::FromEnvironment(const QProcessEnvironment& env)
{
    const QString home = env.value(QStringLiteral("HOME"), QDir::homePath());
    CXdgDirs dirs;
    dirs.configHome = PathValue(env.value(QStringLiteral("XDG_CONFIG_HOME")),
                                home + QStringLiteral("/.config"));
    dirs.configDirs
        = PathList(env.value(QStringLiteral("XDG_CONFIG_DIRS")), {QStringLiteral("/etc/xdg")});
    dirs.dataHome = PathValue(env.value(QStringLiteral("XDG_DATA_HOME")),
                              home + QStringLiteral("/.local/share"));
    dirs.dataDirs = PathList(env.value(QStringLiteral("XDG_DATA_DIRS")),
                             {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")});
    for (const QString& desktop :
         env.value(QStringLiteral("XDG_CURRENT_DESKTOP")).split(u':', Qt::SkipEmptyParts))
        dirs.desktops << desktop.toLower();
    return dirs;
}

namespace KivXdg {

std::string ExecToCommandTemplate(std::string_view exec)
{
    // Each argument as pieces of literal text and URL places.
    struct Piece
    {
        std::string text;
        bool url = false;
    };
    struct Arg
    {
        std::vector<Piece> pieces;
        bool kept = false; // has text, a quote or a URL place
    };
    std::vector<Arg> args;
    bool usesUrl = false;

    size_t i = 0;
    const size_t n = exec.size();
    auto addLiteral = [](Arg& arg, char c) {
        if (arg.pieces.empty() || arg.pieces.back().url)
            arg.pieces.push_back({});
        arg.pieces.back().text += c;
        arg.kept = true;
    };
    while (i < n) {
        while (i < n && (exec[i] == ' ' || exec[i] == '\t' || exec[i] == '\n'))
            ++i;
        if (i == n)
            break;
        Arg arg;
        bool quoted = false;
        while (i < n) {
            const char c = exec[i];
            if (!quoted && (c == ' ' || c == '\t' || c == '\n'))
                break;
            if (c == '"') {
                quoted = !quoted;
                arg.kept = true;
                ++i;
                continue;
            }
            if (quoted && c == '\\' && i + 1 < n
                && std::string_view("\"`$\\").find(exec[i + 1]) != std::string_view::npos) {
                addLiteral(arg, exec[i + 1]);
                i += 2;
                continue;
            }
            if (c == '%' && i + 1 < n) {
                const char code = exec[i + 1];
                i += 2;
                if (code == '%') {
                    addLiteral(arg, '%');
                } else if (code == 'u' || code == 'U' || code == 'f' || code == 'F') {
                    arg.pieces.push_back({{}, true});
                    arg.kept = true;
                    usesUrl = true;
                }
                continue; // other field codes are dropped
            }
            addLiteral(arg, c);
            ++i;
        }
        if (arg.kept)
            args.push_back(std::move(arg));
    }
    if (args.empty())
        return {};

    std::vector<std::string> words;
    for (const Arg& arg : args) {
        std::string word;
        for (const Piece& piece : arg.pieces) {
            if (piece.url) {
                word += "%1";
                continue;
            }
            for (const char c : piece.text)
                word += c == '%' && usesUrl ? std::string("%%") : std::string(1, c);
        }
        words.push_back(std::move(word));
    }
    // The program must be a name of its own, not the URL.
    const Arg& program = args.front();
    const bool programIsUrl = std::any_of(program.pieces.begin(), program.pieces.end(),
                                          [](const Piece& p) { return p.url; });
    if (programIsUrl || words.front().empty() || words.front().find('"') != std::string::npos)
        return {};
    return KivCommandLine::Join(words);
}

QString DefaultHandlerEntry(const CXdgDirs& dirs, const QString& mimeType)
{
    return FindHandler(dirs, mimeType, nullptr);
}

} // namespace KivXdg

bool GetDefaultBrowserCommand(std::string& out, const CXdgDirs& dirs)
{
    out.clear();
    for (const QString& mime :
         {QStringLiteral("x-scheme-handler/http"), QStringLiteral("text/html")}) {
        if (!FindHandler(dirs, mime, &out).isEmpty())
            break;
    }
    return !out.empty();
}
