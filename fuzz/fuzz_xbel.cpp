// Any bytes through the XBEL reader, then the shared merge; what was read is written
// out again and must read back.
#include "browsers/Xbel.h"
#include "formats/ImportMerge.h"
#include "model/KivDoc.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char*>(data), qsizetype(size));
    buffer.open(QIODevice::ReadOnly);
    CImportTree tree;
    const FormatResult result = ParseXbel(buffer, tree);
    if (!result.Ok() && tree.Size() != 0)
        __builtin_trap(); // a refused file hands nothing on
    CKivDoc doc;
    doc.AddBookmark("http://known.example/", "Known", "", &doc.m_root, false);
    MergeImport(doc, tree);
    MergeImport(doc, tree, true);
    doc.FlattenForSave();
    if (result.Ok() && tree.BookmarkCount() > 0) {
        static QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("round.xbel"));
        CKivDoc back;
        if (!ExportXbel(doc, path).Ok() || !ImportXbel(back, path).Ok())
            __builtin_trap();
    }
    return 0;
}
