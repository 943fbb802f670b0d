#include "KivTool.h"

#include "Json.h"
#include "model/KivDoc.h"
#include "res/Strings.h"

#include <QFileInfo>

namespace {

struct Context
{
    std::string& out;
    std::string& err;

    void Error(const QString& line) { err += line.toStdString() + '\n'; }
};

const char* kUsage =
    "usage: kivtool COMMAND ...\n"
    "  new DOC\n"
    "  info DOC\n"
    "  dump DOC\n"
    "  save-as DOC OUT\n"
    "  add DOC URL NAME [--comment TEXT] [--folder PATH]\n";

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
    ctx.out += "{\"bookmarks\":" + std::to_string(doc.BookmarkCount())
               + ",\"folders\":" + std::to_string(folders) + ",\"links\":" + std::to_string(links)
               + "}\n";
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

}  // namespace

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
    else
        known = false;
    if (!known || (status == 2 && err.empty()))
        err += kUsage;
    return status;
}
