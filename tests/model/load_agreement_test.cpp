// Loading a file builds the tree the plain loader builds from the same tables: folder
// lists in file order or out of it, names equal or sharing long beginnings, shared
// and repeated links, links and depths out of range, large enough for every quick
// path of the loader to be taken.

#include "LiteralModel.h"
#include "framework/Archive.h"
#include "model/KivDoc.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

CFlatTree RandomTables(std::mt19937& rng, bool sortedLists)
{
    // Names from a few pieces, so that many share their first letters or are equal
    // in all but case; some beyond ASCII, one that is empty.
    const char* const pieces[] = {"Abcd", "abcd", "ABCD", "abce", "é", "É", "zz", " ",
                                  "\xCE\xA3", "\xF0\x9F\x98\x80", "x", "Abcdé"};
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

TEST(LoadAgreement, TheTreeIsThePlainLoadersOnRandomTables)
{
    QTemporaryDir dir;
    std::mt19937 rng(41);
    for (int round = 0; round < 24; ++round) {
        CFlatTree flat = RandomTables(rng, round % 3 != 0);
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
