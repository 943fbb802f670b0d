#include "ChromiumBookmarks.h"

#include "ImportFile.h"
#include "formats/ImportMerge.h"
#include "res/Strings.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <vector>

namespace {

enum class Walk { ok, badShape, tooLarge };

// A folder's children, depth first, without recursion: the depth is the file's.
Walk WalkChildren(const QJsonArray& children, CImportTree& tree)
{
    struct Level
    {
        QJsonArray items;
        qsizetype next;
    };
    std::vector<Level> stack;
    stack.push_back({children, 0});
    while (!stack.empty()) {
        Level& top = stack.back();
        if (top.next == top.items.size()) {
            stack.pop_back();
            if (!stack.empty())
                tree.CloseFolder();
            continue;
        }
        const QJsonValue value = top.items.at(top.next++);
        if (!value.isObject())
            return Walk::badShape;
        const QJsonObject node = value.toObject();
        const QJsonValue name = node.value(QLatin1String("name"));
        if (!name.isUndefined() && !name.isString())
            return Walk::badShape;
        const QString type = node.value(QLatin1String("type")).toString();
        if (type == QLatin1String("url")) {
            const QJsonValue url = node.value(QLatin1String("url"));
            if (!url.isString())
                return Walk::badShape;
            // The browser shows the address of a bookmark that has no name.
            const QString shown = name.toString().isEmpty() ? url.toString() : name.toString();
            tree.AddBookmark(url.toString().toStdString(), shown.toStdString());
        } else if (type == QLatin1String("folder")) {
            const QJsonValue inner = node.value(QLatin1String("children"));
            if (!inner.isArray())
                return Walk::badShape;
            tree.OpenFolder(name.toString().toStdString());
            stack.push_back({inner.toArray(), 0});
        } else {
            return Walk::badShape;
        }
        if (tree.Size() > kMaxImportEntries)
            return Walk::tooLarge;
    }
    return Walk::ok;
}

} // namespace

FormatResult ParseChromiumBookmarks(const QByteArray& json, CImportTree& tree)
{
    tree.Clear();
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error == QJsonParseError::DeepNesting)
        return Refused(IDS_IMPORT_TOO_DEEP);
    const QJsonValue roots = doc.object().value(QLatin1String("roots"));
    if (error.error != QJsonParseError::NoError || !roots.isObject())
        return Refused(IDS_BAD_CHROMIUM);

    static constexpr struct
    {
        const char* key;
        unsigned nameId;
    } kRoots[] = {{"bookmark_bar", IDS_CHROMIUM_BAR},
                  {"other", IDS_CHROMIUM_OTHER},
                  {"synced", IDS_CHROMIUM_MOBILE}};
    const auto refuse = [&tree](unsigned id) {
        tree.Clear();
        return Refused(id);
    };
    bool anyRoot = false;
    for (const auto& root : kRoots) {
        const QJsonValue node = roots.toObject().value(QLatin1String(root.key));
        if (node.isUndefined())
            continue;
        const QJsonValue children = node.toObject().value(QLatin1String("children"));
        if (!children.isArray())
            return refuse(IDS_BAD_CHROMIUM);
        anyRoot = true;
        if (children.toArray().isEmpty())
            continue;
        tree.OpenFolder(KivStrings::Load(root.nameId).toStdString());
        switch (WalkChildren(children.toArray(), tree)) {
        case Walk::ok:
            break;
        case Walk::badShape:
            return refuse(IDS_BAD_CHROMIUM);
        case Walk::tooLarge:
            return refuse(IDS_IMPORT_TOO_LARGE);
        }
        tree.CloseFolder();
    }
    if (!anyRoot)
        return Refused(IDS_BAD_CHROMIUM);
    return {};
}

FormatResult ReadChromiumBookmarks(const QString& path, CImportTree& tree)
{
    const QString file
        = QFileInfo(path).isDir() ? QDir(path).filePath(QStringLiteral("Bookmarks")) : path;
    QByteArray bytes;
    FormatResult result = ReadImportFile(file, &bytes);
    if (!result.Ok())
        return result;
    return ParseChromiumBookmarks(bytes, tree);
}

FormatResult ImportChromium(CKivDoc& doc, const QString& path)
{
    return ReadAndMerge(doc, path, ReadChromiumBookmarks);
}
