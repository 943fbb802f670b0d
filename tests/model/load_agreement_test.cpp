// Loading a file builds the tree the plain loader builds from the same tables: folder
// lists in file order or out of it, names equal or sharing long beginnings, shared
// and repeated links, links and depths out of range, one folder of thousands of
// bookmarks whose names repeat, large enough for every quick path of the loader to
// be taken. And the operations on many items at once give what the one-item rules
// give one after the other.

#include "LiteralModel.h"
#include "framework/Archive.h"
#include "model/KivDoc.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

CFlatTree RandomTables(std::mt19937& rng, bool sortedLists)
{
    // Names from a few pieces, so that many share their first letters or are equal
    // in all but case; some beyond ASCII, one that is empty.
    const char* const pieces[] = {"Abcd",
                                  "abcd",
                                  "ABCD",
                                  "abce",
                                  "é",
                                  "É",
                                  "zz",
                                  " ",
                                  "\xCE\xA3",
                                  "\xF0\x9F\x98\x80",
                                  "x",
                                  "Abcdé",
                                  "\xF0\xA0\x94\xB1",
                                  "\xF0\xA0\xA3\xBB"};
    const auto name = [&] {
        std::string n;
        for (int k = int(rng() % 4); k > 0; --k)
            n += pieces[rng() % std::size(pieces)];
        return n;
    };
    CFlatTree flat;
    const uint32_t bookmarks = 500 + rng() % 2500;
    for (uint32_t b = 0; b < bookmarks; ++b)
        flat.m_flatBookmarks.push_back({"http://" + std::to_string(b), name(), rng() % 5 ? "" : "c"});
    const uint32_t folders = 20 + rng() % 200;
    uint16_t depth = 1;
    for (uint32_t f = 0; f < folders; ++f) {
        const uint32_t roll = rng() % 40;
        depth = roll == 0 ? 0 : roll == 1 ? 100 : roll < 12 ? uint16_t(1 + rng() % 3) : depth;
        flat.m_flatFolders.push_back({name(), depth});
        if (depth == 0 || depth == 100)
            depth = 1;
    }
    std::vector<std::vector<uint32_t>> lists(folders + 2);
    for (uint32_t l = 0; l < bookmarks * 3 / 2; ++l) {
        const uint32_t b = rng() % 50 == 0 ? bookmarks + rng() % 5 : rng() % bookmarks;
        lists[rng() % lists.size()].push_back(b); // folder records past the table too
    }
    for (uint32_t f = 0; f < lists.size(); ++f) {
        std::vector<uint32_t>& list = lists[f];
        if (sortedLists)
            std::stable_sort(list.begin(), list.end(), [&](uint32_t a, uint32_t b) {
                const auto nameOf = [&](uint32_t i) -> std::string_view {
                    return i < bookmarks ? std::string_view(flat.m_flatBookmarks[i].m_strName) : "";
                };
                return KivText::CompareNoCase(nameOf(a), nameOf(b)) < 0;
            });
        if (!list.empty() && rng() % 4 == 0)
            list.push_back(list[rng() % list.size()]); // the same bookmark twice
        for (uint32_t b : list)
            flat.m_flatLinks.push_back({f, 1, b});
    }
    return flat;
}

void ExpectSameFolders(const CKivDoc& doc, const CFolderNode* got, const KivLiteral::Folder* want,
                       const std::string& path)
{
    ASSERT_EQ(got->m_aBookmarks, want->list) << path;
    const CFolderNode* g = got->m_pFirstChild;
    const KivLiteral::Folder* w = want->firstChild;
    for (; g && w; g = g->m_pNext, w = w->next) {
        ASSERT_EQ(g->m_strName, w->name) << path;
        ExpectSameFolders(doc, g, w, path + "/" + w->name);
    }
    ASSERT_EQ(g == nullptr, w == nullptr) << path;
}

// Thousands of bookmarks in one folder whose names are all distinct, drawn from a few,
// or all one name (in varying case); its links in name order, in
// another collation's order (by bytes, as a file saved under another locale holds
// them) or in any order, some given twice; a share listed nowhere (they load into the
// root). Names share long beginnings, mix letters the collations order apart, and
// come in groups that differ only in case or in how an accent is written.
enum class Stored { InOrder, OtherCollation, Shuffled };

CFlatTree OneFolderTables(std::mt19937& rng, int names, Stored stored)
{
    const char* const cases[] = {"Home", "home", "HOME", "Ho\xCC\x81me", "H\xC3\xB3me"};
    const char* const middles[] = {" ", " imported from the old laptop ", "_", "~",
                                   " \xC3\xA9t\xC3\xA9 ", " Zoe ", " \xC3\xB1"};
    const auto name = [&](uint32_t b) {
        if (names == 1)
            return std::string(cases[rng() % 3]);
        const uint32_t n = names == 0 ? b : uint32_t(rng() % names);
        // Five names in a row differ only in case or composition.
        return std::string(cases[n % 5]) + middles[n / 5 % 7]
               + std::to_string(n / 5 * 7919 % 10007) + "\xC3\xA9";
    };
    CFlatTree flat;
    const uint32_t bookmarks = 3000 + rng() % 3000;
    for (uint32_t b = 0; b < bookmarks; ++b)
        flat.m_flatBookmarks.push_back({"http://" + std::to_string(b), name(b), ""});
    flat.m_flatFolders.push_back({"Read later", 1});
    std::vector<uint32_t> list;
    for (uint32_t b = 0; b < bookmarks; ++b)
        if (rng() % 10 != 0)
            list.push_back(b);
    std::shuffle(list.begin(), list.end(), rng);
    const auto nameOf = [&](uint32_t b) -> std::string_view { return flat.m_flatBookmarks[b].m_strName; };
    if (stored == Stored::InOrder)
        std::stable_sort(list.begin(), list.end(), [&](uint32_t a, uint32_t b) {
            return KivText::CompareNoCase(nameOf(a), nameOf(b)) < 0;
        });
    else if (stored == Stored::OtherCollation)
        std::stable_sort(list.begin(), list.end(),
                         [&](uint32_t a, uint32_t b) { return nameOf(a) < nameOf(b); });
    for (int k = 0; k < 40; ++k) // the same bookmark again, anywhere in the list
        list.insert(list.begin() + rng() % list.size(), list[rng() % list.size()]);
    for (uint32_t b : list)
        flat.m_flatLinks.push_back({0, 1, b});
    return flat;
}

TEST(LoadAgreement, TheTreeIsThePlainLoadersOnRandomTables)
{
    QTemporaryDir dir;
    std::mt19937 rng(41);
    for (int round = 0; round < 42; ++round) {
        // Then one large folder: names all distinct, 40 distinct names, one name; each
        // stored in order, in another collation's order and shuffled.
        const int names[] = {0, 40, 1};
        const Stored stored[] = {Stored::InOrder, Stored::OtherCollation, Stored::Shuffled};
        CFlatTree flat = round < 24 ? RandomTables(rng, round % 3 != 0)
                                    : OneFolderTables(rng, names[round % 3], stored[round / 3 % 3]);
        std::vector<char> bytes;
        {
            CArchive ar(&bytes);
            ar.WriteU32(CKivDoc::kMagic);
            ar.WriteU32(CKivDoc::kVersion);
            flat.SerializeTables(ar);
        }
        const QString path = dir.filePath(QStringLiteral("t%1.kiv").arg(round));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), qint64(bytes.size()));
        file.close();

        CKivDoc doc;
        ASSERT_TRUE(doc.OpenDocumentFile(path));
        KivLiteral::Doc plain;
        plain.Rebuild(flat);
        ASSERT_EQ(doc.BookmarkCount(), plain.bookmarks.size());
        for (uint32_t i = 0; i < plain.bookmarks.size(); ++i)
            ASSERT_EQ(doc.Bookmark(i).m_nRefs, plain.bookmarks[i].m_nRefs) << round << " " << i;
        ExpectSameFolders(doc, &doc.m_root, &plain.root, std::to_string(round));
    }
}

}  // namespace

namespace {

// The one-item rules written plainly, over the document's own folders: what every
// operation on the model must come out as, one item after the other.
class CPlainLists
{
public:
    explicit CPlainLists(const CKivDoc& doc)
        : m_doc(doc)
    {}

    bool Link(const CFolderNode* f, uint32_t i)
    {
        const auto nameOf = [this](uint32_t k) -> std::string_view { return m_names[k]; };
        if (!KivLiteral::LinkBookmark(m_lists[f], i, nameOf, nullptr))
            return false;
        if (!m_doc.IsTrash(f) && !m_doc.IsCheck(f))
            ++m_refs[i];
        return true;
    }
    void Unlink(const CFolderNode* f, uint32_t i)
    {
        std::vector<uint32_t>& list = m_lists[f];
        const auto it = std::find(list.begin(), list.end(), i);
        if (it == list.end())
            return;
        list.erase(it);
        if (!m_doc.IsTrash(f) && !m_doc.IsCheck(f))
            --m_refs[i];
    }
    // AddBookmark: the first entry with the URL, else a new one.
    bool Add(const CFolderNode* f, const std::string& url, const std::string& name)
    {
        if (url.size() < 2)
            return false;
        const auto found = std::find(m_urls.begin(), m_urls.end(), url);
        const auto i = static_cast<uint32_t>(found - m_urls.begin());
        if (found == m_urls.end()) {
            m_urls.push_back(url);
            m_names.push_back(KivText::TrimLeft(name));
            m_refs.push_back(0);
        }
        return Link(f, i);
    }
    void Rename(uint32_t i, const std::string& name) { m_names[i] = name; }

    std::string Differences(const std::vector<const CFolderNode*>& folders) const
    {
        std::string why;
        if (m_doc.BookmarkCount() != m_refs.size())
            return "table sizes differ";
        for (uint32_t i = 0; i < m_refs.size(); ++i)
            if (m_doc.Bookmark(i).m_nRefs != m_refs[i])
                why += "references of " + std::to_string(i) + "\n";
        for (const CFolderNode* f : folders) {
            const auto it = m_lists.find(f);
            const std::vector<uint32_t> want
                = it == m_lists.end() ? std::vector<uint32_t>() : it->second;
            if (f->m_aBookmarks != want)
                why += "list of " + f->m_strName + "\n";
        }
        return why;
    }

private:
    const CKivDoc& m_doc;
    std::vector<std::string> m_urls, m_names;
    std::vector<int32_t> m_refs;
    std::map<const CFolderNode*, std::vector<uint32_t>> m_lists;
};

TEST(OperationAgreement, ManyItemsAtOnceGiveWhatOneAfterTheOtherGives)
{
    // Few names, so folders hold long runs of equal names; renames leave lists out of
    // order; batches with repeats, with indexes already listed, large and small.
    std::mt19937 rng(5);
    for (int round = 0; round < 6; ++round) {
        CKivDoc doc;
        CPlainLists plain(doc);
        const int nameCount = round % 3 == 0 ? 1 : round % 3 == 1 ? 5 : 400;
        const auto randomName = [&] {
            const char* const cases[] = {"Home ", "home ", "HOME "};
            return std::string(cases[rng() % 3]) + std::to_string(rng() % nameCount);
        };
        CFolderNode* a = doc.CreateFolder(&doc.m_root, "a", false);
        CFolderNode* b = doc.CreateFolder(&doc.m_root, "b", false);
        CFolderNode* sub = doc.CreateFolder(a, "sub", false);
        const std::vector<const CFolderNode*> folders{&doc.m_root, &doc.m_trash, a, b, sub};
        CFolderNode* const writable[] = {&doc.m_root, &doc.m_trash, a, b, sub};
        const auto some = [&](size_t count) {
            std::vector<uint32_t> out;
            for (size_t k = 0; k < count && doc.BookmarkCount() > 0; ++k)
                out.push_back(uint32_t(rng() % doc.BookmarkCount()));
            return out;
        };
        for (int step = 0; step < 160; ++step) {
            CFolderNode* f = writable[rng() % std::size(writable)];
            CFolderNode* g = writable[rng() % std::size(writable)];
            const size_t count = rng() % 3 == 0 ? rng() % 6 : rng() % 400;
            const uint32_t op = rng() % 7;
            std::string what;
            if (op == 0) {
                what = "add";
                std::vector<CBookmark> entries(count);
                std::vector<const CBookmark*> pointers;
                for (CBookmark& e : entries) {
                    const uint32_t known = doc.BookmarkCount() + 50;
                    e.m_strUrl = rng() % 40 == 0 ? "x" : "http://" + std::to_string(rng() % known);
                    e.m_strName = (rng() % 4 == 0 ? "  " : "") + randomName();
                    pointers.push_back(&e);
                }
                size_t added = 0;
                for (const CBookmark& e : entries)
                    added += plain.Add(f, e.m_strUrl, e.m_strName);
                ASSERT_EQ(doc.AddBookmarks(f, pointers), added);
            } else if (op == 1) {
                what = "link";
                const std::vector<uint32_t> items = some(count);
                size_t linked = 0;
                for (uint32_t i : items)
                    linked += plain.Link(f, i);
                ASSERT_EQ(doc.LinkBookmarks(f, items), linked);
            } else if (op == 2) {
                what = "unlink";
                // Mostly what the folder lists, a few it does not.
                std::vector<uint32_t> items = some(count / 8);
                for (size_t k = 0; k < f->m_aBookmarks.size(); ++k)
                    if (rng() % 3 == 0)
                        items.push_back(f->m_aBookmarks[k]);
                std::shuffle(items.begin(), items.end(), rng);
                for (uint32_t i : items)
                    plain.Unlink(f, i);
                doc.UnlinkBookmarks(f, items);
            } else if (op == 3) {
                what = "move";
                const bool copy = rng() % 2;
                std::vector<uint32_t> items;
                for (uint32_t i : f->m_aBookmarks)
                    if (rng() % 2)
                        items.push_back(i);
                for (uint32_t i : items) {
                    plain.Link(g, i);
                    if (!copy)
                        plain.Unlink(f, i);
                }
                doc.MoveBookmarks(f, g, items, copy);
            } else if (op == 4) {
                what = "one by one";
                for (uint32_t i : some(count / 4 + 1)) {
                    if (rng() % 3) {
                        ASSERT_EQ(doc.LinkBookmark(f, i), plain.Link(f, i));
                    } else {
                        plain.Unlink(f, i);
                        doc.UnlinkBookmark(f, i);
                    }
                }
            } else if (op == 5 && doc.BookmarkCount() > 0) {
                what = "rename";
                const uint32_t i = uint32_t(rng() % doc.BookmarkCount());
                const std::string name = randomName();
                plain.Rename(i, name);
                doc.SetBookmarkName(i, name);
            } else if (op == 6 && f != &doc.m_trash) {
                what = "trash";
                const std::vector<uint32_t> list = f->m_aBookmarks;
                for (size_t k = list.size(); k > 0; --k)
                    plain.Link(&doc.m_trash, list[k - 1]);
                doc.TrashFolderBookmarks(f);
            }
            ASSERT_EQ(plain.Differences(folders), "") << round << " " << step << " " << what;
        }
    }
}

} // namespace
