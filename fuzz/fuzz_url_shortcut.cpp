// Any bytes as the contents of a ".url" shortcut file.
#include "formats/Favorites.h"
#include "framework/TextRules.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string url;
    if (ParseUrlShortcut(std::string_view(reinterpret_cast<const char*>(data), size), url)) {
        // A URL read is never empty, never longer than what it was read from (a legacy
        // byte may take three) and always whole UTF-8.
        if (url.empty() || url.size() > 3 * size || !KivText::IsValidUtf8(url))
            std::abort();
    }
    return 0;
}
