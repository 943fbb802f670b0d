#include "Netscape.h"

#include "ExportFile.h"
#include "TextLines.h"
#include "framework/TextRules.h"
#include "model/KivDoc.h"
#include "res/Strings.h"

#include <array>
#include <cstdint>
#include <limits>

namespace KivTags {

int MatchTag(std::string_view line, std::string_view tag)
{
    size_t p = 0;
    while (p < line.size() && (line[p] == ' ' || line[p] == '\t'))
        ++p;
    if (line.substr(p, tag.size()) != tag)
        return -1;
    return static_cast<int>(p + tag.size());
}

std::string EscapeAngles(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

std::string UnescapeAngles(std::string_view text)
{
    static constexpr std::array<std::pair<std::string_view, char>, 2> kEntities
        = {{{"&lt;", '<'}, {"&gt;", '>'}}};
    std::string out(text);
    for (const auto& [entity, c] : kEntities) {
        std::string next;
        size_t from = 0;
        for (size_t at; (at = out.find(entity, from)) != std::string::npos;
             from = at + entity.size()) {
            next.append(out, from, at - from);
            next += c;
        }
        if (from == 0)
            continue;
        next.append(out, from);
        out = std::move(next);
    }
    return out;
}

} // namespace KivTags

// --- export --------------------------------------------------------------------------

namespace {

void WriteBookmarkLines(CExportFile& file, const CKivDoc& doc, const CFolderNode& folder, int depth)
{
    std::string line;
    for (uint32_t i : folder.m_aBookmarks) {
        const CBookmark& b = doc.Bookmark(i);
        line.assign("<DT><A HREF=\"")
            .append(b.m_strUrl)
            .append("\">")
            .append(b.m_strName)
            .append("</A>");
        file.WriteIndentedLine(depth, line);
        if (!b.m_strComment.empty())
            file.WriteIndentedLine(depth, "<DD>" + KivTags::EscapeAngles(b.m_strComment));
    }
}

void WriteFolderBlocks(CExportFile& file, const CKivDoc& doc, const CFolderNode* first, int depth)
{
    for (const CFolderNode* f = first; f; f = f->m_pNext) {
        file.WriteIndentedLine(depth, "<DT><H3>" + f->m_strName + "</H3>");
        file.WriteIndentedLine(depth, "<DL><p>");
        WriteBookmarkLines(file, doc, *f, depth + 1);
        if (f->m_pFirstChild)
            WriteFolderBlocks(file, doc, f->m_pFirstChild, depth + 1);
        file.WriteIndentedLine(depth, "</DL><p>");
    }
}

} // namespace

FormatResult ExportNetscape(const CKivDoc& doc, const QString& path)
{
    FormatResult result;
    CExportFile file;
    if (!file.Open(path)) {
        result.status = FormatResult::notOpened;
        return result;
    }
    file.WriteIndentedLine(0, "<!DOCTYPE NETSCAPE-Bookmark-file-1>");
    file.WriteIndentedLine(0, "<TITLE>Your Bookmarks</TITLE>");
    file.WriteIndentedLine(0, "<H1>Bookmarks</H1>");
    file.WriteIndentedLine(0, "<DL><p>");
    WriteBookmarkLines(file, doc, doc.m_root, 0);
    WriteFolderBlocks(file, doc, doc.m_root.m_pFirstChild, 1);
    file.WriteIndentedLine(0, "</DL><p>");
    if (!file.Close(&result.error))
        result.status = FormatResult::fileError;
    return result;
}

// --- import --------------------------------------------------------------------------

namespace {

// Lists nest at most this deep (the root's list included). Deeper lists are counted
// but open no folder: what they hold goes into the innermost folder that is open,
// and their ends close nothing that is open, so the rest of the file keeps its shape.
constexpr int kMaxOpenLists = 100;

} // namespace

void ParseNetscapeFile(CKivDoc& doc, CTextLines& lines, bool compareMode)
{
    constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();
    const std::string newName = KivStrings::Load(IDS_NEW).toStdString();
    std::array<CFolderNode*, kMaxOpenLists> folderStack{};
    int depth = 0;
    int surplus = 0; // lists open beyond the stack
    std::string pendingName;
    int64_t lastIndex = -1;
    std::string url, name;

    std::string_view line;
    while (lines.Next(line)) {
        int p = KivTags::MatchTag(line, "<DT><A ");
        if (p >= 0) {
            lastIndex = -1;
            if (depth == 0)
                continue;
            const int q = KivTags::MatchTag(line.substr(size_t(p)), "HREF=\"");
            if (q < 0)
                continue;
            const size_t start = size_t(p) + size_t(q);
            size_t quote = line.find('"', start);
            if (quote == std::string_view::npos)
                quote = line.size();
            url.assign(line.substr(start, quote - start));
            name.clear();
            const size_t gt = line.find('>', quote);
            if (gt != std::string_view::npos) {
                const size_t lt = line.find('<', gt + 1);
                name.assign(line.substr(gt + 1, lt == std::string_view::npos ? lt : lt - gt - 1));
            }
            if (url.empty() || name.empty())
                continue;
            CFolderNode* target = compareMode ? &doc.m_check : folderStack[size_t(depth - 1)];
            uint32_t index = kNone;
            doc.AddBookmark(url.c_str(), name.c_str(), "", target, compareMode, &index);
            if (index != kNone)
                lastIndex = index;
            continue;
        }
        if ((p = KivTags::MatchTag(line, "<DD>")) >= 0 && lastIndex >= 0) {
            std::string comment = KivTags::UnescapeAngles(KivText::Trim(line.substr(size_t(p))));
            if (!comment.empty()) {
                const auto i = static_cast<uint32_t>(lastIndex);
                if (!compareMode && doc.Bookmark(i).m_strComment != comment)
                    doc.SetModifiedFlag();
                doc.SetBookmarkComment(i, std::move(comment));
            }
            continue;
        }
        if ((p = KivTags::MatchTag(line, "<DT><H3")) >= 0) {
            pendingName.clear();
            const size_t gt = line.find('>', size_t(p));
            if (gt != std::string_view::npos) {
                const size_t lt = line.find('<', gt + 1);
                pendingName.assign(
                    line.substr(gt + 1, lt == std::string_view::npos ? lt : lt - gt - 1));
            }
            if (pendingName.empty())
                pendingName = newName;
            continue;
        }
        if (KivTags::MatchTag(line, "<DL>") >= 0) {
            if (depth == kMaxOpenLists) {
                ++surplus;
            } else if (compareMode) {
                folderStack[size_t(depth++)] = &doc.m_check;
            } else if (depth == 0) {
                folderStack[0] = &doc.m_root;
                depth = 1;
            } else {
                folderStack[size_t(depth)]
                    = doc.CreateFolder(folderStack[size_t(depth - 1)], pendingName, true);
                ++depth;
            }
            continue;
        }
        if (KivTags::MatchTag(line, "</DL>") >= 0) {
            if (surplus > 0)
                --surplus;
            else if (depth > 0)
                --depth;
            pendingName = newName;
        }
    }
}

FormatResult ImportNetscape(CKivDoc& doc, const QString& path)
{
    return ReadMarkedFile(doc, path, kNetscapeMarker, IDS_WRONG_NETSCAPE, ParseNetscapeFile, false);
}
