#pragma once

// Deterministic collections for the benchmarks, written as document files.

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

class CFlatTree;
class QIODevice;

namespace KivBench {

struct Shape
{
    const char* name;
    uint32_t bookmarks;   // records in the bookmark table
    uint32_t topFolders;  // children of the root
    uint32_t childrenPer; // children of each top-level folder
    uint32_t depth;       // > 0: one chain of this many levels instead
    uint32_t links;       // link records in all
    uint32_t rootOnly;    // bookmarks linked to no folder (they load into the root)
    uint32_t seed;
    uint32_t names = 0; // > 0: only this many distinct names, drawn at random
    // Lists in the C locale's order whatever the locale: a file saved under another
    // language, which a load has to sort again.
    bool cOrder = false;
};

// 1,000,000 bookmarks, 100,000 folders (100 x 999 siblings), 1,200,000 links.
Shape Wide();
// The same shape at a tenth: 100,000 bookmarks, 10,000 folders, 120,000 links.
Shape WideTenth();
// A chain of 99 levels, each folder listing its share of 100,000 bookmarks.
Shape Deep();
// 1,000,000 bookmarks in one folder, with names all distinct, 500 distinct names
// (each about 2,000 times), or one name for all.
Shape OneFolderDistinct();
Shape OneFolder500Names();
Shape OneFolderOneName();
// The shape with its lists stored in the C locale's order.
Shape StoredInCOrder(Shape shape);
// The same with `bookmarks` bookmarks (benchmarks that move a tenth of them, imports).
Shape OneFolder(const char* name, uint32_t bookmarks, uint32_t names);

// The flat tables of a collection in the order a save writes them: folders in
// pre-order with siblings sorted, each folder's links in name order.
void Generate(const Shape& shape, CFlatTree& flat);

// The collection as a file in a cache folder, generated on first use (one per
// collation: lists are written in the order of the locale the files are made in,
// or of the C locale for StoredInCOrder shapes).
QString FileFor(const Shape& shape);

// Reads a document file's tables (after its magic and version), as a load does
// before it builds the tree.
void ReadTables(QIODevice& file, CFlatTree& flat);

// Random bookmark names, as the add benchmarks use them.
std::vector<std::string> RandomNames(uint32_t count, uint32_t seed);

}  // namespace KivBench
