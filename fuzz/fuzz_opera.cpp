// Any bytes through the Opera hotlist reader, on import and in check mode; and what
// the writer makes of the result must read back into the same file.
#include "formats/Opera.h"
#include "formats/TextLines.h"
#include "model/KivDoc.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

std::string ReadAndWrite(const std::string& bytes)
{
    CKivDoc doc;
    CTextLines lines(bytes);
    ParseHotlist(doc, lines, false);
    return HotlistText(doc, [] { return int64_t(1700000000); });
}

} // namespace

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

    // Export -> import -> export gives the same bytes.
    const std::string first = ReadAndWrite(bytes);
    if (ReadAndWrite(first) != first)
        __builtin_trap();
    return 0;
}
