#include "Find.h"

#include "framework/TextRules.h"
#include "model/KivDoc.h"

namespace {

// The search text prepared once per request: most fields and most search texts are
// ASCII, and those are matched here without converting anything.
class CMatcher
{
public:
    CMatcher(std::string_view text, const FindFields& fields)
        : m_text(text), m_fields(fields), m_ascii(KivText::IsAscii(text))
    {
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

    bool Contains(const std::string& field) const
    {
        if (field.size() < m_lower.size() && m_ascii)
            return false;
        if (!m_ascii)
            return KivText::ContainsNoCase(field, m_text);
        const char* data = field.data();
        const size_t n = field.size(), m = m_lower.size();
        const char first = m_lower[0];
        for (size_t i = 0; i + m <= n; ++i) {
            const char c = data[i];
            if (static_cast<unsigned char>(c) >= 0x80) // other scripts fold by the full rules
                return KivText::ContainsNoCase(field, m_text);
            if (Lower(c) != first)
                continue;
            size_t k = 1;
            while (k < m && Lower(data[i + k]) == m_lower[k])
                ++k;
            if (k == m)
                return true;
        }
        // The tail shorter than the text may still hold non-ASCII letters whose
        // folding could match; only the full rules can tell.
        for (size_t i = n >= m ? n - m + 1 : 0; i < n; ++i)
            if (static_cast<unsigned char>(data[i]) >= 0x80)
                return KivText::ContainsNoCase(field, m_text);
        return false;
    }

    std::string_view m_text;
    FindFields m_fields;
    bool m_ascii;
    std::string m_lower;
};

FindHit SearchChain(const CKivDoc& doc, CFolderNode* folder, int start, const CMatcher& matcher)
{
    for (CFolderNode* f = folder; f; f = f->m_pNext, start = 0) {
        const std::vector<uint32_t>& list = f->m_aBookmarks;
        for (size_t k = start < 0 ? 0 : size_t(start); k < list.size(); ++k)
            if (matcher.Matches(doc.Bookmark(list[k])))
                return {f, static_cast<int>(k)};
        if (f->m_pFirstChild)
            if (FindHit hit = SearchChain(doc, f->m_pFirstChild, 0, matcher))
                return hit;
    }
    return {};
}

FindHit SearchFrom(const CKivDoc& doc, CFolderNode* folder, int start, const CMatcher& matcher)
{
    if (!folder)
        return {};
    if (FindHit hit = SearchChain(doc, folder, start, matcher))
        return hit;
    for (CFolderNode* f = folder->m_pParent; f;) {
        while (f && !f->m_pNext)
            f = f->m_pParent;
        if (!f)
            break;
        if (FindHit hit = SearchChain(doc, f->m_pNext, 0, matcher))
            return hit;
        f = f->m_pNext->m_pParent;
    }
    return {};
}

}  // namespace

FindHit FindInChain(const CKivDoc& doc, CFolderNode* folder, int start, std::string_view text,
                    const FindFields& fields)
{
    if (text.empty())
        return {};
    return SearchChain(doc, folder, start, CMatcher(text, fields));
}

FindHit FindFrom(const CKivDoc& doc, CFolderNode* folder, int start, std::string_view text,
                 const FindFields& fields)
{
    if (text.empty())
        return {};
    return SearchFrom(doc, folder, start, CMatcher(text, fields));
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
    const FindHit hit =
        FindFrom(doc, doc.m_pCurFolder, doc.m_nFindPos + 1, doc.m_strFindText, fields);
    if (!hit) {
        doc.m_bFindFromTop = true;
        return step;
    }
    doc.m_nFindPos = hit.position;
    return {FindStep::hit, hit.folder, hit.position};
}
