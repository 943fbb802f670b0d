#include "Find.h"

#include "framework/TextRules.h"
#include "model/KivDoc.h"

#include <QChar>

#include <string>

namespace {

// The search text prepared once per request, and one scratch buffer for every field,
// so a search over a million bookmarks allocates nothing per field. Case folding is
// per character (simple folding), exactly as KivText::ContainsNoCase folds; pure
// ASCII fields, the common case, are matched byte by byte.
class CMatcher
{
public:
    CMatcher(std::string_view text, const FindFields& fields)
        : m_text(text)
        , m_fields(fields)
        , m_ascii(KivText::IsAscii(text))
    {
        m_valid = Fold(text, m_needle);
        if (m_ascii)
            for (char c : text)
                m_lower += Lower(c);
    }

    bool Matches(const CBookmark& b) const
    {
        return (m_fields.name && Contains(b.m_strName)) || (m_fields.url && Contains(b.m_strUrl))
               || (m_fields.comment && Contains(b.m_strComment));
    }

private:
    static char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

    // The folded characters of UTF-8 text; false when it is not valid UTF-8.
    static bool Fold(std::string_view text, std::u32string& out)
    {
        out.clear();
        for (size_t i = 0; i < text.size();) {
            const auto b = static_cast<unsigned char>(text[i]);
            if (b < 0x80) {
                out += char32_t(Lower(char(b)));
                ++i;
                continue;
            }
            const size_t len = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
            if (i + len > text.size() || !KivText::IsValidUtf8(text.substr(i, len)))
                return false;
            char32_t cp = b & (0x7F >> len);
            for (size_t k = 1; k < len; ++k)
                cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
            out += QChar::toCaseFolded(cp);
            i += len;
        }
        return true;
    }

    bool FoldedContains(std::string_view field) const
    {
        if (!m_valid || !Fold(field, m_scratch))
            return KivText::ContainsNoCase(field, m_text);
        return std::u32string_view(m_scratch).find(m_needle) != std::u32string_view::npos;
    }

    bool Contains(const std::string& field) const
    {
        if (!m_ascii)
            return FoldedContains(field);
        const char* data = field.data();
        const size_t n = field.size(), m = m_lower.size();
        const char first = m_lower[0];
        size_t i = 0;
        for (; i + m <= n; ++i) {
            const char c = data[i];
            if (static_cast<unsigned char>(c) >= 0x80)
                return FoldedContains(field);
            if (Lower(c) != first)
                continue;
            size_t k = 1;
            while (k < m && Lower(data[i + k]) == m_lower[k])
                ++k;
            if (k == m)
                return true;
        }
        // A tail shorter than the text may still hold letters that fold to ASCII.
        for (; i < n; ++i)
            if (static_cast<unsigned char>(data[i]) >= 0x80)
                return FoldedContains(field);
        return false;
    }

    std::string_view m_text;
    FindFields m_fields;
    bool m_ascii;
    bool m_valid = true;
    std::string m_lower;
    std::u32string m_needle;
    mutable std::u32string m_scratch;
};

// Tests bookmarks for one search. The walk follows the tree, which jumps about the
// table; once it has tested more than a few thousand entries without a hit, every
// entry is tested once in table order (memory read front to back, each bookmark once
// however many folders list it) and the walk goes on over the remembered answers.
class CSearch
{
public:
    CSearch(const CKivDoc& doc, const CMatcher& matcher)
        : m_doc(doc)
        , m_table(doc.Bookmarks().data())
        , m_count(doc.BookmarkCount())
        , m_matcher(matcher)
    {}

    bool Test(uint32_t i)
    {
        if (m_budget > 0) {
            --m_budget;
            return m_matcher.Matches(m_table[i]);
        }
        if (m_hits.empty()) {
            m_hits.resize(m_count);
            for (uint32_t k = 0; k < m_count; ++k)
                m_hits[k] = m_matcher.Matches(m_table[k]);
        }
        return m_hits[i] != 0;
    }

    // Folders moved below the trash or the check folder have no place in the tree,
    // so a hit there could not be shown: the walk does not go into them. (The
    // trash's and the check folder's own lists are searched.)
    bool Descends(const CFolderNode* f) const { return !m_doc.IsTrash(f) && !m_doc.IsCheck(f); }

private:
    static constexpr size_t kDirectTests = 20000;

    const CKivDoc& m_doc;
    const CBookmark* m_table;
    uint32_t m_count;
    const CMatcher& m_matcher;
    size_t m_budget = kDirectTests;
    std::vector<uint8_t> m_hits;
};

FindHit SearchChain(CSearch& search, CFolderNode* folder, int start)
{
    for (CFolderNode* f = folder; f; f = f->m_pNext, start = 0) {
        const std::vector<uint32_t>& list = f->m_aBookmarks;
        for (size_t k = start < 0 ? 0 : size_t(start); k < list.size(); ++k)
            if (search.Test(list[k]))
                return {f, static_cast<int>(k)};
        if (f->m_pFirstChild && search.Descends(f))
            if (FindHit hit = SearchChain(search, f->m_pFirstChild, 0))
                return hit;
    }
    return {};
}

FindHit SearchFrom(CSearch& search, CFolderNode* folder, int start)
{
    if (!folder)
        return {};
    if (FindHit hit = SearchChain(search, folder, start))
        return hit;
    for (CFolderNode* f = folder->m_pParent; f;) {
        while (f && !f->m_pNext)
            f = f->m_pParent;
        if (!f)
            break;
        if (FindHit hit = SearchChain(search, f->m_pNext, 0))
            return hit;
        f = f->m_pNext->m_pParent;
    }
    return {};
}

// One search with its own matcher over the walk that `from` names.
FindHit Search(const CKivDoc& doc, CFolderNode* folder, int start, std::string_view text,
               const FindFields& fields, FindHit (*from)(CSearch&, CFolderNode*, int))
{
    if (text.empty())
        return {};
    const CMatcher matcher(text, fields);
    CSearch search(doc, matcher);
    return from(search, folder, start);
}

} // namespace

FindHit FindInChain(const CKivDoc& doc, CFolderNode* folder, int start, std::string_view text,
                    const FindFields& fields)
{
    return Search(doc, folder, start, text, fields, SearchChain);
}

FindHit FindFrom(const CKivDoc& doc, CFolderNode* folder, int start, std::string_view text,
                 const FindFields& fields)
{
    return Search(doc, folder, start, text, fields, SearchFrom);
}

void BeginFind(CKivDoc& doc)
{
    doc.m_bFindFromTop = true;
    doc.m_nFindPos = 0;
}

FindStep FindNext(CKivDoc& doc, std::string_view searchText, const FindFields& fields)
{
    if (searchText != doc.m_strFindText) {
        doc.m_bFindFromTop = true;
        doc.m_strFindText.assign(searchText);
    }
    FindStep step;
    if (doc.m_strFindText.empty())
        return step;
    if (doc.m_bFindFromTop) {
        doc.m_nFindPos = 0;
        const FindHit hit = FindFrom(doc, &doc.m_root, 0, doc.m_strFindText, fields);
        if (!hit) {
            step.outcome = FindStep::notFound;
            return step;
        }
        doc.m_bFindFromTop = false;
        doc.m_nFindPos = hit.position;
        return {FindStep::hit, hit.folder, hit.position};
    }
    const FindHit hit
        = FindFrom(doc, doc.m_pCurFolder, doc.m_nFindPos + 1, doc.m_strFindText, fields);
    if (!hit) {
        doc.m_bFindFromTop = true;
        return step;
    }
    doc.m_nFindPos = hit.position;
    return {FindStep::hit, hit.folder, hit.position};
}
