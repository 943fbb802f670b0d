// Any bytes through the Netscape bookmark reader, on import and in compare mode.
#include "formats/Netscape.h"
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
    ParseNetscapeFile(doc, importLines, false);
    CTextLines compareLines(bytes);
    ParseNetscapeFile(doc, compareLines, true);
    // Whatever was read must flatten for a save.
    doc.FlattenForSave();
    return 0;
}
