// The one name comparison: its quick path for plain ASCII must agree with the
// collator in every case, since folder and bookmark order depend on it.

#include "framework/TextRules.h"

#include <QCollator>
#include <QLocale>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

int CollatorSign(const std::string& a, const std::string& b)
{
    QCollator c{QLocale()};
    c.setCaseSensitivity(Qt::CaseInsensitive);
    c.setNumericMode(false);
    c.setIgnorePunctuation(false);
    return Sign(c.compare(QString::fromStdString(a), QString::fromStdString(b)));
}

TEST(CompareNoCase, AgreesWithTheCollatorOnRandomNames)
{
    std::mt19937 rng(5);
    // Every ASCII byte, a few letters more often, and some non-ASCII tails.
    std::string alphabet;
    for (int c = 1; c < 128; ++c)
        alphabet += char(c);
    alphabet += "aAbBzZ[]_`@^~ 09";
    const char* const tails[] = {"",  "é",  "É", "ß",  "ü", "Ω",  "İ",  "ı", "ſ",  "K", "ς",
                                 "Σ", "ﬀ", "𐐀", "𐐨", "😀", "\xEF\xBF\xBF", "\xE9", "\xC3", "ǅ"};
    for (int k = 0; k < 200000; ++k) {
        std::string a, b;
        const int len = int(rng() % 6);
        for (int i = 0; i < len; ++i)
            a += alphabet[rng() % alphabet.size()];
        b = a;
        // Mostly near-equal pairs: a changed letter, a changed case, a cut.
        switch (rng() % 4) {
        case 0:
            if (!b.empty())
                b[rng() % b.size()] = alphabet[rng() % alphabet.size()];
            break;
        case 1:
            for (char& c : b)
                if (rng() % 2)
                    c = char(std::toupper(static_cast<unsigned char>(c)));
            break;
        case 2:
            b = b.substr(0, rng() % (b.size() + 1));
            break;
        default:
            b += alphabet[rng() % alphabet.size()];
        }
        a += tails[rng() % std::size(tails)];
        b += tails[rng() % std::size(tails)];
        if (rng() % 3 == 0) {
            a += tails[rng() % std::size(tails)];
            b += tails[rng() % std::size(tails)];
        }
        ASSERT_EQ(Sign(KivText::CompareNoCase(a, b)), CollatorSign(a, b))
            << "\"" << a << "\" vs \"" << b << "\"";
    }
}

TEST(CompareNoCase, AgreesWithTheCollatorOnLatinLettersAnywhere)
{
    // Accented letters at any position, not only at the end: the quick ASCII walk
    // hands over to the full folding in the middle of a name.
    std::mt19937 rng(11);
    std::vector<std::string> letters = {"a", "A", "e", "E", "s", "S", "k", "K", " ", "1"};
    for (char32_t c = 0xA0; c <= 0xFF; ++c)
        letters.push_back(QString(QChar(c)).toStdString());
    letters.push_back("ſ"); // folds to 's'
    letters.push_back("K"); // Kelvin sign, folds to 'k'
    for (int k = 0; k < 100000; ++k) {
        std::string a;
        const int len = 1 + int(rng() % 8);
        for (int i = 0; i < len; ++i)
            a += letters[rng() % letters.size()];
        std::string b = a.substr(0, rng() % (a.size() + 1));
        const int more = int(rng() % 4);
        for (int i = 0; i < more; ++i)
            b += letters[rng() % letters.size()];
        ASSERT_EQ(Sign(KivText::CompareNoCase(a, b)), CollatorSign(a, b))
            << "\"" << a << "\" vs \"" << b << "\"";
    }
}

TEST(StableSortNoCase, GivesTheOrderOfAStableSortByTheComparison)
{
    // Names sharing long prefixes, equal names in other cases, letters beyond the Latin
    // range, pairs of surrogates, NUL characters and empty names; then the same with a
    // name that is not UTF-8 among them; then thousands of names drawn from a few
    // dozen, one of them not UTF-8, as the collator sorts them. Under a locale's
    // collation the sort goes by ICU sort keys: names the collator finds equal in other
    // bytes (case, composed or not, characters it ignores), names whose keys share
    // their first bytes or outgrow the buffers.
    ASSERT_EQ(KivText::SortsByCollationKeys(), QLocale().language() != QLocale::C);
    std::mt19937 rng(5);
    const std::string longPart(120, 'q');
    const char* const parts[] = {"a", "B", "ab", "Ab", "é", "É", "z", "\xCE\xA3", "\xCF\x83",
                                 "\xF0\x9F\x98\x80", "\xEF\xBC\xA1", " ", "", "1",
                                 "e\xCC\x81", "\xC2\xAD", "\x01", "-", "\xC3\xB1", "\xC3\xB8",
                                 "Abcdefghijklmnopqrstuvwxyz", longPart.c_str()};
    for (int round = 0; round < 44; ++round) {
        std::vector<std::string> names(64 + rng() % 400);
        if (round >= 40) {
            std::vector<std::string> few(1 + rng() % 40);
            for (std::string& n : few)
                for (int k = int(rng() % 3); k > 0; --k)
                    n += parts[rng() % std::size(parts)];
            few[0] += "\xC3";
            names.resize(2000 + rng() % 2000);
            for (std::string& n : names)
                n = few[rng() % few.size()];
        }
        for (std::string& n : names) {
            if (round >= 40)
                break;
            for (int k = int(rng() % 8); k > 0; --k)
                n += parts[rng() % std::size(parts)];
            if (rng() % 20 == 0)
                n += std::string(1, '\0') + "x";
        }
        if (round % 10 == 9)
            names[rng() % names.size()] += "\xC3";
        std::vector<uint32_t> items(names.size());
        for (uint32_t k = 0; k < items.size(); ++k)
            items[k] = k;
        std::shuffle(items.begin(), items.end(), rng);
        std::vector<uint32_t> want = items;
        std::stable_sort(want.begin(), want.end(), [&](uint32_t a, uint32_t b) {
            return KivText::CompareNoCase(names[a], names[b]) < 0;
        });
        KivText::StableSortNoCase(items, [&](uint32_t i) -> std::string_view { return names[i]; });
        ASSERT_EQ(items, want) << round;
    }
}

TEST(StableSortNearlySorted, MatchesAStableSortUnderTheCollatorAndInTheCLocale)
{
    // Names in one collation's order sorted under another (the C locale's and
    // en_US's disagree on accents, '~' and '_'), then disturbed: a first name that
    // sorts last, reversed runs, a few names moved far, case variants that compare
    // equal and must keep their arrival order. Each is either sorted as
    // std::stable_sort would, with few comparisons when little is out of place, or
    // refused and left as it was (a reversed list).
    QCollator en{QLocale(QLocale::English, QLocale::UnitedStates)};
    en.setCaseSensitivity(Qt::CaseInsensitive);
    en.setNumericMode(false);
    en.setIgnorePunctuation(false);
    std::mt19937 rng(23);
    const char* const parts[] = {"a", "B", "e", "z", "1", "Q", "k", "o"};
    const char* const rare[] = {"\xC3\xA9", "\xC3\x89", "~", "_", " "};
    std::vector<std::string> names(3000);
    for (std::string& n : names)
        for (int k = 1 + int(rng() % 6); k > 0; --k)
            n += rng() % 40 == 0 ? rare[rng() % std::size(rare)] : parts[rng() % std::size(parts)];
    for (size_t k = 0; k + 1 < names.size(); k += 7) // equal under both, different bytes
        names[k + 1] = QString::fromStdString(names[k]).toUpper().toStdString();
    names[5] += "\xC3"; // not UTF-8: the entry point below then sorts through the collator
    std::vector<QString> qnames;
    for (const std::string& n : names)
        qnames.push_back(QString::fromStdString(n));
    size_t asked = 0;
    const std::function<int(uint32_t, uint32_t)> byCollator = [&](uint32_t a, uint32_t b) {
        ++asked;
        return en.compare(qnames[a], qnames[b]);
    };
    const std::function<int(uint32_t, uint32_t)> inC = [&](uint32_t a, uint32_t b) {
        ++asked;
        return KivText::CompareNoCase(names[a], names[b]);
    };
    const auto sortedBy = [](std::vector<uint32_t> items, const auto& compare) {
        std::stable_sort(items.begin(), items.end(),
                         [&](uint32_t a, uint32_t b) { return compare(a, b) < 0; });
        return items;
    };
    std::vector<uint32_t> all(names.size());
    for (uint32_t k = 0; k < all.size(); ++k)
        all[k] = k;
    for (int side = 0; side < 2; ++side) {
        const auto& compare = side == 0 ? byCollator : inC;
        const auto& other = side == 0 ? inC : byCollator;
        for (int shape = 0; shape < 5; ++shape) {
            std::vector<uint32_t> items = sortedBy(all, other);
            if (shape == 1) { // the first sorts last
                std::vector<uint32_t> in = sortedBy(all, compare);
                std::rotate(in.begin(), in.end() - 1, in.end());
                items = in;
            } else if (shape == 2) { // reversed runs
                for (size_t k = 0; k + 6 < items.size(); k += 100)
                    std::reverse(items.begin() + long(k), items.begin() + long(k + 6));
            } else if (shape == 3) { // a few moved far
                for (int k = 0; k < 30; ++k)
                    std::swap(items[rng() % items.size()], items[rng() % items.size()]);
            } else if (shape == 4) {
                std::reverse(items.begin(), items.end());
            }
            const std::vector<uint32_t> was = items;
            const std::vector<uint32_t> want = sortedBy(items, compare);
            ASSERT_NE(was, want) << side << " " << shape;
            asked = 0;
            const bool done = KivText::StableSortNearlySorted(items, compare);
            if (shape == 4) {
                ASSERT_FALSE(done) << side;
                ASSERT_EQ(items, was) << side;
                continue;
            }
            ASSERT_TRUE(done) << side << " " << shape;
            ASSERT_EQ(items, want) << side << " " << shape;
            EXPECT_LT(asked, 4 * items.size()) << side << " " << shape;
        }
    }
    // And through the loader's entry point, in the C locale the tests run in.
    std::vector<uint32_t> items = sortedBy(all, byCollator);
    const std::vector<uint32_t> want = sortedBy(items, inC);
    ASSERT_NE(items, want);
    KivText::StableSortNoCase(items, [&](uint32_t i) -> std::string_view { return names[i]; });
    ASSERT_EQ(items, want);
}

TEST(NameKey, OrdersNamesAsTheComparisonDoes)
{
    // Names that differ early, late, only in case, in length, and beyond ASCII: a
    // smaller key always means a name that sorts first.
    ASSERT_TRUE(KivText::NameKeysOrder()); // the tests run in the C locale
    std::mt19937 rng(17);
    // Beyond the first plane: U+20531 and U+208FB (their folded code points do not
    // fit 16 bits, and their order is not their surrogates' spilled bits), a Deseret
    // capital and small letter, U+FFFF and U+E000 on either side of such units.
    const char* const parts[] = {"a",
                                 "B",
                                 "z",
                                 "Zz",
                                 "é",
                                 "É",
                                 "\xCE\xA3",
                                 "\xF0\x9F\x98\x80",
                                 " ",
                                 "0",
                                 "\x7F",
                                 "abcd",
                                 "ABCE",
                                 "",
                                 "\xF0\xA0\x94\xB1",
                                 "\xF0\xA0\xA3\xBB",
                                 "\xF0\x90\x90\x80",
                                 "\xF0\x90\x90\xA8",
                                 "\xEF\xBF\xBF",
                                 "\xEE\x80\x80"};
    const auto name = [&] {
        std::string n;
        for (int k = int(rng() % 6); k > 0; --k)
            n += parts[rng() % std::size(parts)];
        return n;
    };
    for (int k = 0; k < 50000; ++k) {
        const std::string a = name(), b = name();
        const uint64_t ka = KivText::NameKey(a), kb = KivText::NameKey(b);
        const int order = KivText::CompareNoCase(a, b);
        if (ka < kb) {
            ASSERT_LT(order, 0) << a << " / " << b;
        } else if (ka > kb) {
            ASSERT_GT(order, 0) << a << " / " << b;
        }
        if (order == 0) {
            ASSERT_EQ(ka, kb) << a << " / " << b;
        }
    }
}

TEST(CompareNoCase, CaseAndAccentsOrderAsExpected)
{
    EXPECT_EQ(KivText::CompareNoCase("alpha", "ALPHA"), 0);
    EXPECT_LT(KivText::CompareNoCase("Alpha", "beta"), 0);
    EXPECT_GT(KivText::CompareNoCase("b", "A"), 0);
    EXPECT_LT(KivText::CompareNoCase("", "a"), 0);
    EXPECT_EQ(KivText::CompareNoCase("émile", "ÉMILE"), 0);
}

}  // namespace

namespace {

// The hand-made UTF-16 conversions must give what Qt gives, surrogates included.
TEST(Utf16, ConversionsAgreeWithQt)
{
    std::mt19937 rng(9);
    const char16_t pool[] = {u'a', u'Z', 0, 0x7F, 0x80, 0xE9, 0x7FF, 0x800, 0x20AC, 0xFFFD,
                             0xFFFF, 0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0xD83D, 0xDE00};
    for (int k = 0; k < 20000; ++k) {
        std::string bytes;
        QString q;
        const int len = int(rng() % 8);
        for (int i = 0; i < len; ++i) {
            const char16_t u = pool[rng() % std::size(pool)];
            bytes += char(u & 0xFF);
            bytes += char(u >> 8);
            q += QChar(u);
        }
        const std::string utf8 = KivText::Utf16LeToUtf8(bytes);
        ASSERT_EQ(utf8, q.toStdString()) << k;
        // Back again: valid UTF-8 gives the same units Qt would.
        const QString back = QString::fromStdString(utf8);
        std::string want;
        for (QChar c : back) {
            want += char(c.unicode() & 0xFF);
            want += char(c.unicode() >> 8);
        }
        ASSERT_EQ(KivText::Utf8ToUtf16Le(utf8), want) << k;
    }
}

TEST(Utf16, LongTextWithAsciiRunsAgreesWithQt)
{
    // Runs of plain letters between other characters, and texts longer than the
    // conversion's stack room.
    std::mt19937 rng(13);
    const char16_t others[] = {0xE9, 0xDC, 0x7FF, 0x800, 0x20AC, 0xD83D, 0xDE00, 0xDC00, 0};
    for (int k = 0; k < 5000; ++k) {
        std::string bytes;
        QString q;
        const int len = int(rng() % (k % 10 == 0 ? 600 : 40));
        for (int i = 0; i < len; ++i) {
            const char16_t u = rng() % 4 ? char16_t(u'a' + rng() % 26)
                                         : others[rng() % std::size(others)];
            bytes += char(u & 0xFF);
            bytes += char(u >> 8);
            q += QChar(u);
        }
        ASSERT_EQ(KivText::Utf16LeToUtf8(bytes), q.toStdString()) << k;
    }
}

TEST(Utf16, EveryMixOfOneAndTwoByteCharactersInABlockAgreesWithQt)
{
    // Eight units at a time are converted together: every pattern of one- and two-byte
    // characters in a block, at every offset from the start, with the edges of the
    // ranges (7F/80, 7FF/800) among them; nothing is written past the promised room.
    std::mt19937 rng(21);
    const char16_t edges[] = {0x80, 0x7FF, 0xE9, 0x100, 0x3A9, 0x800, 0xD83D};
    for (int pattern = 0; pattern < 256; ++pattern) {
        for (int lead = 0; lead < 9; ++lead) {
            std::u16string units;
            for (int i = 0; i < lead; ++i)
                units += char16_t(u'a' + rng() % 26);
            for (int u = 0; u < 8; ++u) {
                if ((pattern >> u) & 1)
                    units += char16_t(rng() % 2 ? 0x7F : u'A' + rng() % 26);
                else
                    units += edges[rng() % (lead == 8 ? 7 : 5)]; // three-byte ones now and then
            }
            for (int i = int(rng() % 12); i > 0; --i)
                units += char16_t(rng() % 3 ? u'z' : 0xFC);
            const QString q = QString::fromUtf16(units.data(), qsizetype(units.size()));
            std::string bytes;
            for (char16_t u : units) {
                bytes += char(u & 0xFF);
                bytes += char(u >> 8);
            }
            // Then with more data after the text that may be read but is not part of it.
            const size_t room = KivText::Utf16ToUtf8Room(units.size());
            const char16_t after[] = {0xD800, 0xE9, u'x', 0x20AC, 0xDC00, 0, u'Q', 0x7FF};
            for (size_t readable : {units.size(), units.size() + 8}) {
                std::string data = bytes;
                for (char16_t u : after) {
                    data += char(u & 0xFF);
                    data += char(u >> 8);
                }
                std::string out(room + 32, '\x5A');
                const size_t length =
                    KivText::Utf16LeToUtf8(data.data(), units.size(), out.data(), readable);
                ASSERT_EQ(out.substr(0, length), q.toStdString()) << pattern << " " << lead;
                ASSERT_EQ(out.substr(room), std::string(32, '\x5A')) << pattern << " " << lead;
            }
        }
    }
}

}  // namespace
