#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The text rules every part of Kiv shares: model strings are UTF-8; names sort with
// one locale-aware, case-insensitive comparison; URLs compare byte for byte.
namespace KivText {

// The one case-insensitive, locale-aware comparison of names (sibling order,
// bookmark order, name lookups). Negative, zero or positive like strcmp.
int CompareNoCase(std::string_view a, std::string_view b);
// Whether NameKey orders names here (it does in the C locale, where the comparison
// is by case-folded UTF-16 units).
bool NameKeysOrder();
// The first four fold units of a valid UTF-8 name packed into one number: a name
// with a smaller key sorts first under CompareNoCase; equal keys settle nothing.
uint64_t NameKey(std::string_view name);
// Sorts items into the order CompareNoCase gives their names; items with equal
// names keep their order (a stable sort).
void StableSortNoCase(std::vector<uint32_t>& items,
                      const std::function<std::string_view(uint32_t)>& nameOf);
// The same where keyOf gives each item's NameKey, already taken (NameKeysOrder holds).
void StableSortNoCase(std::vector<uint32_t>& items,
                      const std::function<std::string_view(uint32_t)>& nameOf,
                      const std::function<uint64_t(uint32_t)>& keyOf);
// A stable sort of items by compare (negative, zero or positive) that costs about
// one comparison per item plus a sort of the few out of place, for lists mostly in
// order. False, with items unchanged, when too many are out of place.
bool StableSortNearlySorted(std::vector<uint32_t>& items,
                            const std::function<int(uint32_t, uint32_t)>& compare);

// Whether StableSortByCollationKeys can sort here (under a locale's collation, when
// ICU's sort keys are found to order names as the comparison does).
bool SortsByCollationKeys();
// A stable sort by CompareNoCase through ICU sort keys taken once per name. False,
// with items unchanged, where SortsByCollationKeys does not hold.
bool StableSortByCollationKeys(std::vector<uint32_t>& items,
                               const std::function<std::string_view(uint32_t)>& nameOf);

// Case-folded substring test (Unicode case folding).
bool ContainsNoCase(std::string_view haystack, std::string_view needle);

bool IsAscii(std::string_view text);
bool IsValidUtf8(std::string_view text);

// Text of unknown origin: kept when it is valid UTF-8, else read as Windows-1252.
std::string LegacyToUtf8(std::string text);
std::string Windows1252ToUtf8(std::string_view text);
// UTF-8 to Windows-1252 where every character has a byte there; '?' otherwise.
std::string Utf8ToWindows1252(std::string_view text);

std::string Utf16LeToUtf8(std::string_view bytes);
// The same into `out`, which has room for Utf16ToUtf8Room(units) bytes (the
// conversion stores whole blocks, a little past what it keeps); returns the length.
constexpr size_t Utf16ToUtf8Room(size_t units) { return units * 3 + 16; }
size_t Utf16LeToUtf8(const char* bytes, size_t units, char* out);
// The same where `readableUnits` units may be read at `bytes` (the text is followed
// by more data): the last units are then converted together with what follows.
size_t Utf16LeToUtf8(const char* bytes, size_t units, char* out, size_t readableUnits);
std::string Utf8ToUtf16Le(std::string_view text);

// At most maxBytes bytes, never splitting a character.
std::string_view TruncateUtf8(std::string_view text, size_t maxBytes);

// Leading white space removed (Unicode-aware); trailing white space kept.
std::string TrimLeft(std::string_view text);
// White space removed at both ends.
std::string Trim(std::string_view text);

}  // namespace KivText
