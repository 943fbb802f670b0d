#include "Opera.h"

#include "ExportFile.h"
#include "Netscape.h"
#include "TextLines.h"
#include "framework/TextRules.h"
#include "model/KivDoc.h"
#include "res/Strings.h"

#include <QDateTime>

#include <array>
#include <charconv>
#include <cstdlib>
#include <string>

int64_t HotlistClock()
{
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
        const std::string_view text(epoch);
        int64_t value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec == std::errc() && end == text.data() + text.size() && !text.empty())
            return value;
    }
    return QDateTime::currentSecsSinceEpoch();
}

// --- export --------------------------------------------------------------------------

namespace {

void WriteHotlistBookmarks(CExportFile& file, const CKivDoc& doc, const CFolderNode& folder)
{
    int order = 0;
    for (uint32_t i : folder.m_aBookmarks) {
        const CBookmark& b = doc.Bookmark(i);
        file.WriteHotlistLine(true, "#URL");
        file.WriteHotlistLine(false, "NAME=" + b.m_strName);
        file.WriteHotlistLine(false, "URL=" + b.m_strUrl);
        file.WriteHotlistLine(false, "VISITED=0");
        file.WriteHotlistLine(false, "ORDER=" + std::to_string(order++));
        file.WriteHotlistLine(false, "DESCRIPTION=" + b.m_strComment);
        file.WriteHotlistLine(false, "SHORT NAME=");
        file.WriteHotlistLine(true, "");
    }
}

void WriteHotlistFolders(CExportFile& file, const CKivDoc& doc, const CFolderNode* first, int order,
                         const std::function<int64_t()>& clock)
{
    if (!first)
        return;
    const std::string created = "CREATED=" + std::to_string(clock());
    for (const CFolderNode* f = first; f; f = f->m_pNext, ++order) {
        file.WriteHotlistLine(true, "#FOLDER");
        file.WriteHotlistLine(false, "NAME=" + f->m_strName);
        file.WriteHotlistLine(false, created);
        file.WriteHotlistLine(false, "VISITED=0");
        file.WriteHotlistLine(false, "ORDER=" + std::to_string(order));
        file.WriteHotlistLine(false, "DESCRIPTION=");
        file.WriteHotlistLine(false, "SHORT NAME=");
        file.WriteHotlistLine(true, "");
        if (f->m_pFirstChild)
            WriteHotlistFolders(file, doc, f->m_pFirstChild,
                                static_cast<int>(f->m_aBookmarks.size()), clock);
        WriteHotlistBookmarks(file, doc, *f);
        file.WriteHotlistLine(true, "-");
    }
}

} // namespace

FormatResult ExportOpera(const CKivDoc& doc, const QString& path,
                         const std::function<int64_t()>& clock)
{
    FormatResult result;
    CExportFile file;
    if (!file.Open(path)) {
        result.status = FormatResult::notOpened;
        return result;
    }
    file.WriteHotlistLine(true, "Opera Hotlist version 2.0");
    file.WriteHotlistLine(true, "");
    WriteHotlistFolders(file, doc, doc.m_root.m_pFirstChild,
                        static_cast<int>(doc.m_root.m_aBookmarks.size()), clock);
    WriteHotlistBookmarks(file, doc, doc.m_root);
    file.WriteHotlistLine(true, "-");
    if (!file.Close(&result.error))
        result.status = FormatResult::fileError;
    return result;
}

// --- import --------------------------------------------------------------------------

namespace {

// At most 99 folders open inside each other. A deeper folder opens nothing: its
// bookmarks go into the innermost open folder and its "-" closes nothing that is open.
constexpr int kStackSize = 100;

bool TakeValue(std::string_view line, std::string_view key, std::string_view& value)
{
    if (line.substr(0, key.size()) != key)
        return false;
    value = line.substr(key.size());
    return true;
}

} // namespace

void ParseHotlist(CKivDoc& doc, CTextLines& lines, bool checkMode)
{
    enum class State { none, folderHeader, urlRecord };
    State state = State::none;
    std::string url, name, comment;
    std::array<CFolderNode*, kStackSize> folderStack{};
    folderStack[0] = checkMode ? &doc.m_check : &doc.m_root;
    int top = 0;
    int surplus = 0;

    const auto flush = [&] {
        if (state == State::urlRecord && !name.empty())
            doc.AddBookmark(url.c_str(), name.c_str(), comment.c_str(), folderStack[size_t(top)],
                            checkMode);
    };

    std::string_view raw;
    std::string trimmed;
    while (lines.Next(raw)) {
        trimmed = KivText::Trim(raw);
        const std::string_view line = trimmed;
        if (line.empty())
            continue;
        if (KivTags::MatchTag(line, "#FOLDER") >= 0) {
            flush();
            state = State::folderHeader;
        } else if (KivTags::MatchTag(line, "#URL") >= 0) {
            flush();
            url.clear();
            name.clear();
            comment.clear();
            state = State::urlRecord;
        } else if (line == "-") {
            flush();
            if (surplus > 0)
                --surplus;
            else if (top > 0)
                --top;
            state = State::none;
        } else {
            std::string_view value;
            if (TakeValue(line, "NAME=", value)) {
                if (state == State::folderHeader) {
                    if (top + 1 == kStackSize) {
                        ++surplus;
                    } else {
                        folderStack[size_t(top + 1)]
                            = checkMode ? &doc.m_check
                                        : doc.CreateFolder(folderStack[size_t(top)], value, true);
                        ++top;
                    }
                    state = State::none;
                } else if (state == State::urlRecord) {
                    name.assign(value);
                }
            } else if (TakeValue(line, "URL=", value)) {
                if (state == State::urlRecord)
                    url.assign(value);
            } else if (TakeValue(line, "DESCRIPTION=", value)) {
                if (state == State::urlRecord)
                    comment.assign(value);
            }
        }
    }
    flush();
}

FormatResult ImportOpera(CKivDoc& doc, const QString& path)
{
    return ReadMarkedFile(doc, path, kOperaMarker, IDS_WRONG_OPERA, ParseHotlist, false);
}
