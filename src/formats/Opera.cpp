#include "Opera.h"

#include "ExportFile.h"
#include "ImportTarget.h"
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

// Opera keeps a value on its line by storing each line break as 0x02 0x02.
constexpr std::string_view kLineBreak = "\x02\x02";

std::string HotlistValue(std::string_view key, std::string_view text)
{
    std::string out(key);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += kLineBreak;
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// A stray CR inside a line is a line break too, as the writer has it.
std::string TextOfValue(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        if (value.substr(i, kLineBreak.size()) == kLineBreak) {
            out += '\n';
            ++i;
        } else {
            out += value[i] == '\r' ? '\n' : value[i];
        }
    }
    return out;
}

void WriteHotlistBookmarks(const HotlistLineSink& put, const CKivDoc& doc,
                           const CFolderNode& folder)
{
    int order = 0;
    for (uint32_t i : folder.m_aBookmarks) {
        const CBookmark& b = doc.Bookmark(i);
        put(true, "#URL");
        put(false, HotlistValue("NAME=", b.m_strName));
        put(false, HotlistValue("URL=", b.m_strUrl));
        put(false, "VISITED=0");
        put(false, "ORDER=" + std::to_string(order++));
        put(false, HotlistValue("DESCRIPTION=", b.m_strComment));
        put(false, "SHORT NAME=");
        put(true, "");
    }
}

void WriteHotlistFolders(const HotlistLineSink& put, const CKivDoc& doc, const CFolderNode* first,
                         int order, const std::function<int64_t()>& clock)
{
    if (!first)
        return;
    const std::string created = "CREATED=" + std::to_string(clock());
    for (const CFolderNode* f = first; f; f = f->m_pNext, ++order) {
        put(true, "#FOLDER");
        put(false, HotlistValue("NAME=", f->m_strName));
        put(false, created);
        put(false, "VISITED=0");
        put(false, "ORDER=" + std::to_string(order));
        put(false, "DESCRIPTION=");
        put(false, "SHORT NAME=");
        put(true, "");
        if (f->m_pFirstChild)
            WriteHotlistFolders(put, doc, f->m_pFirstChild,
                                static_cast<int>(f->m_aBookmarks.size()), clock);
        WriteHotlistBookmarks(put, doc, *f);
        put(true, "-");
    }
}

} // namespace

void WriteHotlistLines(const CKivDoc& doc, const std::function<int64_t()>& clock,
                       const HotlistLineSink& put)
{
    put(true, "Opera Hotlist version 2.0");
    // Every hotlist Opera writes says how its text is encoded; ours is UTF-8.
    put(true, "Options: encoding = utf8");
    put(true, "");
    WriteHotlistFolders(put, doc, doc.m_root.m_pFirstChild,
                        static_cast<int>(doc.m_root.m_aBookmarks.size()), clock);
    WriteHotlistBookmarks(put, doc, doc.m_root);
    put(true, "-");
}

std::string HotlistText(const CKivDoc& doc, const std::function<int64_t()>& clock)
{
    std::string text;
    WriteHotlistLines(doc, clock, [&text](bool atMargin, std::string_view line) {
        if (!atMargin)
            text += '\t';
        text.append(line);
        text += "\r\n";
    });
    return text;
}

FormatResult ExportOpera(const CKivDoc& doc, const QString& path,
                         const std::function<int64_t()>& clock)
{
    FormatResult result;
    CExportFile file;
    if (!file.Open(path, &result))
        return result;
    WriteHotlistLines(doc, clock, [&file](bool atMargin, std::string_view line) {
        file.WriteHotlistLine(atMargin, line);
    });
    if (!file.Close(&result.error))
        result.status = FormatResult::fileError;
    return result;
}

// --- import --------------------------------------------------------------------------

namespace {

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
    // The folder record being read opens its folder when it ends (an empty line, the
    // next record or "-"), once its keys are known.
    bool folderNamed = false;
    bool folderTrash = false;
    std::string folderName;
    CImportTarget target(doc, checkMode);

    const auto flush = [&] {
        if (state == State::urlRecord)
            target.AddBookmark(url, name, comment);
    };
    const auto openFolder = [&] {
        if (state != State::folderHeader)
            return;
        state = State::none;
        if (folderTrash)
            target.OpenTrash();
        else if (folderNamed)
            target.OpenFolder(folderName);
        else
            target.OpenSameFolder(); // its items stay in the enclosing folder
    };

    std::string_view raw;
    std::string trimmed;
    while (lines.Next(raw)) {
        // The model's texts end at a NUL: so does the line, before its ends are trimmed.
        trimmed = KivText::Trim(raw.substr(0, raw.find('\0')));
        const std::string_view line = trimmed;
        if (line.empty()) {
            openFolder();
            continue;
        }
        if (line[0] == '#' || line == "-") {
            flush();
            openFolder();
            state = State::none;
            if (KivTags::MatchTag(line, "#FOLDER") >= 0) {
                state = State::folderHeader;
                folderNamed = folderTrash = false;
            } else if (KivTags::MatchTag(line, "#URL") >= 0) {
                url.clear();
                name.clear();
                comment.clear();
                state = State::urlRecord;
            } else if (line == "-") {
                target.CloseFolder();
            }
            continue;
        }
        std::string_view value;
        if (TakeValue(line, "NAME=", value)) {
            if (state == State::folderHeader && !folderNamed) {
                folderNamed = true;
                folderName = TextOfValue(value);
            } else if (state == State::urlRecord) {
                name = TextOfValue(value);
            }
        } else if (TakeValue(line, "URL=", value)) {
            if (state == State::urlRecord)
                url = TextOfValue(value);
        } else if (TakeValue(line, "DESCRIPTION=", value)) {
            if (state == State::urlRecord)
                comment = TextOfValue(value);
        } else if (line == "TRASH FOLDER=YES") {
            if (state == State::folderHeader)
                folderTrash = true;
        }
    }
    flush();
    openFolder();
}

FormatResult ImportOpera(CKivDoc& doc, const QString& path)
{
    return ReadMarkedFile(doc, path, kOperaMarker, IDS_WRONG_OPERA, ParseHotlist, false);
}
