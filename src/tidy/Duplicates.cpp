#include "Duplicates.h"

#include "model/KivDoc.h"

#include <algorithm>
#include <functional>
#include <unordered_map>

namespace {

template<typename Visit> void WalkBelowRoot(const CKivDoc& doc, Visit visit)
{
    // Pre-order in the tree's own order, so folder lists read top to bottom.
    std::vector<const CFolderNode*> pending{&doc.m_root};
    while (!pending.empty()) {
        const CFolderNode* folder = pending.back();
        pending.pop_back();
        visit(folder);
        const size_t mark = pending.size();
        for (const CFolderNode* c = folder->m_pFirstChild; c; c = c->m_pNext)
            pending.push_back(c);
        std::reverse(pending.begin() + std::ptrdiff_t(mark), pending.end());
    }
}

bool IsHttps(std::string_view url)
{
    return url.size() >= 6 && (url[0] | 0x20) == 'h' && (url[1] | 0x20) == 't'
           && (url[2] | 0x20) == 't' && (url[3] | 0x20) == 'p' && (url[4] | 0x20) == 's'
           && url[5] == ':';
}

} // namespace

CPlacements::CPlacements(const CKivDoc& doc)
{
    const uint32_t n = doc.BookmarkCount();
    m_start.assign(size_t(n) + 1, 0);
    WalkBelowRoot(doc, [&](const CFolderNode* f) {
        for (uint32_t i : f->m_aBookmarks)
            ++m_start[i + 1];
    });
    for (uint32_t i = 0; i < n; ++i)
        m_start[i + 1] += m_start[i];
    m_folders.resize(m_start[n]);
    std::vector<uint32_t> fill(m_start.begin(), m_start.end() - 1);
    WalkBelowRoot(doc, [&](const CFolderNode* f) {
        for (uint32_t i : f->m_aBookmarks)
            m_folders[fill[i]++] = f;
    });
}

std::vector<const CFolderNode*> CPlacements::Folders(uint32_t index) const
{
    return {m_folders.begin() + m_start[index], m_folders.begin() + m_start[index + 1]};
}

void OrderForKeeping(const CKivDoc& doc, const CPlacements& placements,
                     std::vector<uint32_t>& members)
{
    std::sort(members.begin(), members.end(), [&](uint32_t a, uint32_t b) {
        const uint32_t pa = placements.Count(a), pb = placements.Count(b);
        if (pa != pb)
            return pa > pb;
        const std::string_view ua = doc.Bookmark(a).m_strUrl, ub = doc.Bookmark(b).m_strUrl;
        const bool sa = IsHttps(ua), sb = IsHttps(ub);
        if (sa != sb)
            return sa;
        if (ua.size() != ub.size())
            return ua.size() < ub.size();
        return a < b;
    });
}

std::vector<CDupeGroup> FindDuplicates(const CKivDoc& doc, const CPlacements& placements,
                                       const UrlKeyOptions& options)
{
    const uint32_t n = doc.BookmarkCount();
    std::vector<std::string> keys(n);
    struct Entry
    {
        size_t hash;
        uint32_t index;
    };
    std::vector<Entry> entries;
    entries.reserve(n);
    for (uint32_t i = 0; i < n; ++i) {
        if (placements.Count(i) == 0)
            continue;
        keys[i] = UrlKey(doc.Bookmark(i).m_strUrl, options);
        entries.push_back({std::hash<std::string_view>{}(keys[i]), i});
    }
    std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        return a.hash != b.hash ? a.hash < b.hash : a.index < b.index;
    });

    std::vector<CDupeGroup> groups;
    for (size_t k = 0; k < entries.size();) {
        size_t end = k + 1;
        while (end < entries.size() && entries[end].hash == entries[k].hash)
            ++end;
        if (end - k >= 2) {
            // One hash may still hold several keys.
            std::vector<uint32_t> run;
            for (size_t j = k; j < end; ++j)
                run.push_back(entries[j].index);
            std::stable_sort(run.begin(), run.end(),
                             [&](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
            for (size_t s = 0; s < run.size();) {
                size_t e = s + 1;
                while (e < run.size() && keys[run[e]] == keys[run[s]])
                    ++e;
                if (e - s >= 2) {
                    CDupeGroup g;
                    g.key = std::move(keys[run[s]]);
                    g.members.assign(run.begin() + std::ptrdiff_t(s),
                                     run.begin() + std::ptrdiff_t(e));
                    OrderForKeeping(doc, placements, g.members);
                    groups.push_back(std::move(g));
                }
                s = e;
            }
        }
        k = end;
    }
    std::sort(groups.begin(), groups.end(), [](const CDupeGroup& a, const CDupeGroup& b) {
        return a.members.size() != b.members.size() ? a.members.size() > b.members.size()
                                                    : a.key < b.key;
    });
    return groups;
}

std::vector<CMergeSet> ExactMergeSets(const CKivDoc& doc, const std::vector<CDupeGroup>& groups)
{
    std::vector<CMergeSet> sets;
    for (const CDupeGroup& g : groups) {
        // Members are already in keeping order: the first of each URL is kept.
        std::unordered_map<std::string_view, size_t> byUrl;
        std::vector<CMergeSet> local;
        for (uint32_t m : g.members) {
            const std::string_view url = doc.Bookmark(m).m_strUrl;
            auto [it, added] = byUrl.try_emplace(url, local.size());
            if (added)
                local.push_back(CMergeSet{m, {}});
            else
                local[it->second].others.push_back(m);
        }
        for (CMergeSet& s : local)
            if (!s.others.empty())
                sets.push_back(std::move(s));
    }
    return sets;
}

std::string FolderPathText(const CFolderNode* folder)
{
    std::vector<const CFolderNode*> chain;
    for (const CFolderNode* f = folder; f && f->m_pParent; f = f->m_pParent)
        chain.push_back(f);
    std::string out;
    for (size_t k = chain.size(); k > 0; --k) {
        out += chain[k - 1]->m_strName;
        if (k > 1)
            out += '/';
    }
    return out;
}
