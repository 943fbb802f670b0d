#pragma once

// The model's operations written the plain way: a URL scan per add, a backward scan
// per link, sibling chains walked on every insert, the link table scanned once per
// folder on load. Kept as the yardstick the indexed model is measured and tested
// against; every result must come out the same.

#include "framework/TextRules.h"
#include "model/Bookmark.h"
#include "model/FlatTree.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace KivLiteral {

// Inserts i into list after the last entry whose name is not greater; false when
// the list already holds i. nameOf(index) gives a bookmark's current name.
template <class NameOf>
bool LinkBookmark(std::vector<uint32_t>& list, uint32_t i, NameOf nameOf, int* outPos)
{
    for (size_t k = list.size(); k > 0; --k)
        if (list[k - 1] == i)
            return false;
    const std::string_view name = nameOf(i);
    size_t pos = 0;
    for (size_t k = list.size(); k > 0; --k)
        if (KivText::CompareNoCase(nameOf(list[k - 1]), name) <= 0) {
            pos = k;
            break;
        }
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(pos), i);
    if (outPos)
        *outPos = static_cast<int>(pos);
    return true;
}

// First table entry whose URL equals url byte for byte, or -1.
inline int64_t FindUrl(const std::vector<CBookmark>& table, std::string_view url)
{
    for (size_t k = 0; k < table.size(); ++k)
        if (table[k].m_strUrl == url)
            return static_cast<int64_t>(k);
    return -1;
}

struct Folder
{
    std::string name;
    std::vector<uint32_t> list;
    Folder* parent = nullptr;
    Folder* next = nullptr;
    Folder* firstChild = nullptr;
};

// A whole document done the plain way: enough to load a flat tree and to add
// bookmarks, for side-by-side timing.
class Doc
{
public:
    Doc() = default;
    Doc(const Doc&) = delete;
    Doc& operator=(const Doc&) = delete;

    bool AddBookmark(const std::string& url, const std::string& name, Folder* folder)
    {
        if (url.size() < 2)
            return false;
        int64_t found = FindUrl(bookmarks, url);
        if (found < 0) {
            CBookmark b;
            b.m_strUrl = url;
            b.m_strName = KivText::TrimLeft(name);
            bookmarks.push_back(std::move(b));
            found = static_cast<int64_t>(bookmarks.size() - 1);
        }
        return Link(folder ? folder : &root, static_cast<uint32_t>(found));
    }

    bool Link(Folder* folder, uint32_t i)
    {
        const auto nameOf = [this](uint32_t k) -> std::string_view {
            return bookmarks[k].m_strName;
        };
        if (!LinkBookmark(folder->list, i, nameOf, nullptr))
            return false;
        ++bookmarks[i].m_nRefs;
        return true;
    }

    Folder* CreateFolder(Folder* parent, std::string name)
    {
        folders.push_back(std::make_unique<Folder>());
        Folder* node = folders.back().get();
        node->name = std::move(name);
        node->parent = parent;
        Folder* prev = nullptr;
        Folder* s = parent->firstChild;
        while (s && KivText::CompareNoCase(node->name, s->name) >= 0) {
            prev = s;
            s = s->next;
        }
        node->next = s;
        (prev ? prev->next : parent->firstChild) = node;
        return node;
    }

    // Rebuilds from flat tables; malformed records are skipped as the real loader does.
    void Rebuild(const CFlatTree& flat)
    {
        const auto bookmarkCount = static_cast<uint32_t>(flat.m_flatBookmarks.size());
        for (const FlatBookmark& fb : flat.m_flatBookmarks)
            bookmarks.push_back({fb.m_strUrl, fb.m_strName, fb.m_strComment, 0, -1});
        Folder* level[100] = {&root};
        for (uint32_t j = 0; j < flat.m_flatFolders.size(); ++j) {
            const FlatFolder& ff = flat.m_flatFolders[j];
            if (ff.depth < 1 || ff.depth > 99 || !level[ff.depth - 1]) {
                for (int d = ff.depth; d >= 1 && d <= 99; ++d)
                    level[d] = nullptr;
                continue;
            }
            Folder* f = CreateFolder(level[ff.depth - 1], ff.name);
            level[ff.depth] = f;
            for (const FlatLink& l : flat.m_flatLinks)
                if (l.folder == j && l.bookmark < bookmarkCount)
                    Link(f, l.bookmark);
        }
        for (uint32_t i = 0; i < bookmarkCount; ++i)
            if (bookmarks[i].m_nRefs == 0)
                Link(&root, i);
    }

    std::vector<CBookmark> bookmarks;
    Folder root;
    std::vector<std::unique_ptr<Folder>> folders;
};

}  // namespace KivLiteral
