#include "CollectionGen.h"

#include "framework/Archive.h"
#include "framework/TextRules.h"
#include "model/FlatTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

#include <algorithm>
#include <numeric>
#include <random>

namespace KivBench {

namespace {

// Bump when the generator changes so cached files are made afresh.
constexpr int kGeneratorVersion = 1;

const char* const kSyllables[] = {"ka", "Lo", "mi", "Ne", "ra", "to", "Su", "vi", "ba", "de",
                                  "fo", "gu", "ho", "ji", "pe", "qu", "ze", "é", "Ü", "ñ"};

std::string Word(std::mt19937& rng, int syllables)
{
    std::string w;
    for (int k = 0; k < syllables; ++k)
        w += kSyllables[rng() % std::size(kSyllables)];
    return w;
}

std::string Name(std::mt19937& rng)
{
    std::string n = Word(rng, 2 + int(rng() % 3));
    if (rng() % 2)
        n += " " + Word(rng, 2 + int(rng() % 4));
    return n;
}

void SortByName(std::vector<uint32_t>& items, const std::vector<std::string>& names, bool cOrder)
{
    if (!cOrder || KivText::NameKeysOrder()) {
        KivText::StableSortNoCase(items, [&](uint32_t i) -> std::string_view { return names[i]; });
        return;
    }
    // The C locale's comparison: case-folded UTF-16, as Qt's case-insensitive compare.
    std::vector<QString> text(names.size());
    for (uint32_t i : items)
        text[i] = QString::fromStdString(names[i]);
    std::stable_sort(items.begin(), items.end(), [&](uint32_t a, uint32_t b) {
        return QString::compare(text[a], text[b], Qt::CaseInsensitive) < 0;
    });
}

}  // namespace

Shape Wide() { return {"wide", 1000000, 100, 999, 0, 1200000, 50000, 1}; }
Shape WideTenth() { return {"wide10", 100000, 10, 999, 0, 120000, 5000, 2}; }
Shape Deep() { return {"deep", 100000, 0, 0, 99, 100000, 1000, 3}; }
Shape OneFolder(const char* name, uint32_t bookmarks, uint32_t names)
{
    return {name, bookmarks, 1, 0, 0, bookmarks, 0, 4, names};
}
Shape OneFolderDistinct()
{
    return OneFolder("one-distinct", 1000000, 0);
}
Shape OneFolder500Names()
{
    return OneFolder("one-500", 1000000, 500);
}
Shape OneFolderOneName()
{
    return OneFolder("one-equal", 1000000, 1);
}
Shape StoredInCOrder(Shape shape)
{
    shape.cOrder = true;
    return shape;
}

std::vector<std::string> RandomNames(uint32_t count, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<std::string> out;
    out.reserve(count);
    for (uint32_t k = 0; k < count; ++k)
        out.push_back(Name(rng));
    return out;
}

void Generate(const Shape& shape, CFlatTree& flat)
{
    std::mt19937 rng(shape.seed);
    flat.ClearFlat();

    std::vector<std::string> bookmarkNames = RandomNames(shape.bookmarks, shape.seed + 1000);
    if (shape.names > 0) {
        const std::vector<std::string> names = RandomNames(shape.names, shape.seed + 2000);
        for (std::string& n : bookmarkNames)
            n = names[rng() % names.size()];
    }
    flat.m_flatBookmarks.reserve(shape.bookmarks);
    for (uint32_t b = 0; b < shape.bookmarks; ++b) {
        std::string url = "https://host" + std::to_string(rng() % 5000) + ".example.org/"
                          + Word(rng, 3) + "/" + std::to_string(b);
        std::string comment = rng() % 8 == 0 ? "note " + Word(rng, 4) : std::string();
        flat.m_flatBookmarks.push_back({std::move(url), bookmarkNames[b], std::move(comment)});
    }

    // Folders in pre-order, siblings sorted by name.
    std::vector<std::string> folderNames;
    if (shape.depth > 0) {
        for (uint32_t d = 1; d <= shape.depth; ++d) {
            folderNames.push_back("Level " + std::to_string(d));
            flat.m_flatFolders.push_back({folderNames.back(), static_cast<uint16_t>(d)});
        }
    } else {
        std::vector<std::string> top(shape.topFolders);
        for (std::string& n : top)
            n = Name(rng);
        std::vector<uint32_t> topOrder(shape.topFolders);
        std::iota(topOrder.begin(), topOrder.end(), 0);
        SortByName(topOrder, top, shape.cOrder);
        for (uint32_t t : topOrder) {
            folderNames.push_back(top[t]);
            flat.m_flatFolders.push_back({top[t], 1});
            std::vector<std::string> children(shape.childrenPer);
            for (std::string& n : children)
                n = Name(rng);
            std::vector<uint32_t> order(shape.childrenPer);
            std::iota(order.begin(), order.end(), 0);
            SortByName(order, children, shape.cOrder);
            for (uint32_t c : order) {
                folderNames.push_back(children[c]);
                flat.m_flatFolders.push_back({children[c], 2});
            }
        }
    }

    // Every bookmark but the root-only ones once, then shared listings up to the
    // link count; each folder's list in name order, as a save writes it.
    const auto folderCount = static_cast<uint32_t>(flat.m_flatFolders.size());
    const uint32_t linked = shape.bookmarks - shape.rootOnly;
    std::vector<std::vector<uint32_t>> lists(folderCount);
    for (uint32_t b = 0; b < linked; ++b)
        lists[rng() % folderCount].push_back(b);
    uint32_t links = linked;
    while (links < shape.links) {
        std::vector<uint32_t>& list = lists[rng() % folderCount];
        const uint32_t b = rng() % linked;
        if (std::find(list.begin(), list.end(), b) != list.end())
            continue;
        list.push_back(b);
        ++links;
    }
    flat.m_flatLinks.reserve(links);
    for (uint32_t f = 0; f < folderCount; ++f) {
        SortByName(lists[f], bookmarkNames, shape.cOrder);
        for (uint32_t b : lists[f])
            flat.m_flatLinks.push_back({f, 1, b});
    }
}

QString FileFor(const Shape& shape)
{
    const QString dir = QDir::tempPath() + QStringLiteral("/kiv-bench");
    QDir().mkpath(dir);
    const QString collation = shape.cOrder || KivText::NameKeysOrder()
                                  ? QString()
                                  : QStringLiteral("-") + QLocale().name();
    const QString path = QStringLiteral("%1/%2-v%3%4.kiv")
                             .arg(dir, QString::fromLatin1(shape.name))
                             .arg(kGeneratorVersion)
                             .arg(collation);
    if (QFileInfo::exists(path))
        return path;
    CFlatTree flat;
    Generate(shape, flat);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    CArchive ar(&file, CArchive::store);
    ar.WriteU32(0x2506AB00);
    ar.WriteU32(2);
    flat.SerializeTables(ar);
    ar.Flush();
    return file.commit() ? path : QString();
}

void ReadTables(QIODevice& file, CFlatTree& flat)
{
    CArchive ar(&file, CArchive::load);
    ar.ReadU32();
    ar.ReadU32();
    flat.SerializeTables(ar);
}

}  // namespace KivBench
