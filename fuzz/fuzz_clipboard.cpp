// Any bytes as clipboard data pasted into a document with a few folders, exactly as
// the paste command reads and inserts them.
#include "framework/Archive.h"
#include "model/KivDoc.h"
#include "views/Clipboard.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

void Fill(CKivDoc& doc)
{
    doc.DeleteContents();
    CFolderNode* a = doc.CreateFolder(&doc.m_root, "A", false);
    CFolderNode* b = doc.CreateFolder(a, "B", false);
    doc.CreateFolder(&doc.m_root, "c", false);
    doc.AddBookmark("http://one.example/", "one", "", a, false);
    doc.AddBookmark("http://two.example/", "two", "", b, false);
    doc.AddBookmark("http://three.example/", "three", "", &doc.m_trash, false);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CKivDoc doc;
    Fill(doc);
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // Into an ordinary folder (where "_root_" and merging by name meet real
    // children), into the root and into the trash.
    for (CFolderNode* target : {doc.m_root.m_pFirstChild, &doc.m_root, &doc.m_trash})
        KivClipboard::PastePayload(doc, target, bytes);
    // Whatever was pasted must flatten and save again.
    std::vector<char> out;
    CArchive store(&out);
    doc.Serialize(store);
    return 0;
}
