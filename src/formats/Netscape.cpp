#include "Netscape.h"

#include "ExportFile.h"
#include "ImportTarget.h"
#include "TextLines.h"
#include "framework/TextRules.h"
#include "model/KivDoc.h"
#include "res/Strings.h"

#include <QString>

#include <array>
#include <cctype>
#include <charconv>
#include <cstdint>

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

} // namespace KivTags

namespace {

void AppendReference(std::string& out, char32_t c)
{
    out += "&#" + std::to_string(uint32_t(c)) + ';';
}

void AppendEscaped(std::string& out, std::string_view text, bool keepLineFeeds)
{
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\r':
            AppendReference(out, '\r');
            break;
        case '\n':
            if (keepLineFeeds)
                out += c;
            else
                AppendReference(out, '\n');
            break;
        default:
            out += c;
        }
    }
}

// The code point of a numeric reference's digits, as browsers take it: what cannot be
// a character becomes U+FFFD, and 128-159 are the Windows-1252 characters.
std::string NumericReference(std::string_view digits, int base)
{
    uint32_t cp = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), cp, base);
    if (ec == std::errc::result_out_of_range)
        cp = 0x110000;
    else if (ec != std::errc() || end != digits.data() + digits.size())
        return {};
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = 0xFFFD;
    if (cp >= 0x80 && cp <= 0x9F)
        return KivText::Windows1252ToUtf8(std::string(1, static_cast<char>(cp)));
    const auto ucs4 = static_cast<char32_t>(cp);
    return QString::fromUcs4(&ucs4, 1).toStdString();
}

} // namespace

namespace KivTags {

std::string EscapeHtml(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    AppendEscaped(out, text, false);
    return out;
}

std::string DecodeEntities(std::string_view text)
{
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 10> kNamed = {{
        {"amp", "&"},
        {"lt", "<"},
        {"gt", ">"},
        {"quot", "\""},
        {"apos", "'"},
        {"nbsp", "\u00A0"},
        {"AMP", "&"},
        {"LT", "<"},
        {"GT", ">"},
        {"QUOT", "\""},
    }};
    constexpr size_t kLongest = 16; // longer references than this are taken as text
    std::string out;
    out.reserve(text.size());
    size_t from = 0;
    for (size_t amp; (amp = text.find('&', from)) != std::string_view::npos;) {
        out.append(text, from, amp - from);
        from = amp + 1;
        const size_t semi = text.substr(from, kLongest + 1).find(';');
        if (semi == std::string_view::npos) {
            out += '&';
            continue;
        }
        const std::string_view ref = text.substr(from, semi);
        std::string decoded;
        if (ref.size() > 1 && ref[0] == '#') {
            const bool hex = ref[1] == 'x' || ref[1] == 'X';
            decoded = NumericReference(ref.substr(hex ? 2 : 1), hex ? 16 : 10);
        } else {
            for (const auto& [name, value] : kNamed) {
                if (ref == name) {
                    decoded = value;
                    break;
                }
            }
        }
        if (decoded.empty()) {
            out += '&';
            continue;
        }
        out += decoded;
        from += semi + 1;
    }
    out.append(text, from);
    return out;
}

} // namespace KivTags

// --- export --------------------------------------------------------------------------

namespace {

// A comment keeps its line breaks as lines of the file; the white space at its ends,
// which a reader trims, goes as character references so that it comes back.
std::string EscapeComment(std::string_view comment)
{
    const size_t lead = comment.size() - KivText::TrimLeft(comment).size();
    const size_t body = KivText::Trim(comment).size();
    std::string out;
    out.reserve(comment.size());
    for (size_t i = 0; i < comment.size();) {
        if (i >= lead && i < lead + body) {
            AppendEscaped(out, comment.substr(i, body), true);
            i += body;
            continue;
        }
        // A white-space character at an end: one reference for the whole character.
        char32_t cp = static_cast<unsigned char>(comment[i++]);
        if (cp >= 0xC0) {
            cp &= cp >= 0xF0 ? 0x07 : cp >= 0xE0 ? 0x0F : 0x1F;
            for (; i < comment.size() && (static_cast<unsigned char>(comment[i]) & 0xC0) == 0x80;
                 ++i)
                cp = (cp << 6) | (static_cast<unsigned char>(comment[i]) & 0x3F);
        }
        AppendReference(out, cp);
    }
    return out;
}

void WriteBookmarkLines(const IndentedLineSink& put, const CKivDoc& doc, const CFolderNode& folder,
                        int depth)
{
    std::string line;
    for (uint32_t i : folder.m_aBookmarks) {
        const CBookmark& b = doc.Bookmark(i);
        line.assign("<DT><A HREF=\"");
        AppendEscaped(line, b.m_strUrl, false);
        line.append("\">");
        AppendEscaped(line, b.m_strName, false);
        line.append("</A>");
        put(depth, line);
        if (b.m_strComment.empty())
            continue;
        const std::string comment = EscapeComment(b.m_strComment);
        const std::string_view text = comment;
        size_t from = 0;
        for (size_t end; (end = text.find('\n', from)) != std::string_view::npos; from = end + 1) {
            if (from == 0)
                put(depth, "<DD>" + std::string(text.substr(0, end)));
            else
                put(0, text.substr(from, end - from));
        }
        if (from == 0)
            put(depth, "<DD>" + comment);
        else
            put(0, text.substr(from));
    }
}

void WriteFolderBlocks(const IndentedLineSink& put, const CKivDoc& doc, const CFolderNode* first,
                       int depth)
{
    for (const CFolderNode* f = first; f; f = f->m_pNext) {
        put(depth, "<DT><H3>" + KivTags::EscapeHtml(f->m_strName) + "</H3>");
        put(depth, "<DL><p>");
        WriteBookmarkLines(put, doc, *f, depth + 1);
        if (f->m_pFirstChild)
            WriteFolderBlocks(put, doc, f->m_pFirstChild, depth + 1);
        put(depth, "</DL><p>");
    }
}

} // namespace

void WriteNetscapeLines(const CKivDoc& doc, const IndentedLineSink& put)
{
    put(0, "<!DOCTYPE NETSCAPE-Bookmark-file-1>");
    // The file is UTF-8; a reader not told so may take it for a legacy code page.
    put(0, "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">");
    put(0, "<TITLE>Your Bookmarks</TITLE>");
    put(0, "<H1>Bookmarks</H1>");
    put(0, "<DL><p>");
    WriteBookmarkLines(put, doc, doc.m_root, 0);
    WriteFolderBlocks(put, doc, doc.m_root.m_pFirstChild, 1);
    put(0, "</DL><p>");
}

std::string NetscapeText(const CKivDoc& doc)
{
    std::string text;
    WriteNetscapeLines(doc, [&text](int depth, std::string_view line) {
        for (int i = 0; i < depth; ++i)
            text += "   ";
        text.append(line);
        text += "\r\n";
    });
    return text;
}

FormatResult ExportNetscape(const CKivDoc& doc, const QString& path)
{
    FormatResult result;
    CExportFile file;
    if (!file.Open(path, &result))
        return result;
    WriteNetscapeLines(
        doc, [&file](int depth, std::string_view line) { file.WriteIndentedLine(depth, line); });
    if (!file.Close(&result.error))
        result.status = FormatResult::fileError;
    return result;
}

// --- import --------------------------------------------------------------------------

namespace {

bool IsHtmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (std::tolower(x) != std::tolower(y))
            return false;
    }
    return true;
}

// A tag from just past its name: its HREF attribute (found wherever it stands, the
// attribute names in any case, the value quoted with either quote or bare) and the
// text after the tag's '>' up to the next '<'. A tag that does not end on its line
// has no text.
struct TagParts
{
    bool hasHref = false;
    std::string_view href;
    std::string_view text;
};

TagParts ReadTag(std::string_view s)
{
    TagParts t;
    const size_t n = s.size();
    size_t i = 0;
    for (;;) {
        while (i < n && IsHtmlSpace(s[i]))
            ++i;
        if (i >= n)
            return t;
        if (s[i] == '>')
            break;
        const size_t nameStart = i;
        while (i < n && !IsHtmlSpace(s[i]) && s[i] != '=' && s[i] != '>')
            ++i;
        const std::string_view name = s.substr(nameStart, i - nameStart);
        size_t j = i;
        while (j < n && IsHtmlSpace(s[j]))
            ++j;
        if (j >= n || s[j] != '=')
            continue;
        i = j + 1;
        while (i < n && IsHtmlSpace(s[i]))
            ++i;
        std::string_view value;
        if (i < n && (s[i] == '"' || s[i] == '\'')) {
            const char quote = s[i++];
            const size_t close = s.find(quote, i);
            value = s.substr(i, close == std::string_view::npos ? close : close - i);
            i = close == std::string_view::npos ? n : close + 1;
        } else {
            const size_t start = i;
            while (i < n && !IsHtmlSpace(s[i]) && s[i] != '>')
                ++i;
            value = s.substr(start, i - start);
        }
        if (!t.hasHref && EqualsNoCase(name, "HREF")) {
            t.hasHref = true;
            t.href = value;
        }
    }
    const std::string_view after = s.substr(i + 1);
    t.text = after.substr(0, after.find('<'));
    return t;
}

// The line starts a tag (after blanks and tabs): it ends a comment that runs over
// several lines.
bool IsTagLine(std::string_view line)
{
    const size_t p = line.find_first_not_of(" \t");
    return p != std::string_view::npos && line[p] == '<';
}

// One run over the lines of a file; what it reads goes to the document through
// CImportTarget (lists nest at most 100 deep, the root's included).
class CNetscapeReader
{
public:
    CNetscapeReader(CKivDoc& doc, bool compareMode)
        : m_target(doc, compareMode)
        , m_newName(KivStrings::Load(IDS_NEW).toStdString())
    {}

    void Line(std::string_view line)
    {
        if (m_inComment) {
            if (!IsTagLine(line)) {
                m_comment += '\n';
                m_comment.append(line);
                return;
            }
            FinishComment();
        }
        // Several tags may share a line: a separator or the start or end of a list is
        // followed by what stands after it.
        for (;;) {
            int p;
            if ((p = KivTags::MatchTag(line, "<DT><A ")) >= 0)
                return Bookmark(ReadTag(line.substr(size_t(p))));
            if ((p = KivTags::MatchTag(line, "<DD>")) >= 0) {
                m_inComment = true;
                m_comment.assign(line.substr(size_t(p)));
                return;
            }
            if ((p = KivTags::MatchTag(line, "<DT><H3")) >= 0)
                return Heading(ReadTag(line.substr(size_t(p))));
            if ((p = KivTags::MatchTag(line, "<DL>")) >= 0)
                OpenList();
            else if ((p = KivTags::MatchTag(line, "</DL>")) >= 0)
                CloseList();
            else if ((p = KivTags::MatchTag(line, "<HR>")) < 0 && (p = KivTags::MatchTag(line, "<p>")) < 0)
                return;
            line.remove_prefix(size_t(p));
        }
    }

    void End() { FinishComment(); }

private:
    static constexpr uint32_t kNone = CImportTarget::kNone;

    void Bookmark(const TagParts& tag)
    {
        m_lastIndex = kNone;
        // Before any list tag the file is one that leaves out the list around its top
        // level; once lists began, a bookmark outside them is out of place.
        if ((!m_topOpen && m_listSeen) || !tag.hasHref)
            return;
        m_lastIndex = m_target.AddBookmark(KivTags::DecodeEntities(tag.href), KivTags::DecodeEntities(tag.text), "");
    }

    void Heading(const TagParts& tag)
    {
        m_lastIndex = kNone; // a description after a heading is the folder's own
        m_pendingName = KivTags::DecodeEntities(tag.text);
        if (m_pendingName.empty())
            m_pendingName = m_newName;
        if (!m_topOpen)
            m_headingAtTop = true;
    }

    // The first list is the top level's (the root's); each later one is the folder of
    // the heading before it.
    void OpenList()
    {
        m_listSeen = true;
        if (m_topOpen) {
            m_target.OpenFolder(m_pendingName);
        } else {
            m_topOpen = true;
            // A folder heading before any list: the file leaves out the list around
            // its top level, and this list is that folder's.
            if (m_headingAtTop)
                m_target.OpenFolder(m_pendingName);
        }
        m_headingAtTop = false;
    }

    void CloseList()
    {
        m_listSeen = true;
        if (m_target.AnyOpen())
            m_target.CloseFolder();
        else
            m_topOpen = false;
        m_pendingName = m_newName;
        m_headingAtTop = false;
    }

    void FinishComment()
    {
        if (!m_inComment)
            return;
        m_inComment = false;
        if (m_lastIndex == kNone)
            return;
        std::string comment = KivTags::DecodeEntities(KivText::Trim(m_comment));
        if (!comment.empty())
            m_target.SetComment(m_lastIndex, std::move(comment));
    }

    CImportTarget m_target;
    const std::string m_newName;
    bool m_topOpen = false; // the top level's list is open
    std::string m_pendingName;
    bool m_headingAtTop = false;  // a heading met while no list was open
    bool m_listSeen = false;      // a <DL> or </DL> was met
    uint32_t m_lastIndex = kNone; // the bookmark a <DD> describes
    bool m_inComment = false;
    std::string m_comment;
};

bool StartsWithTag(std::string_view text, std::string_view tag)
{
    if (text.size() < tag.size() || !EqualsNoCase(text.substr(0, tag.size()), tag))
        return false;
    return text.size() == tag.size() || text[tag.size()] == '>' || IsHtmlSpace(text[tag.size()]);
}

// A file that lacks the DOCTYPE line is still a bookmark file when nothing but the head
// of one (<META, <TITLE>, <H1>, comments, a DOCTYPE further down) stands before its
// first <DL>. Other HTML pages begin otherwise.
bool BeginsLikeBookmarkFile(CTextLines& lines)
{
    lines.Rewind();
    std::string_view line;
    bool first = true;
    bool inComment = false;
    bool afterTag = false;
    while (lines.Next(line)) {
        if (first && line.substr(0, 3) == "\xEF\xBB\xBF")
            line.remove_prefix(3);
        first = false;
        if (inComment) {
            inComment = line.find("-->") == std::string_view::npos;
            continue;
        }
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string_view::npos)
            continue;
        const std::string_view text = line.substr(start);
        if (KivTags::MatchTag(text, "<DL>") >= 0)
            return true;
        if (text.substr(0, 4) == "<!--") {
            inComment = text.find("-->", 4) == std::string_view::npos;
        } else if (StartsWithTag(text, "<META") || StartsWithTag(text, "<TITLE")
                   || StartsWithTag(text, "<H1")
                   || (text.substr(0, 2) == "<!" && text.find(kNetscapeMarker) != text.npos)) {
            afterTag = true;
        } else if (text[0] == '<' || !afterTag) {
            return false; // a tag of another page, or text before any tag
        }
    }
    return false;
}

} // namespace

void ParseNetscapeFile(CKivDoc& doc, CTextLines& lines, bool compareMode)
{
    CNetscapeReader reader(doc, compareMode);
    std::string_view line;
    while (lines.Next(line))
        reader.Line(line);
    reader.End();
}

FormatResult ReadNetscapeFile(CKivDoc& doc, const QString& path, bool compareMode)
{
    CTextLines lines;
    FormatResult result
        = OpenMarkedFile(lines, path, kNetscapeMarker, IDS_WRONG_NETSCAPE, compareMode);
    if (result.status == FormatResult::wrongType && BeginsLikeBookmarkFile(lines)) {
        lines.Rewind();
        result = FormatResult();
    }
    if (result.Ok())
        ParseNetscapeFile(doc, lines, compareMode);
    return result;
}

FormatResult ImportNetscape(CKivDoc& doc, const QString& path)
{
    return ReadNetscapeFile(doc, path, false);
}
