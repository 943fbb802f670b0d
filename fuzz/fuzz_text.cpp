// Bookmark texts under any sequence of makes, copies, moves, swaps and drops, with
// writers started and ended between them: every text must read as the plain string
// it stands for, and no block may be freed while a text is in it or kept after the
// last one (the sanitizers see both).

#include "framework/Text.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::array<CText, 8> texts;
    std::array<std::string, 8> model;
    auto writer = std::make_unique<CTextBlockWriter>();
    size_t i = 0;
    const auto next = [&]() -> uint8_t { return i < size ? data[i++] : 0; };
    while (i < size) {
        const uint8_t op = next();
        const size_t a = op & 7, b = (op >> 3) & 7;
        switch (op >> 6) {
        case 0: {
            // A text of the next bytes, long ones repeated past the in-place size.
            const size_t n = next();
            std::string s;
            for (size_t k = 0; k < n; ++k)
                s += char(data[(i + k) % size]);
            if (next() & 1) {
                texts[a] = writer->Make(s);
            } else {
                char* room = writer->Room(s.size() + (next() & 63));
                s.copy(room, s.size());
                texts[a] = writer->Finish(s.size());
            }
            model[a] = s;
            break;
        }
        case 1:
            texts[a] = texts[b];
            model[a] = model[b];
            break;
        case 2:
            if (a != b) {
                texts[a] = std::move(texts[b]);
                model[a] = std::move(model[b]);
                model[b].clear();
            } else {
                texts[a].Swap(texts[(a + 1) & 7]);
                std::swap(model[a], model[(a + 1) & 7]);
            }
            break;
        default:
            if (b == 0)
                writer = std::make_unique<CTextBlockWriter>();
            else
                texts[a] = CText(model[b]);
            if (b != 0)
                model[a] = model[b];
        }
        for (size_t k = 0; k < texts.size(); ++k)
            if (std::string_view(texts[k]) != model[k] || texts[k].c_str()[model[k].size()] != '\0')
                std::abort();
    }
    return 0;
}
