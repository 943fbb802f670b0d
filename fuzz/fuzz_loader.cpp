// Any bytes through the document loader, exactly as opening a file reads them.
#include "framework/Archive.h"
#include "model/KivDoc.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CKivDoc doc;
    doc.DeleteContents();
    try {
        CArchive ar(std::string_view(reinterpret_cast<const char*>(data), size));
        doc.Serialize(ar);
    } catch (const CArchiveException&) {
        // A short or malformed file is refused; the open path empties the document.
        doc.DeleteContents();
        return 0;
    }
    // Whatever loaded must save again.
    std::vector<char> out;
    CArchive store(&out);
    doc.Serialize(store);
    return 0;
}
