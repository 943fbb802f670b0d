// URL keys of any bytes under the four option sets: no read outside the text, and a
// key keeps a fragment only when it is a route ("#/inbox", "#!/a").

#include "tidy/UrlKey.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view url(reinterpret_cast<const char*>(data), size);
    for (int o = 0; o < 4; ++o) {
        const std::string key = UrlKey(url, UrlKeyOptions{(o & 1) != 0, (o & 2) != 0});
        const size_t hash = key.find('#');
        if (hash != std::string::npos
            && (hash + 1 >= key.size() || (key[hash + 1] != '/' && key[hash + 1] != '!')))
            std::abort();
    }
    return 0;
}
