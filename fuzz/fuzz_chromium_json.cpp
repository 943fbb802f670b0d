// Any bytes through the Chromium Bookmarks reader, then the shared merge.
#include "browsers/ChromiumBookmarks.h"
#include "formats/ImportMerge.h"
#include "model/KivDoc.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CImportTree tree;
    const FormatResult result = ParseChromiumBookmarks(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)), tree);
    if (!result.Ok() && tree.Size() != 0)
        __builtin_trap(); // a refused file hands nothing on
    CKivDoc doc;
    doc.AddBookmark("http://known.example/", "Known", "", &doc.m_root, false);
    MergeImport(doc, tree);
    MergeImport(doc, tree, true);
    doc.FlattenForSave();
    return 0;
}
