#include "Json.h"

#include "framework/TextRules.h"
#include "model/KivDoc.h"

#include <cstdio>

namespace KivJson {

std::string Quote(std::string_view raw)
{
    // Model text is UTF-8; bytes from elsewhere that are not are shown as Windows-1252.
    const std::string text
        = KivText::IsValidUtf8(raw) ? std::string(raw) : KivText::Windows1252ToUtf8(raw);
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned char>(c));
                out += buf;
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

std::string BookmarkObject(const CBookmark& b)
{
    return "{\"url\":" + Quote(b.m_strUrl) + ",\"name\":" + Quote(b.m_strName)
           + ",\"comment\":" + Quote(b.m_strComment) + '}';
}

namespace {
void DumpFolder(const CFolderNode& folder, bool named, std::string& out)
{
    out += '{';
    if (named) {
        out += "\"name\":";
        out += Quote(folder.m_strName);
        out += ',';
    }
    out += "\"bookmarks\":[";
    for (size_t k = 0; k < folder.m_aBookmarks.size(); ++k) {
        if (k)
            out += ',';
        out += std::to_string(folder.m_aBookmarks[k]);
    }
    out += "],\"folders\":[";
    for (const CFolderNode* c = folder.m_pFirstChild; c; c = c->m_pNext) {
        if (c != folder.m_pFirstChild)
            out += ',';
        DumpFolder(*c, true, out);
    }
    out += "]}";
}
} // namespace

std::string Dump(const CKivDoc& doc)
{
    std::string out = "{\"bookmarks\":[";
    const auto& table = doc.Bookmarks();
    for (size_t k = 0; k < table.size(); ++k) {
        if (k)
            out += ',';
        out += BookmarkObject(table[k]);
    }
    out += "],\"root\":";
    DumpFolder(doc.m_root, false, out);
    out += '}';
    return out;
}

} // namespace KivJson
