// Any bytes through the document loader, exactly as opening a file reads them.
#include "framework/Archive.h"
#include "model/KivDoc.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CKivDoc doc;
    doc.DeleteContents();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // A header the open path refuses is never read further.
    if (doc.CheckFileHeader(bytes.substr(0, 16)) != CFileError::none)
        return 0;
    try {
        CArchive ar(bytes);
        doc.Serialize(ar);
    } catch (const CArchiveException&) {
        // A short or malformed file is refused; the open path empties the document.
        doc.DeleteContents();
        return 0;
    }
    // Every index a folder holds points into the table, with counts to match.
    std::vector<int32_t> refs(doc.BookmarkCount(), 0);
    std::vector<CFolderNode*> stack{&doc.m_root};
    while (!stack.empty()) {
        CFolderNode* f = stack.back();
        stack.pop_back();
        for (uint32_t i : f->m_aBookmarks) {
            if (i >= doc.BookmarkCount())
                __builtin_trap();
            ++refs[i];
        }
        for (CFolderNode* c = f->m_pFirstChild; c; c = c->m_pNext) {
            if (c->m_pParent != f)
                __builtin_trap();
            stack.push_back(c);
        }
    }
    for (uint32_t i = 0; i < doc.BookmarkCount(); ++i)
        if (refs[i] != doc.Bookmark(i).m_nRefs)
            __builtin_trap();
    // Whatever loaded must save again.
    std::vector<char> out;
    CArchive store(&out);
    doc.Serialize(store);
    return 0;
}
