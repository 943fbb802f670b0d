#include "TextRules.h"

#include <QCollator>
#include <QLocale>
#include <QString>

#include <unicode/ucol.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <unordered_map>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace KivText {

namespace {

QCollator& Collator()
{
    // One collator for the program's life: building one per call is costly.
    static QCollator collator = [] {
        QCollator c{QLocale()};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(false);
        c.setIgnorePunctuation(false);
        return c;
    }();
    return collator;
}

// Windows-1252 bytes 0x80..0x9F; 0 marks the five unassigned bytes (kept as C1).
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Length of the UTF-8 sequence starting at text[i], or 0 when it is not valid.
size_t SequenceLength(std::string_view text, size_t i)
{
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 < 0x80)
        return 1;
    size_t len;
    char32_t min;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > text.size())
        return 0;
    char32_t cp = b0 & (0x7F >> len);
    for (size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

QString ToQString(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Valid UTF-8 of up to N bytes as UTF-16 in out; -1 when it does not fit or is not
// valid (QString's replacement rules then apply). Sorting under a collator compares
// each name many times, and this spares two allocations per comparison.
template <size_t N>
qsizetype ToUtf16(std::string_view s, std::array<char16_t, N>& out)
{
    if (s.size() > N)
        return -1;
    qsizetype n = 0;
    for (size_t i = 0; i < s.size();) {
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            out[size_t(n++)] = char16_t(s[i++]);
            continue;
        }
        const size_t len = SequenceLength(s, i);
        if (len == 0)
            return -1;
        const auto b0 = static_cast<unsigned char>(s[i]);
        char32_t cp = b0 & (0x7F >> len);
        for (size_t k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        if (cp >= 0x10000) {
            out[size_t(n++)] = char16_t(0xD800 + ((cp - 0x10000) >> 10));
            out[size_t(n++)] = char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out[size_t(n++)] = char16_t(cp);
        }
        i += len;
    }
    return n;
}

}  // namespace

namespace {
// Qt's simple case folding of the Latin-1 range, asked once: accented Latin letters
// are the most common characters outside ASCII in names.
char32_t Latin1Folded(char32_t cp)
{
    static const auto table = [] {
        std::array<char32_t, 256> t{};
        for (char32_t c = 0; c < 256; ++c)
            t[c] = QChar::toCaseFolded(c);
        return t;
    }();
    return table[cp];
}

// In the C locale the collator is Qt's case-insensitive string compare: UTF-16 units
// compared after simple case folding, where the low half of a surrogate pair stands
// for the folded code point of the pair and the high half for itself. Walking the
// UTF-8 text the same way gives the same order without converting either string.
class FoldCursor
{
public:
    explicit FoldCursor(std::string_view s) : m_s(s) {}
    bool Bad() const { return m_bad; }
    // The next unit's fold key; false at the end or at bytes that are not UTF-8.
    bool Next(char32_t& key)
    {
        if (m_pendingLow) {
            key = m_pendingLow;
            m_pendingLow = 0;
            return true;
        }
        if (m_i >= m_s.size())
            return false;
        const auto b = static_cast<unsigned char>(m_s[m_i]);
        if (b < 0x80) {
            ++m_i;
            key = (b >= 'A' && b <= 'Z') ? b + 32 : b;
            return true;
        }
        const size_t len = SequenceLength(m_s, m_i);
        if (len == 0) {
            m_bad = true;
            return false;
        }
        char32_t cp = b & (0x7F >> len);
        for (size_t k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(m_s[m_i + k]) & 0x3F);
        m_i += len;
        if (cp < 0x100) {
            key = Latin1Folded(cp);
        } else if (cp < 0x10000) {
            key = QChar::toCaseFolded(cp);
        } else {
            key = QChar::highSurrogate(cp);
            m_pendingLow = QChar::toCaseFolded(cp);
        }
        return true;
    }

private:
    std::string_view m_s;
    size_t m_i = 0;
    char32_t m_pendingLow = 0;
    bool m_bad = false;
};

// 2 when either text is not valid UTF-8 (the collator's own conversion decides then).
int CompareFolded(std::string_view a, std::string_view b)
{
    // ASCII characters fold on their own; the cursors take over at the first
    // character that is not ASCII on either side.
    const size_t common = std::min(a.size(), b.size());
    size_t i = 0;
    for (; i < common; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if ((x | y) >= 0x80)
            break;
        const int fx = (x >= 'A' && x <= 'Z') ? x + 32 : x;
        const int fy = (y >= 'A' && y <= 'Z') ? y + 32 : y;
        if (fx != fy)
            return fx < fy ? -1 : 1;
    }
    if (i == common && i == a.size() && i == b.size())
        return 0;
    FoldCursor ca(a.substr(i)), cb(b.substr(i));
    for (;;) {
        char32_t ka = 0, kb = 0;
        const bool moreA = ca.Next(ka);
        const bool moreB = cb.Next(kb);
        if (ca.Bad() || cb.Bad())
            return 2;
        if (!moreA || !moreB)
            return moreA ? 1 : moreB ? -1 : 0;
        if (ka != kb)
            return ka < kb ? -1 : 1;
    }
}

bool CollatorIsC()
{
    static const bool isC = Collator().locale().language() == QLocale::C;
    return isC;
}
}  // namespace

namespace {
const UCollator* KeyCollator();
}  // namespace

int CompareNoCase(std::string_view a, std::string_view b)
{
    if (a == b)
        return 0;
    if (CollatorIsC()) {
        const int r = CompareFolded(a, b);
        if (r != 2)
            return r;
    } else if (const UCollator* icu = KeyCollator(); icu && IsValidUtf8(a) && IsValidUtf8(b)) {
        // The same collation read from the UTF-8 directly, which stops at the first
        // difference instead of converting both names first. Qt puts an empty name
        // before any other.
        if (a.empty() || b.empty())
            return a.empty() ? -1 : 1;
        UErrorCode status = U_ZERO_ERROR;
        const UCollationResult r = ucol_strcollUTF8(icu, a.data(), int32_t(a.size()), b.data(),
                                                    int32_t(b.size()), &status);
        if (U_SUCCESS(status))
            return r;
    }
    std::array<char16_t, 256> ua, ub;
    const qsizetype na = ToUtf16(a, ua), nb = ToUtf16(b, ub);
    if (na >= 0 && nb >= 0)
        return Collator().compare(QStringView(ua.data(), na), QStringView(ub.data(), nb));
    return Collator().compare(ToQString(a), ToQString(b));
}

bool NameKeysOrder() { return CollatorIsC(); }

namespace {
// The name as the UTF-16 text the collator compares: in `buffer` when it is valid
// UTF-8 that fits, else converted with QString's replacement rules into `spill`.
QStringView CollatedText(std::string_view name, std::array<char16_t, 256>& buffer, QString& spill)
{
    const qsizetype n = ToUtf16(name, buffer);
    if (n >= 0)
        return QStringView(buffer.data(), n);
    spill = ToQString(name);
    return spill;
}

// The whole ICU sort key of text (empty when ICU fails).
std::string FullSortKey(const UCollator* collator, QStringView text)
{
    std::string key(64, '\0');
    const auto fill = [&] {
        return ucol_getSortKey(collator, reinterpret_cast<const UChar*>(text.data()),
                               int32_t(text.size()), reinterpret_cast<uint8_t*>(key.data()),
                               int32_t(key.size()));
    };
    int32_t len = fill();
    if (len > int32_t(key.size())) {
        key.resize(size_t(len));
        len = fill();
    }
    key.resize(size_t(std::max(len, 0)));
    return key;
}

int Sign(int v) { return (v > 0) - (v < 0); }

// ICU's collator set up as Qt sets up the one above (locale, case ignored, no numeric
// order, punctuation counted), for its sort keys: comparing two keys byte by byte
// orders the names as the collator's comparison does, so a large sort needs one key
// per name instead of a collator call per comparison. Null in the C locale, or when
// it does not order a set of names that locales treat differently exactly as Qt's
// collator does (then the comparison alone is used).
UCollator* OpenKeyCollator()
{
    if (CollatorIsC())
        return nullptr;
    const QByteArray locale = Collator().locale().bcp47Name().toLatin1().replace('-', '_');
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open(locale.constData(), &status);
    if (U_FAILURE(status))
        return nullptr;
    ucol_setAttribute(collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    ucol_setAttribute(collator, UCOL_STRENGTH, UCOL_SECONDARY, &status);
    ucol_setAttribute(collator, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
    ucol_setAttribute(collator, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    static const char16_t* const probes[]
        = {u"", u"a", u"A", u"b", u"\u00e4", u"ae", u"\u00e6", u"z", u"ch", u"h", u"cz",
           u"i", u"\u0131", u"I", u"\u0130", u"j", u"y", u"v", u"w", u"\u00f1", u"n", u"o",
           u"\u00f6", u"\u00f8", u"aa", u"\u00e5", u"ll", u"l", u"m", u"\u00df", u"ss",
           u"\u010d", u"c", u"d", u"\u00e9", u"e\u0301", u"E", u"e", u"-", u" ", u"_",
           u"~", u"1", u"10", u"9", u"\u0436", u"\u03c3", u"\u03a3", u"\u4e00", u"\u4e8c",
           u"\u3042", u"\uac00", u"\U0001F600", u"\u0001"};
    std::vector<std::string> keys;
    for (const char16_t* p : probes)
        keys.push_back(FullSortKey(collator, QStringView(p)));
    bool agrees = U_SUCCESS(status);
    for (size_t a = 0; agrees && a < std::size(probes); ++a)
        for (size_t b = 0; agrees && b < std::size(probes); ++b) {
            const int byKeys = Sign(keys[a].compare(keys[b]));
            const int byQt = Sign(Collator().compare(QStringView(probes[a]), QStringView(probes[b])));
            // Qt puts an empty name before any other, even one of ignorable characters
            // only; equal keys leave such pairs to the comparison.
            const bool oneEmpty = (probes[a][0] == 0) != (probes[b][0] == 0);
            agrees = byKeys == byQt || (byKeys == 0 && oneEmpty);
        }
    if (!agrees) {
        ucol_close(collator);
        return nullptr;
    }
    return collator;
}

const UCollator* KeyCollator()
{
    static UCollator* const collator = OpenKeyCollator();
    return collator;
}

// The first bytes of the name's sort key (zeros past its end) as numbers that compare
// as those bytes do: different prefixes order two names as the collator does, equal
// ones settle nothing.
using KeyPrefix = std::array<uint64_t, 3>;

KeyPrefix SortKeyPrefix(const UCollator* collator, std::string_view name)
{
    std::array<char16_t, 256> buffer;
    QString spill;
    const QStringView text = CollatedText(name, buffer, spill);
    std::array<uint8_t, 128> small;
    const auto* u = reinterpret_cast<const UChar*>(text.data());
    const int32_t len
        = ucol_getSortKey(collator, u, int32_t(text.size()), small.data(), int32_t(small.size()));
    std::array<uint8_t, sizeof(KeyPrefix)> prefix{};
    if (len > int32_t(small.size())) {
        // Only a buffer that holds the whole key is filled in a defined way.
        std::vector<uint8_t> whole(static_cast<size_t>(len));
        ucol_getSortKey(collator, u, int32_t(text.size()), whole.data(), len);
        std::memcpy(prefix.data(), whole.data(), prefix.size());
    } else if (len > 0) {
        std::memcpy(prefix.data(), small.data(), std::min(size_t(len), prefix.size()));
    }
    KeyPrefix words{};
    for (size_t k = 0; k < prefix.size(); ++k)
        words[k / 8] = (words[k / 8] << 8) | prefix[k];
    return words;
}
}  // namespace

bool SortsByCollationKeys() { return KeyCollator() != nullptr; }

bool StableSortByCollationKeys(std::vector<uint32_t>& items,
                               const std::function<std::string_view(uint32_t)>& nameOf)
{
    const UCollator* collator = KeyCollator();
    if (!collator)
        return false;
    // Compared by their key prefixes; only names whose prefixes are equal go to the
    // comparison, and the position then breaks ties as a stable sort keeps them. Each
    // name is looked up once: the lookups reach all over memory.
    struct Keyed
    {
        KeyPrefix key;
        uint32_t pos, item;
    };
    std::vector<Keyed> keyed(items.size());
    std::vector<std::string_view> names(items.size());
    for (size_t k = 0; k < items.size(); ++k)
        names[k] = nameOf(items[k]);
    for (size_t k = 0; k < items.size(); ++k) {
        if (k + 8 < items.size())
            __builtin_prefetch(names[k + 8].data());
        keyed[k] = {SortKeyPrefix(collator, names[k]), uint32_t(k), items[k]};
    }
    std::sort(keyed.begin(), keyed.end(), [&](const Keyed& a, const Keyed& b) {
        if (a.key != b.key)
            return a.key < b.key;
        const int r = CompareNoCase(names[a.pos], names[b.pos]);
        return r != 0 ? r < 0 : a.pos < b.pos;
    });
    for (size_t k = 0; k < items.size(); ++k)
        items[k] = keyed[k].item;
    return true;
}

uint64_t NameKey(std::string_view name)
{
    // Packed high to low; a name that ends leaves zeros, so it sorts before any
    // longer name it begins. ASCII and Latin-1 letters (two bytes each) are read
    // directly, anything else through the general fold.
    uint64_t key = 0;
    int units = 0;
    size_t i = 0;
    while (units < 4 && i < name.size()) {
        const auto b = static_cast<uint8_t>(name[i]);
        if (b < 0x80) {
            key = (key << 16) | ((b >= 'A' && b <= 'Z') ? b + 32 : b);
            ++i;
        } else if ((b == 0xC2 || b == 0xC3) && i + 1 < name.size()
                   && (static_cast<uint8_t>(name[i + 1]) & 0xC0) == 0x80) {
            const auto next = static_cast<uint8_t>(name[i + 1]);
            key = (key << 16) | Latin1Folded(((b & 0x1F) << 6) | (next & 0x3F));
            i += 2;
        } else {
            FoldCursor cursor(name.substr(i));
            for (char32_t unit = 0; units < 4 && cursor.Next(unit);) {
                // The unit after a high surrogate stands for the whole folded code
                // point, which a 16-bit lane cannot hold: it takes the lane's top value
                // and ends the key, so the key still orders but settles no tie there.
                // U+FFFF itself ends it too, or it could pass for such a unit.
                ++units;
                if (unit >= 0xFFFF) {
                    key = (key << 16) | 0xFFFF;
                    break;
                }
                key = (key << 16) | unit;
            }
            break;
        }
        ++units;
    }
    return units == 0 ? 0 : key << (16 * (4 - units));
}

namespace {
// Below this many items a plain sort is as quick as grouping equal names first.
constexpr size_t kRankedFrom = 1024;

// Where names repeat, the comparison is asked once per pair of distinct names rather
// than once per pair of items: the items are grouped by their exact bytes, the
// distinct names sorted, and the items placed in the order of their name's rank,
// keeping their order within a rank. False (nothing done) when most names are
// distinct.
bool SortByDistinctNames(std::vector<uint32_t>& items,
                         const std::function<std::string_view(uint32_t)>& nameOf)
{
    // Grouped by a table of the names met so far: one look per item, in the items'
    // order, where a sort of the items by name hash looked at names all over memory.
    const size_t n = items.size();
    std::unordered_map<std::string_view, uint32_t> groupOf;
    std::vector<uint32_t> groupAt(n); // by position
    std::vector<uint32_t> groupItem;  // one item of each group
    for (size_t k = 0; k < n; ++k) {
        const auto [it, added] = groupOf.try_emplace(nameOf(items[k]), uint32_t(groupItem.size()));
        if (added) {
            if (groupItem.size() > n / 4)
                return false;
            groupItem.push_back(items[k]);
        }
        groupAt[k] = it->second;
    }
    groupOf = {};
    std::vector<uint32_t> order(groupItem.size());
    for (uint32_t g = 0; g < order.size(); ++g)
        order[g] = g;
    const auto groupName = [&](uint32_t g) { return nameOf(groupItem[g]); };
    if (!StableSortByCollationKeys(order, groupName))
        std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
            return CompareNoCase(groupName(a), groupName(b)) < 0;
        });
    // Names the comparison finds equal (different bytes) share a rank.
    std::vector<uint32_t> rank(order.size());
    uint32_t r = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        if (k > 0
            && CompareNoCase(nameOf(groupItem[order[k - 1]]), nameOf(groupItem[order[k]])) != 0)
            ++r;
        rank[order[k]] = r;
    }
    // A counting sort by rank keeps the order within each rank.
    std::vector<uint32_t> start(size_t(r) + 2, 0);
    for (size_t k = 0; k < n; ++k)
        ++start[rank[groupAt[k]] + 1];
    for (size_t k = 1; k < start.size(); ++k)
        start[k] += start[k - 1];
    std::vector<uint32_t> sorted(n);
    for (size_t k = 0; k < n; ++k)
        sorted[start[rank[groupAt[k]]]++] = items[k];
    items.swap(sorted);
    return true;
}
} // namespace

namespace {
// Whether the names seem to repeat enough for grouping them to pay, judged from the
// first few thousand: a guess that only chooses between two exact sorts.
bool NamesRepeat(const std::vector<uint32_t>& items,
                 const std::function<std::string_view(uint32_t)>& nameOf)
{
    const size_t sample = std::min<size_t>(items.size(), 4096);
    std::vector<std::string_view> names(sample);
    for (size_t k = 0; k < sample; ++k)
        names[k] = nameOf(items[k]);
    std::sort(names.begin(), names.end());
    const size_t distinct = size_t(std::unique(names.begin(), names.end()) - names.begin());
    return distinct <= sample / 2;
}
} // namespace

bool StableSortNearlySorted(std::vector<uint32_t>& items,
                            const std::function<int(uint32_t, uint32_t)>& compare)
{
    // One walk keeps an ascending run; an item below the run's last takes that last
    // one out with it, so at most twice the fewest items whose removal leaves the rest
    // in order are set aside. Those are sorted, then merged back with the run; ties
    // go by original position, which is the order a stable sort gives.
    const size_t n = items.size();
    std::vector<uint32_t> run, aside; // positions in items
    run.reserve(n);
    for (uint32_t k = 0; k < n; ++k) {
        if (!run.empty() && compare(items[k], items[run.back()]) < 0) {
            aside.push_back(run.back());
            aside.push_back(k);
            run.pop_back();
            // Given up early where most items are out of place, so as to waste little.
            if (aside.size() > n / 4 || aside.size() > k / 4 + 256)
                return false;
        } else {
            run.push_back(k);
        }
    }
    const auto before = [&](uint32_t a, uint32_t b) {
        const int r = compare(items[a], items[b]);
        return r != 0 ? r < 0 : a < b;
    };
    std::sort(aside.begin(), aside.end(), before);
    std::vector<uint32_t> merged;
    merged.reserve(n);
    std::merge(run.begin(), run.end(), aside.begin(), aside.end(), std::back_inserter(merged),
               before);
    for (uint32_t& pos : merged)
        pos = items[pos];
    items.swap(merged);
    return true;
}

void StableSortNoCase(std::vector<uint32_t>& items,
                      const std::function<std::string_view(uint32_t)>& nameOf)
{
    const auto plain = [&] {
        const auto less
            = [&](uint32_t a, uint32_t b) { return CompareNoCase(nameOf(a), nameOf(b)) < 0; };
        // Lists that are in order already are common, and one look costs far less
        // than a sort under a locale's collation.
        if (std::is_sorted(items.begin(), items.end(), less))
            return;
        if (items.size() >= kRankedFrom && (!SortsByCollationKeys() || NamesRepeat(items, nameOf))
            && SortByDistinctNames(items, nameOf))
            return;
        if (StableSortByCollationKeys(items, nameOf))
            return;
        // A list stored under another collation is mostly in order under this one.
        if (StableSortNearlySorted(
                items, [&](uint32_t a, uint32_t b) { return CompareNoCase(nameOf(a), nameOf(b)); }))
            return;
        // The names beside their items: each is then reached without a call and a
        // look into its item, many times over in a sort.
        struct Named
        {
            std::string_view name;
            uint32_t item;
        };
        std::vector<Named> named(items.size());
        for (size_t k = 0; k < items.size(); ++k)
            named[k] = {nameOf(items[k]), items[k]};
        std::stable_sort(named.begin(), named.end(), [](const Named& a, const Named& b) {
            return CompareNoCase(a.name, b.name) < 0;
        });
        for (size_t k = 0; k < items.size(); ++k)
            items[k] = named[k].item;
    };
    if (!NameKeysOrder() || items.size() < 64) {
        plain();
        return;
    }
    for (uint32_t item : items)
        if (!IsValidUtf8(nameOf(item))) {
            plain(); // the collator decides for such names, as in every comparison
            return;
        }
    StableSortNoCase(items, nameOf, [&](uint32_t item) { return NameKey(nameOf(item)); });
}

void StableSortNoCase(std::vector<uint32_t>& items,
                      const std::function<std::string_view(uint32_t)>& nameOf,
                      const std::function<uint64_t(uint32_t)>& keyOf)
{
    // Sorted with their keys beside them; only names that share a key are compared in
    // full, and the position breaks ties of equal names, as a stable sort keeps them.
    struct Keyed
    {
        uint64_t key;
        uint32_t pos;
        uint32_t item;
    };
    std::vector<Keyed> keyed(items.size());
    bool inOrder = true;
    for (size_t k = 0; k < items.size(); ++k) {
        keyed[k] = {keyOf(items[k]), uint32_t(k), items[k]};
        if (inOrder && k > 0 && keyed[k].key <= keyed[k - 1].key)
            inOrder = keyed[k].key == keyed[k - 1].key
                      && CompareNoCase(nameOf(items[k]), nameOf(items[k - 1])) >= 0;
    }
    if (inOrder)
        return;
    std::sort(keyed.begin(), keyed.end(), [&](const Keyed& a, const Keyed& b) {
        if (a.key != b.key)
            return a.key < b.key;
        const int r = CompareNoCase(nameOf(a.item), nameOf(b.item));
        return r != 0 ? r < 0 : a.pos < b.pos;
    });
    for (size_t k = 0; k < items.size(); ++k)
        items[k] = keyed[k].item;
}

bool ContainsNoCase(std::string_view haystack, std::string_view needle)
{
    if (needle.empty())
        return true;
    if (IsAscii(haystack) && IsAscii(needle)) {
        // Plain ASCII folds byte by byte; most collections are ASCII, so the
        // common case avoids converting every field.
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; };
        if (needle.size() > haystack.size())
            return false;
        for (size_t i = 0; i + needle.size() <= haystack.size(); ++i) {
            size_t k = 0;
            while (k < needle.size() && lower(haystack[i + k]) == lower(needle[k]))
                ++k;
            if (k == needle.size())
                return true;
        }
        return false;
    }
    return ToQString(haystack).toCaseFolded().contains(ToQString(needle).toCaseFolded());
}

bool IsAscii(std::string_view text)
{
    // Eight bytes at a time, the rest by loads that overlap what was seen: the
    // loader asks this of every string it reads.
    const char* p = text.data();
    const size_t n = text.size();
    const auto load = [](const char* at, size_t bytes) {
        uint64_t v = 0;
        std::memcpy(&v, at, bytes);
        return v;
    };
    uint64_t bits = 0;
    if (n >= 8) {
        for (size_t k = 0; k + 8 <= n; k += 8)
            bits |= load(p + k, 8);
        bits |= load(p + n - 8, 8);
    } else if (n >= 4) {
        bits = load(p, 4) | load(p + n - 4, 4);
    } else if (n > 0) {
        bits = uint64_t(uint8_t(p[0]) | uint8_t(p[n / 2]) | uint8_t(p[n - 1]));
    }
    return (bits & 0x8080808080808080ULL) == 0;
}

bool IsValidUtf8(std::string_view text)
{
    for (size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i; // plain ASCII, the common case, without the full decode
            continue;
        }
        const size_t len = SequenceLength(text, i);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

std::string LegacyToUtf8(std::string text)
{
    if (IsValidUtf8(text))
        return text;
    return Windows1252ToUtf8(text);
}

std::string Windows1252ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out += c;
        else if (b < 0xA0 && kCp1252High[b - 0x80] != 0)
            AppendUtf8(out, kCp1252High[b - 0x80]);
        else
            AppendUtf8(out, b);
    }
    return out;
}

std::string Utf8ToWindows1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    const QString s = ToQString(text);
    for (QChar ch : s) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out += char(u);
            continue;
        }
        char mapped = '?';
        for (size_t k = 0; k < kCp1252High.size(); ++k)
            if (kCp1252High[k] == u)
                mapped = char(0x80 + k);
        out += mapped;
    }
    return out;
}

namespace {

// One code point from unit i on (a surrogate pair takes two units); returns the next
// unit. An unpaired surrogate becomes '?', as Qt makes it.
inline size_t PutUtf16Unit(const unsigned char* src, size_t n, size_t i, char*& o)
{
    const auto unit = [src](size_t k) { return char32_t(src[2 * k] | (src[2 * k + 1] << 8)); };
    char32_t cp = unit(i);
    if (cp < 0x800) {
        // One or two bytes, written without a branch: names mix ASCII with accented
        // letters too irregularly for branches to be guessed right.
        const bool two = cp >= 0x80;
        o[0] = char(two ? (0xC0 | (cp >> 6)) : cp);
        o[1] = char(0x80 | (cp & 0x3F));
        o += 1 + int(two);
        return i + 1;
    }
    if (cp >= 0xD800 && cp <= 0xDFFF) {
        if (cp < 0xDC00 && i + 1 < n && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
            *o++ = char(0xF0 | (cp >> 18));
            *o++ = char(0x80 | ((cp >> 12) & 0x3F));
            *o++ = char(0x80 | ((cp >> 6) & 0x3F));
            *o++ = char(0x80 | (cp & 0x3F));
            return i + 2;
        }
        *o++ = '?';
        return i + 1;
    }
    *o++ = char(0xE0 | (cp >> 12));
    *o++ = char(0x80 | ((cp >> 6) & 0x3F));
    *o++ = char(0x80 | (cp & 0x3F));
    return i + 1;
}

size_t Utf16ToUtf8Plain(const unsigned char* src, size_t n, size_t i, char* const begin)
{
    char* o = begin;
    while (i < n) {
        // Four ASCII units at a time while they last.
        while (i + 4 <= n) {
            uint64_t four;
            std::memcpy(&four, src + 2 * i, 8);
            if (four & 0xFF80FF80FF80FF80ULL)
                break;
            o[0] = char(four);
            o[1] = char(four >> 16);
            o[2] = char(four >> 32);
            o[3] = char(four >> 48);
            o += 4;
            i += 4;
        }
        if (i < n)
            i = PutUtf16Unit(src, n, i, o);
    }
    return static_cast<size_t>(o - begin);
}

#if defined(__x86_64__)
// Eight units at a time. Below U+0800 every unit is one byte or two: each unit is
// written as its two-byte form into its own pair of lanes, and one shuffle, chosen
// by which units are ASCII, closes the gaps the one-byte units leave.
struct CompactShuffles
{
    alignas(16) uint8_t shuffle[256][16];
    uint8_t length[256];
};

constexpr CompactShuffles MakeCompactShuffles()
{
    CompactShuffles t{};
    for (int ascii = 0; ascii < 256; ++ascii) {
        int k = 0;
        for (int u = 0; u < 8; ++u) {
            t.shuffle[ascii][k++] = uint8_t(2 * u);
            if (!((ascii >> u) & 1))
                t.shuffle[ascii][k++] = uint8_t(2 * u + 1);
        }
        t.length[ascii] = uint8_t(k);
        for (; k < 16; ++k)
            t.shuffle[ascii][k] = 0x80;
    }
    return t;
}

constexpr CompactShuffles kCompact = MakeCompactShuffles();

const bool kHaveSsse3 = __builtin_cpu_supports("ssse3");

// Eight units below U+0800 written as UTF-8 at o (sixteen bytes stored); returns the
// bytes that count, or 0 when a unit needs three bytes or is a surrogate.
__attribute__((target("ssse3"))) inline size_t TwoByteBlock(__m128i v, char* o)
{
    const __m128i zero = _mm_setzero_si128();
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, _mm_set1_epi16(short(0xF800))), zero))
        != 0xFFFF)
        return 0;
    const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(v, _mm_set1_epi16(short(0xFF80))), zero);
    const int asciiBits = _mm_movemask_epi8(_mm_packs_epi16(ascii, zero)) & 0xFF;
    if (asciiBits == 0xFF) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_packus_epi16(v, v));
        return 8;
    }
    const __m128i lead = _mm_or_si128(_mm_srli_epi16(v, 6), _mm_set1_epi16(0xC0));
    const __m128i first = _mm_or_si128(_mm_and_si128(ascii, v), _mm_andnot_si128(ascii, lead));
    const __m128i trail = _mm_or_si128(_mm_and_si128(v, _mm_set1_epi16(0x3F)), _mm_set1_epi16(0x80));
    const __m128i pairs = _mm_or_si128(first, _mm_slli_epi16(trail, 8));
    const __m128i shuffle =
        _mm_load_si128(reinterpret_cast<const __m128i*>(kCompact.shuffle[asciiBits]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_shuffle_epi8(pairs, shuffle));
    return kCompact.length[asciiBits];
}

// Units from `readable` on may not be read; those from n on are read but not converted.
__attribute__((target("ssse3"))) size_t Utf16ToUtf8Ssse3(const unsigned char* src, size_t n,
                                                          size_t readable, char* const begin)
{
    char* o = begin;
    size_t i = 0;
    while (i + 8 <= n) {
        const size_t wrote =
            TwoByteBlock(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 2 * i)), o);
        if (wrote) {
            o += wrote;
            i += 8;
            continue;
        }
        // Three-byte characters or surrogates: this block the plain way.
        const size_t blockEnd = i + 8;
        while (i < blockEnd)
            i = PutUtf16Unit(src, n, i, o);
    }
    if (i < n && i + 8 <= readable) {
        // The last few units as a block whose lanes past the end are made NULs: they
        // come out as single bytes after the text, which the length leaves off.
        const auto left = static_cast<short>(n - i);
        const __m128i keep =
            _mm_cmpgt_epi16(_mm_set1_epi16(left), _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7));
        const size_t wrote = TwoByteBlock(
            _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 2 * i)), keep), o);
        if (wrote)
            return static_cast<size_t>(o - begin) + wrote - size_t(8 - left);
    }
    return static_cast<size_t>(o - begin) + Utf16ToUtf8Plain(src, n, i, o);
}
#endif

}  // namespace

size_t Utf16LeToUtf8(const char* bytes, size_t units, char* out, size_t readableUnits)
{
    const auto* src = reinterpret_cast<const unsigned char*>(bytes);
#if defined(__x86_64__)
    if (kHaveSsse3)
        return Utf16ToUtf8Ssse3(src, units, std::max(units, readableUnits), out);
#endif
    (void)readableUnits;
    return Utf16ToUtf8Plain(src, units, 0, out);
}

size_t Utf16LeToUtf8(const char* bytes, size_t units, char* out)
{
    return Utf16LeToUtf8(bytes, units, out, units);
}

std::string Utf16LeToUtf8(std::string_view bytes)
{
    // Done by hand: the loader converts every wide string of a file, and a detour
    // through QString costs two allocations each. Short text is converted on the
    // stack, so the result is allocated once at its size (or not at all).
    const size_t n = bytes.size() / 2;
    const size_t room = Utf16ToUtf8Room(n);
    char local[384];
    std::string out;
    char* const begin = room <= sizeof local ? local : (out.resize(room), out.data());
    const size_t length = Utf16LeToUtf8(bytes.data(), n, begin);
    if (begin == local)
        return std::string(local, length);
    out.resize(length);
    return out;
}

std::string Utf8ToUtf16Le(std::string_view text)
{
    std::string out;
    if (!IsValidUtf8(text)) {
        // Stray bytes are replaced the way Qt replaces them everywhere else.
        const QString s = ToQString(text);
        out.resize(static_cast<size_t>(s.size()) * 2);
        for (qsizetype i = 0; i < s.size(); ++i) {
            const char16_t u = s[i].unicode();
            out[2 * i] = char(u & 0xFF);
            out[2 * i + 1] = char(u >> 8);
        }
        return out;
    }
    out.reserve(text.size() * 2);
    const auto put = [&](char16_t u) {
        out += char(u & 0xFF);
        out += char(u >> 8);
    };
    for (size_t i = 0; i < text.size();) {
        const size_t len = SequenceLength(text, i);
        char32_t cp = static_cast<unsigned char>(text[i]) & (len == 1 ? 0x7F : 0x7F >> len);
        for (size_t k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        if (cp >= 0x10000) {
            put(char16_t(0xD800 + ((cp - 0x10000) >> 10)));
            put(char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            put(char16_t(cp));
        }
        i += len;
    }
    return out;
}

std::string_view TruncateUtf8(std::string_view text, size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    size_t cut = maxBytes;
    // Step back over continuation bytes so the cut lands on a character start.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut);
}

namespace {
// Whether the valid sequence of `len` bytes at text[i] is a white-space character.
bool IsSpaceAt(std::string_view text, size_t i, size_t len)
{
    char32_t cp = static_cast<unsigned char>(text[i]) & (len == 1 ? 0x7F : 0x7F >> len);
    for (size_t k = 1; k < len; ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    return QChar::isSpace(cp);
}

size_t LeadingSpaceBytes(std::string_view text)
{
    size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            if (b == ' ' || (b >= '\t' && b <= '\r')) {
                ++i;
                continue;
            }
            break;
        }
        const size_t len = SequenceLength(text, i);
        if (len == 0 || !IsSpaceAt(text, i, len))
            break;
        i += len;
    }
    return i;
}

// Measured on the bytes themselves: a round trip through QString would lose a
// leading U+FEFF and with it the length of the text.
size_t TrailingSpaceStart(std::string_view text)
{
    size_t end = text.size();
    while (end > 0) {
        size_t start = end - 1;
        while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
            --start;
        const size_t len = SequenceLength(text, start);
        if (len != end - start || !IsSpaceAt(text, start, len))
            break;
        end = start;
    }
    return end;
}
}  // namespace

std::string TrimLeft(std::string_view text)
{
    return std::string(text.substr(LeadingSpaceBytes(text)));
}

std::string Trim(std::string_view text)
{
    const std::string left = TrimLeft(text);
    if (IsValidUtf8(left))
        return left.substr(0, TrailingSpaceStart(left));
    size_t end = left.size();
    while (end > 0 && (left[end - 1] == ' ' || (left[end - 1] >= '\t' && left[end - 1] <= '\r')))
        --end;
    return left.substr(0, end);
}

}  // namespace KivText
