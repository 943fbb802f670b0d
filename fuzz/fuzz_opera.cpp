// Any bytes through the Opera hotlist reader, on import and in check mode.
#include "formats/Opera.h"
#include "formats/TextLines.h"
#include "model/KivDoc.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CKivDoc doc;
    doc.AddBookmark("http://known.example/", "Known", "", &doc.m_root, false);
    CTextLines importLines(bytes);
    ParseHotlist(doc, importLines, false);
    CTextLines checkLines(bytes);
    ParseHotlist(doc, checkLines, true);
    doc.FlattenForSave();
    return 0;
}
