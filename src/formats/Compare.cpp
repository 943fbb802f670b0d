#include "Compare.h"

#include "Favorites.h"
#include "Netscape.h"
#include "Opera.h"
#include "TextLines.h"
#include "model/KivDoc.h"
#include "res/Strings.h"

namespace {

bool IsSource(const QString& path)
{
    return path.toUtf8().size() > 2;
}

} // namespace

void EmptyCheckFolder(CKivDoc& doc)
{
    doc.DeleteFolderChain(doc.m_check.m_pFirstChild);
    doc.UnlinkAllBookmarks(&doc.m_check);
}

FormatResult CompareShortcuts(CKivDoc& doc, const QString& folder, bool subfolders)
{
    doc.m_bWalkSubfolders = subfolders;
    doc.m_bDeleteShortcuts = false; // compare never deletes files
    if (!IsSource(folder))
        return {FormatResult::notOpened, 0, {}};
    return WalkShortcutsFrom(doc, folder, true);
}

FormatResult CompareNetscape(CKivDoc& doc, const QString& path)
{
    if (!IsSource(path))
        return {FormatResult::notOpened, 0, {}};
    return ReadNetscapeFile(doc, path, true);
}

FormatResult CompareOpera(CKivDoc& doc, const QString& path)
{
    if (!IsSource(path))
        return {FormatResult::notOpened, 0, {}};
    return ReadMarkedFile(doc, path, kOperaMarker, IDS_WRONG_OPERA, ParseHotlist, true);
}

std::vector<FormatResult> RunCompare(CKivDoc& doc, const CompareSources& sources,
                                     std::vector<FormatResult>* unreadable)
{
    EmptyCheckFolder(doc);
    std::vector<FormatResult> shown;
    for (const FormatResult& r : {CompareShortcuts(doc, sources.favoritesFolder, sources.subfolders),
                                  CompareNetscape(doc, sources.netscapeFile),
                                  CompareOpera(doc, sources.operaFile)}) {
        if (r.status == FormatResult::wrongType || r.status == FormatResult::fileError)
            shown.push_back(r);
        else if (r.status == FormatResult::notOpened && r.error && unreadable)
            unreadable->push_back(r);
    }
    return shown;
}
