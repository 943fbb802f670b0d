#include "KivTool.h"

#include <algorithm>

#include "Json.h"
#include "browsers/BrowserProfiles.h"
#include "browsers/ChromiumBookmarks.h"
#include "browsers/FirefoxPlaces.h"
#include "browsers/Xbel.h"
#include "formats/Compare.h"
#include "formats/Favorites.h"
#include "formats/Netscape.h"
#include "formats/Opera.h"
#include "model/KivDoc.h"
#include "res/Strings.h"
#include "formats/Find.h"
#include "tidy/Collection.h"
#include "tidy/Duplicates.h"
#include "tidy/LinkCache.h"
#include "tidy/LinkChecker.h"

#include <QEventLoop>
#include <QFileInfo>

namespace {

struct Context
{
    std::string& out;
    std::string& err;

    void Error(const QString& line) { err += line.toStdString() + '\n'; }
};

const char* kUsage
    = "usage: kivtool COMMAND ...\n"
      "  new DOC\n"
      "  info DOC\n"
      "  dump DOC\n"
      "  save-as DOC OUT\n"
      "  add DOC URL NAME [--comment TEXT] [--folder PATH]\n"
      "  import-netscape DOC FILE\n"
      "  export-netscape DOC FILE\n"
      "  import-opera DOC FILE\n"
      "  export-opera DOC FILE\n"
      "  import-favorites DOC DIR [--subfolders] [--delete]\n"
      "  export-favorites DOC DIR [--remove-old]\n"
      "  compare DOC [--favorites DIR] [--subfolders] [--netscape FILE] [--opera FILE]\n"
      "  find DOC TEXT [--fields LIST]   (LIST: name,url,comment)\n"
      "  import-firefox DOC [PROFILE_DIR]\n"
      "  import-chromium DOC [BOOKMARKS_FILE]\n"
      "  import-xbel DOC FILE\n"
      "  export-xbel DOC FILE\n"
      "  profiles\n"
      "  dupes DOC [--json] [--merge] [--strict-scheme] [--strict-www]\n"
      "  check-links DOC [--json] [--folder A/B] [--max-age DAYS] [--timeout S]\n";

// Loads DOC into doc. Missing documents are created empty when allowed.
bool Load(Context& ctx, CKivDoc& doc, const QString& path, bool createMissing)
{
    doc.SetErrorSink([&ctx](const CFileError& e) { ctx.Error(KivStrings::FileErrorText(e)); });
    if (createMissing && !QFileInfo::exists(path)) {
        doc.OnNewDocument();
        doc.SetPathName(path);
        return true;
    }
    return doc.OpenDocumentFile(path);
}

bool Save(Context& ctx, CKivDoc& doc, const QString& path)
{
    doc.SetErrorSink([&ctx](const CFileError& e) { ctx.Error(KivStrings::FileErrorText(e)); });
    return doc.DoSave(path);
}

// Takes "--name VALUE" out of args.
bool TakeOption(QStringList& args, const QString& name, QString* value, bool* bad)
{
    const qsizetype at = args.indexOf(name);
    if (at < 0)
        return false;
    if (at + 1 >= args.size()) {
        *bad = true;
        return false;
    }
    *value = args.at(at + 1);
    args.remove(at, 2);
    return true;
}

// Takes "--name" out of args.
bool TakeFlag(QStringList& args, const QString& name)
{
    return args.removeAll(name) > 0;
}

// The reason a file or folder could not be opened, as the framework words it.
void ReportNotOpened(Context& ctx, const QString& path, bool loading)
{
    CFileError e;
    e.path = path;
    e.loading = loading;
    e.cause = QFileInfo::exists(path) ? CFileError::accessDenied : CFileError::fileNotFound;
    if (!loading && !QFileInfo::exists(path))
        e.cause = CFileError::invalidPath;
    ctx.Error(KivStrings::FileErrorText(e));
}

// The exit status of an import or export and its message on standard error.
int Report(Context& ctx, const FormatResult& r, const QString& path, bool loading)
{
    switch (r.status) {
    case FormatResult::done:
        return 0;
    case FormatResult::notOpened:
        if (r.error)
            ctx.Error(KivStrings::FileErrorText(r.error));
        else
            ReportNotOpened(ctx, path, loading);
        return 2;
    case FormatResult::wrongType:
        ctx.Error(KivStrings::Load(r.messageId));
        return 1;
    case FormatResult::fileError:
        ctx.Error(KivStrings::FileErrorText(r.error));
        return 2;
    }
    return 2;
}

using ImportFn = FormatResult (*)(CKivDoc&, const QString&);
using ExportFn = FormatResult (*)(const CKivDoc&, const QString&);

int CmdImportFile(Context& ctx, const QStringList& a, ImportFn import)
{
    if (a.size() != 2)
        return 2;
    CKivDoc doc;
    if (!Load(ctx, doc, a[0], true))
        return 2;
    const int status = Report(ctx, import(doc, a[1]), a[1], true);
    if (status != 0)
        return status; // the document stays as it was
    return Save(ctx, doc, a[0]) ? 0 : 2;
}

int CmdExportFile(Context& ctx, const QStringList& a, ExportFn exportFile)
{
    if (a.size() != 2)
        return 2;
    CKivDoc doc;
    if (!Load(ctx, doc, a[0], false))
        return 2;
    return Report(ctx, exportFile(doc, a[1]), a[1], false);
}

FormatResult ExportOperaNow(const CKivDoc& doc, const QString& path)
{
    return ExportOpera(doc, path);
}

int CmdImportFavorites(Context& ctx, QStringList a)
{
    const bool subfolders = TakeFlag(a, QStringLiteral("--subfolders"));
    const bool deleteFiles = TakeFlag(a, QStringLiteral("--delete"));
    if (a.size() != 2)
        return 2;
    CKivDoc doc;
    if (!Load(ctx, doc, a[0], true))
        return 2;
    if (!QFileInfo(a[1]).isDir()) {
        ReportNotOpened(ctx, a[1], true);
        return 2;
    }
    const FormatResult result = ImportShortcuts(doc, a[1], subfolders, deleteFiles);
    if (result.status == FormatResult::notOpened)
        return Report(ctx, result, a[1], true);
    // A shortcut left out for its size is reported (status 1); the rest is saved.
    const int status = Report(ctx, result, a[1], true) == 0 ? 0 : 1;
    return Save(ctx, doc, a[0]) ? status : 2;
}

int CmdExportFavorites(Context& ctx, QStringList a)
{
    const bool removeOld = TakeFlag(a, QStringLiteral("--remove-old"));
    if (a.size() != 2)
        return 2;
    CKivDoc doc;
    if (!Load(ctx, doc, a[0], false))
        return 2;
    return Report(ctx, ExportShortcuts(doc, a[1], removeOld), a[1], false);
}

int CmdCompare(Context& ctx, QStringList a)
{
    CompareSources sources;
    bool bad = false;
    sources.subfolders = TakeFlag(a, QStringLiteral("--subfolders"));
    TakeOption(a, QStringLiteral("--favorites"), &sources.favoritesFolder, &bad);
    TakeOption(a, QStringLiteral("--netscape"), &sources.netscapeFile, &bad);
    TakeOption(a, QStringLiteral("--opera"), &sources.operaFile, &bad);
    if (bad || a.size() != 1)
        return 2;
    CKivDoc doc;
    if (!Load(ctx, doc, a[0], false))
        return 2;
    std::vector<FormatResult> unreadable;
    bool failed = false;
    for (const FormatResult& r : RunCompare(doc, sources, &unreadable)) {
        ctx.Error(r.messageId ? KivStrings::Load(r.messageId) : KivStrings::FileErrorText(r.error));
        failed = failed || r.status == FormatResult::fileError;
    }
    // A source named on the command line that cannot be read is not an empty source.
    for (const FormatResult& r : unreadable)
        ctx.Error(KivStrings::FileErrorText(r.error));
    if (failed || !unreadable.empty())
        return 2;
    ctx.out += '[';
    for (size_t k = 0; k < doc.m_check.m_aBookmarks.size(); ++k) {
        if (k)
            ctx.out += ',';
        ctx.out += KivJson::BookmarkObject(doc.Bookmark(doc.m_check.m_aBookmarks[k]));
    }
    ctx.out += "]\n";
    return 0;
}

// import-firefox / import-chromium: the given profile, else the browser's default
// profile found on this machine.
int CmdImportProfile(Context& ctx, QStringList a, CBrowserProfile::Family family, ImportFn import)
{
    if (a.size() == 1) {
        const std::vector<CBrowserProfile> found
            = FindBrowserProfiles(family, CProfileRoots::FromEnvironment());
        if (found.empty()) {
            ctx.Error(KivStrings::Load(IDS_NO_PROFILES));
            return 2;
        }
        a << found.front().dir;
    }
    return CmdImportFile(ctx, a, import);
}

int CmdProfiles(Context& ctx, const QStringList& a)
{
    if (!a.isEmpty())
        return 2;
    ctx.out += '[';
    bool first = true;
    for (const CBrowserProfile& p : FindBrowserProfiles(CProfileRoots::FromEnvironment())) {
        const long long count = CountProfileBookmarks(p);
        ctx.out += std::string(first ? "" : ",") + "\n{\"family\":"
                   + (p.family == CBrowserProfile::firefox ? "\"firefox\"" : "\"chromium\"")
                   + ",\"browser\":" + KivJson::Quote(p.browser.toStdString())
                   + ",\"name\":" + KivJson::Quote(p.name.toStdString())
                   + ",\"path\":" + KivJson::Quote(p.dir.toStdString())
                   + ",\"file\":" + KivJson::Quote(p.file.toStdString())
                   + ",\"default\":" + (p.isDefault ? "true" : "false")
                   + ",\"bookmarks\":" + (count < 0 ? std::string("null") : std::to_string(count))
                   + '}';
        first = false;
    }
    ctx.out += first ? "]\n" : "\n]\n";
    return 0;
}

bool ParseFields(const QString& list, FindFields* fields)
{
    *fields = FindFields{false, false, false};
    for (const QString& f : list.split(QLatin1Char(','))) {
        if (f == QLatin1String("name"))
            fields->name = true;
        else if (f == QLatin1String("url"))
            fields->url = true;
        else if (f == QLatin1String("comment"))
            fields->comment = true;
        else
            return false;
    }
    return true;
}

std::string FolderPath(const CFolderNode* folder)
{
    std::vector<const CFolderNode*> chain;
    for (const CFolderNode* f = folder; f && f->m_pParent; f = f->m_pParent)
        chain.push_back(f);
    std::string out = "[";
    for (size_t k = chain.size(); k > 0; --k) {
        out += KivJson::Quote(chain[k - 1]->m_strName);
        if (k > 1)
            out += ',';
    }
    return out + ']';
}

int CmdFind(Context& ctx, QStringList a)
{
    QString list = QStringLiteral("name,url");
    bool bad = false;
    TakeOption(a, QStringLiteral("--fields"), &list, &bad);
    FindFields fields;
    if (bad || a.size() != 2 || !ParseFields(list, &fields))
        return 2;
    CKivDoc doc;
    if (!Load(ctx, doc, a[0], false))
        return 2;
    const std::string text = a[1].toStdString();
    BeginFind(doc);
    for (bool first = true;; first = false) {
        const FindStep step = FindNext(doc, text, fields);
        if (step.outcome == FindStep::notFound && first) {
            ctx.Error(QString::fromLatin1(kItemNotFound));
            return 1;
        }
        if (step.outcome != FindStep::hit)
            return 0;
        // The window's tree makes the hit's folder current when it selects it.
        doc.m_pCurFolder = step.folder;
        const CBookmark& b = doc.Bookmark(step.folder->m_aBookmarks[size_t(step.position)]);
        ctx.out += "{\"folder\":" + FolderPath(step.folder) + ",\"position\":"
                   + std::to_string(step.position) + ",\"url\":" + KivJson::Quote(b.m_strUrl)
                   + ",\"name\":" + KivJson::Quote(b.m_strName)
                   + ",\"comment\":" + KivJson::Quote(b.m_strComment) + "}\n";
    }
}

int CmdNew(Context& ctx, const QStringList& a)
{
    if (a.size() != 1)
        return 2;
    CKivDoc doc;
    doc.OnNewDocument();
    return Save(ctx, doc, a[0]) ? 0 : 2;
}

int CmdInfo(Context& ctx, const QStringList& a)
{
    if (a.size() != 1)
        return 2;
    CKivDoc doc;
    if (!Load(ctx, doc, a[0], false))
        return 2;
    uint32_t folders = 0;
    uint64_t links = 0;
    doc.CountTree(&folders, &links);
    ctx.out += "{\"bookmarks\":" + std::to_string(doc.BookmarkCount()) + ",\"folders\":"
               + std::to_string(folders) + ",\"links\":" + std::to_string(links) + "}\n";
    return 0;
}

int CmdDump(Context& ctx, const QStringList& a)
{
    if (a.size() != 1)
        return 2;
    CKivDoc doc;
    if (!Load(ctx, doc, a[0], false))
        return 2;
    ctx.out += KivJson::Dump(doc) + '\n';
    return 0;
}

int CmdSaveAs(Context& ctx, const QStringList& a)
{
    if (a.size() != 2)
        return 2;
    CKivDoc doc;
    if (!Load(ctx, doc, a[0], false))
        return 2;
    return Save(ctx, doc, a[1]) ? 0 : 2;
}

int CmdAdd(Context& ctx, QStringList a)
{
    QString comment, folderPath;
    bool bad = false;
    TakeOption(a, QStringLiteral("--comment"), &comment, &bad);
    TakeOption(a, QStringLiteral("--folder"), &folderPath, &bad);
    if (bad || a.size() != 3)
        return 2;
    // The walk ends at the first empty segment; below the deepest level a file keeps,
    // the folder would not survive the next load.
    const QStringList segments = folderPath.split(QLatin1Char('/'));
    const qsizetype used = std::find(segments.begin(), segments.end(), QString()) - segments.begin();
    if (used > CKivDoc::kMaxDepth) {
        ctx.Error(QStringLiteral("Folder path deeper than %1 levels.").arg(CKivDoc::kMaxDepth));
        return 1;
    }
    CKivDoc doc;
    if (!Load(ctx, doc, a[0], true))
        return 2;
    const std::string url = a[1].toStdString();
    const std::string name = a[2].toStdString();
    const std::string text = comment.toStdString();
    CFolderNode* folder = doc.WalkPath(folderPath.toStdString());
    if (!doc.AddBookmark(url.c_str(), name.c_str(), text.c_str(), folder, false))
        return 1;
    return Save(ctx, doc, a[0]) ? 0 : 2;
}

int CmdDupes(Context& ctx, QStringList a)
{
    const bool json = TakeFlag(a, QStringLiteral("--json"));
    const bool merge = TakeFlag(a, QStringLiteral("--merge"));
    UrlKeyOptions options;
    options.httpIsHttps = !TakeFlag(a, QStringLiteral("--strict-scheme"));
    options.wwwIsBare = !TakeFlag(a, QStringLiteral("--strict-www"));
    if (a.size() != 1)
        return 2;
    CKivDoc doc;
    if (!Load(ctx, doc, a[0], false))
        return 2;
    const CPlacements placements(doc);
    const std::vector<CDupeGroup> groups = FindDuplicates(doc, placements, options);
    if (json)
        ctx.out += '[';
    for (size_t g = 0; g < groups.size(); ++g) {
        const CDupeGroup& group = groups[g];
        if (json) {
            ctx.out += (g ? ",\n" : "") + std::string("{\"key\":") + KivJson::Quote(group.key)
                       + ",\"keep\":" + std::to_string(group.members.front()) + ",\"members\":[";
        } else {
            ctx.out += group.key + '\n';
        }
        for (size_t m = 0; m < group.members.size(); ++m) {
            const uint32_t i = group.members[m];
            const CBookmark& b = doc.Bookmark(i);
            std::string folders;
            for (const CFolderNode* f : placements.Folders(i)) {
                if (!folders.empty())
                    folders += json ? "," : "; ";
                folders += json ? KivJson::Quote(FolderPathText(f)) : "/" + FolderPathText(f);
            }
            if (json)
                ctx.out += (m ? "," : "") + std::string("{\"index\":") + std::to_string(i)
                           + ",\"name\":" + KivJson::Quote(b.m_strName)
                           + ",\"url\":" + KivJson::Quote(b.m_strUrl) + ",\"folders\":["
                           + folders + "]}";
            else
                ctx.out += (m ? "    " : "  * ") + std::to_string(i) + '\t' + b.m_strUrl + '\t'
                           + b.m_strName + '\t' + folders + '\n';
        }
        if (json)
            ctx.out += "]}";
    }
    if (json)
        ctx.out += "]\n";
    if (!merge || groups.empty())
        return 0;
    std::vector<CMergeSet> sets;
    for (const CDupeGroup& group : groups)
        sets.push_back({group.members.front(), {group.members.begin() + 1, group.members.end()}});
    doc.MergeBookmarks(sets);
    return Save(ctx, doc, a[0]) ? 0 : 2;
}

int CmdCheckLinks(Context& ctx, QStringList a)
{
    const bool json = TakeFlag(a, QStringLiteral("--json"));
    QString folderPath, maxAge = QStringLiteral("1"), timeout = QStringLiteral("15");
    bool bad = false;
    TakeOption(a, QStringLiteral("--folder"), &folderPath, &bad);
    TakeOption(a, QStringLiteral("--max-age"), &maxAge, &bad);
    TakeOption(a, QStringLiteral("--timeout"), &timeout, &bad);
    bool ageOk = false, timeoutOk = false;
    const int days = maxAge.toInt(&ageOk);
    const double seconds = timeout.toDouble(&timeoutOk);
    if (bad || a.size() != 1 || !ageOk || days < 0 || !timeoutOk || seconds <= 0)
        return 2;
    CKivDoc doc;
    if (!Load(ctx, doc, a[0], false))
        return 2;
    const CFolderNode* folder = FindFolderPath(doc, folderPath.toStdString());
    if (!folder) {
        ctx.Error(QStringLiteral("No folder %1.").arg(folderPath));
        return 2;
    }
    QStringList urls;
    for (uint32_t i : BookmarksBelow(doc, folder))
        urls << QString::fromStdString(doc.Bookmark(i).m_strUrl);
    urls.removeDuplicates();

    CLinkCache cache;
    if (!cache.Open())
        ctx.Error(QStringLiteral("Results are not kept: %1").arg(cache.LastError()));
    CLinkChecker checker;
    CLinkChecker::Options options;
    options.maxAgeDays = days;
    options.timeoutMs = int(seconds * 1000);
    checker.SetOptions(options);
    if (cache.IsOpen())
        checker.SetCache(&cache);
    QHash<QString, CLinkResult> results;
    QEventLoop loop;
    QObject::connect(&checker, &CLinkChecker::resultReady,
                     [&](const CLinkResult& r) { results.insert(r.url, r); });
    QObject::connect(&checker, &CLinkChecker::finished, &loop, &QEventLoop::quit);
    checker.Start(urls);
    if (checker.IsRunning())
        loop.exec();

    bool dead = false;
    if (json)
        ctx.out += '[';
    for (qsizetype k = 0; k < urls.size(); ++k) {
        const CLinkResult r = results.value(urls[k]);
        dead = dead || IsDead(r.status);
        const std::string status = LinkStatusId(r.status).toStdString();
        if (json)
            ctx.out += (k ? ",\n" : "") + std::string("{\"url\":") + KivJson::Quote(urls[k].toStdString())
                       + ",\"status\":\"" + status + "\",\"http\":" + std::to_string(r.httpStatus)
                       + ",\"final\":" + KivJson::Quote(r.finalUrl.toStdString())
                       + ",\"permanent\":" + (r.permanent ? "true" : "false")
                       + ",\"ms\":" + std::to_string(r.elapsedMs)
                       + ",\"cached\":" + (r.fromCache ? "true" : "false") + "}";
        else
            ctx.out += status + '\t' + urls[k].toStdString()
                       + (r.finalUrl.isEmpty() ? std::string() : " -> " + r.finalUrl.toStdString())
                       + '\n';
    }
    if (json)
        ctx.out += "]\n";
    return dead ? 1 : 0;
}

} // namespace

int RunKivTool(const QStringList& args, std::string& out, std::string& err)
{
    Context ctx{out, err};
    if (args.isEmpty()) {
        err += kUsage;
        return 2;
    }
    const QString cmd = args.first();
    const QStringList rest = args.mid(1);
    int status = 2;
    bool known = true;
    if (cmd == QLatin1String("new"))
        status = CmdNew(ctx, rest);
    else if (cmd == QLatin1String("info"))
        status = CmdInfo(ctx, rest);
    else if (cmd == QLatin1String("dump"))
        status = CmdDump(ctx, rest);
    else if (cmd == QLatin1String("save-as"))
        status = CmdSaveAs(ctx, rest);
    else if (cmd == QLatin1String("add"))
        status = CmdAdd(ctx, rest);
    else if (cmd == QLatin1String("import-netscape"))
        status = CmdImportFile(ctx, rest, ImportNetscape);
    else if (cmd == QLatin1String("export-netscape"))
        status = CmdExportFile(ctx, rest, ExportNetscape);
    else if (cmd == QLatin1String("import-opera"))
        status = CmdImportFile(ctx, rest, ImportOpera);
    else if (cmd == QLatin1String("export-opera"))
        status = CmdExportFile(ctx, rest, ExportOperaNow);
    else if (cmd == QLatin1String("import-favorites"))
        status = CmdImportFavorites(ctx, rest);
    else if (cmd == QLatin1String("export-favorites"))
        status = CmdExportFavorites(ctx, rest);
    else if (cmd == QLatin1String("compare"))
        status = CmdCompare(ctx, rest);
    else if (cmd == QLatin1String("find"))
        status = CmdFind(ctx, rest);
    else if (cmd == QLatin1String("dupes"))
        status = CmdDupes(ctx, rest);
    else if (cmd == QLatin1String("check-links"))
        status = CmdCheckLinks(ctx, rest);
    else if (cmd == QLatin1String("import-firefox"))
        status = CmdImportProfile(ctx, rest, CBrowserProfile::firefox, ImportFirefox);
    else if (cmd == QLatin1String("import-chromium"))
        status = CmdImportProfile(ctx, rest, CBrowserProfile::chromium, ImportChromium);
    else if (cmd == QLatin1String("import-xbel"))
        status = CmdImportFile(ctx, rest, ImportXbel);
    else if (cmd == QLatin1String("export-xbel"))
        status = CmdExportFile(ctx, rest, ExportXbel);
    else if (cmd == QLatin1String("profiles"))
        status = CmdProfiles(ctx, rest);
    else
        known = false;
    if (!known || (status == 2 && err.empty()))
        err += kUsage;
    return status;
}
