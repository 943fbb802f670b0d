#include "ImportMerge.h"

#include "framework/TextRules.h"
#include "model/KivDoc.h"

#include <limits>
#include <string_view>
#include <unordered_map>

namespace {

// Model strings end at a NUL wherever they are handed on as C strings.
std::string CutAtNul(std::string text)
{
    if (const size_t nul = text.find('\0'); nul != std::string::npos)
        text.resize(nul);
    return text;
}

} // namespace

void CImportTree::OpenFolder(std::string name)
{
    m_entries.push_back({Entry::openFolder, {}, CutAtNul(std::move(name)), {}});
    ++m_nOpen;
}

void CImportTree::CloseFolder()
{
    if (m_nOpen == 0)
        return;
    --m_nOpen;
    m_entries.push_back({Entry::closeFolder, {}, {}, {}});
}

void CImportTree::AddBookmark(std::string url, std::string name, std::string comment)
{
    url = CutAtNul(std::move(url));
    if (url.size() >= 2)
        ++m_nBookmarks;
    m_entries.push_back(
        {Entry::bookmark, std::move(url), CutAtNul(std::move(name)), CutAtNul(std::move(comment))});
}

void CImportTree::CommentLast(std::string comment)
{
    comment = CutAtNul(std::move(comment));
    if (!comment.empty())
        m_entries.push_back({Entry::lateComment, {}, {}, std::move(comment)});
}

void CImportTree::Clear()
{
    m_entries.clear();
    m_nBookmarks = 0;
    m_nOpen = 0;
}

namespace {

using Entry = CImportTree::Entry;
constexpr int64_t kNone = -1;

// Walks the entries once. Consecutive bookmarks of one folder form a run; each run
// is linked in name order, so a large folder fills by appending instead of inserting
// in the middle again and again. The result is the one a bookmark-by-bookmark merge
// in source order gives: the first occurrence of a URL names it, equal names keep
// their source order, and comments are applied in source order afterwards.
class CMerger
{
public:
    CMerger(CKivDoc& doc, const CImportTree& tree, bool checkMode)
        : m_doc(doc)
        , m_entries(tree.Entries())
        , m_bCheck(checkMode)
        , m_resolved(m_entries.size(), kNone)
    {}

    void Run()
    {
        m_stack.push_back(m_bCheck ? &m_doc.m_check : &m_doc.m_root);
        for (size_t k = 0; k < m_entries.size(); ++k) {
            const Entry& e = m_entries[k];
            switch (e.kind) {
            case Entry::bookmark:
                m_run.push_back(k);
                m_nLastBookmark = int64_t(k);
                if (!e.comment.empty())
                    m_updates.emplace_back(m_nLastBookmark, &e.comment);
                break;
            case Entry::lateComment:
                m_updates.emplace_back(m_nLastBookmark, &e.comment);
                break;
            case Entry::openFolder:
                Flush();
                Open(e.name);
                break;
            case Entry::closeFolder:
                Flush();
                Close();
                break;
            }
        }
        Flush();
    }

private:
    void Open(const std::string& name)
    {
        if (int(m_stack.size()) - 1 >= CKivDoc::kMaxDepth) {
            ++m_nSurplus;
            return;
        }
        m_stack.push_back(m_bCheck ? &m_doc.m_check
                                   : m_doc.CreateFolder(m_stack.back(), name, true));
    }

    void Close()
    {
        if (m_nSurplus > 0)
            --m_nSurplus;
        else if (m_stack.size() > 1)
            m_stack.pop_back();
    }

    void Flush()
    {
        if (!m_run.empty())
            LinkRun();
        for (const auto& [bookmark, text] : m_updates) {
            const int64_t i = bookmark < 0 ? kNone : m_resolved[size_t(bookmark)];
            if (i < 0)
                continue;
            const auto index = uint32_t(i);
            if (m_doc.Bookmark(index).m_strComment == *text)
                continue;
            if (!m_bCheck)
                m_doc.SetModifiedFlag();
            m_doc.SetBookmarkComment(index, *text);
        }
        m_updates.clear();
    }

    // The name AddBookmark will give a new entry: the source's without leading blanks
    // (a suffix of it).
    static std::string_view NewName(const std::string& name)
    {
        const auto first = name.empty() ? 'x' : static_cast<unsigned char>(name.front());
        if (first < 0x80 && first != ' ' && (first < '\t' || first > '\r'))
            return name;
        return std::string_view(name).substr(name.size() - KivText::TrimLeft(name).size());
    }

    void LinkRun()
    {
        struct Item
        {
            size_t entry;
            std::string_view name; // the name the folder will sort it by
        };
        std::vector<Item> items;
        items.reserve(m_run.size());
        std::vector<std::pair<size_t, size_t>> repeats; // (entry, first entry of its URL)
        std::unordered_map<std::string_view, size_t> first;
        first.reserve(m_run.size());
        for (size_t k : m_run) {
            const Entry& e = m_entries[k];
            if (e.url.size() < 2)
                continue;
            const auto [at, added] = first.try_emplace(e.url, k);
            if (!added) {
                repeats.emplace_back(k, at->second);
                continue;
            }
            const int32_t known = m_doc.FindUrl(e.url);
            if (known >= 0 && m_bCheck)
                continue;
            // Views into the table stay valid: nothing is added before the sort ends.
            items.push_back({k, known >= 0
                                    ? std::string_view(m_doc.Bookmark(uint32_t(known)).m_strName)
                                    : NewName(e.name)});
        }
        std::vector<uint32_t> order(items.size());
        for (uint32_t n = 0; n < order.size(); ++n)
            order[n] = n;
        if (order.size() > 1)
            KivText::StableSortNoCase(order, [&items](uint32_t n) { return items[n].name; });

        CFolderNode* target = m_stack.back();
        for (uint32_t n : order) {
            const Entry& e = m_entries[items[n].entry];
            uint32_t index = std::numeric_limits<uint32_t>::max();
            m_doc.AddBookmark(e.url.c_str(), e.name.c_str(), e.comment.c_str(), target, m_bCheck,
                              &index);
            if (index != std::numeric_limits<uint32_t>::max())
                m_resolved[items[n].entry] = index;
        }
        // A URL met again in the same folder is already listed there; in check mode
        // it is known by then and names nothing.
        if (!m_bCheck)
            for (const auto& [k, firstEntry] : repeats)
                m_resolved[k] = m_resolved[firstEntry];
        m_run.clear();
    }

    CKivDoc& m_doc;
    const std::vector<Entry>& m_entries;
    const bool m_bCheck;
    std::vector<int64_t> m_resolved; // bookmark index each bookmark entry came to, or kNone
    std::vector<CFolderNode*> m_stack;
    int m_nSurplus = 0;
    std::vector<size_t> m_run;
    int64_t m_nLastBookmark = kNone;
    std::vector<std::pair<int64_t, const std::string*>> m_updates;
};

} // namespace

void MergeImport(CKivDoc& doc, const CImportTree& tree, bool checkMode)
{
    CMerger(doc, tree, checkMode).Run();
}
