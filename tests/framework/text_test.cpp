// The bookmark text type: its three storage kinds behave as one string, block texts
// share their bytes and outlive the writer and each other in any order.

#include "framework/Text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string Letters(size_t n, char first = 'a')
{
    std::string s;
    for (size_t k = 0; k < n; ++k)
        s += char(first + k % 26);
    return s;
}

TEST(Text, EveryLengthReadsBackWithATrailingNul)
{
    CTextBlockWriter writer;
    for (size_t n : {size_t(0), size_t(1), size_t(13), size_t(14), size_t(15), size_t(16),
                     size_t(100), size_t(5000), size_t(70000)}) {
        const std::string want = Letters(n);
        const CText own(want);
        const CText shared = writer.Make(want);
        for (const CText* t : {&own, &shared}) {
            EXPECT_EQ(std::string_view(*t), want) << n;
            EXPECT_EQ(t->size(), n);
            EXPECT_EQ(t->empty(), n == 0);
            EXPECT_EQ(t->c_str()[n], '\0') << n;
            EXPECT_EQ(t->str(), want);
        }
    }
}

TEST(Text, ComparesAndJoinsLikeAString)
{
    const CText a("alpha beta gamma delta"), b("alpha"), c("alpha");
    EXPECT_EQ(b, c);
    EXPECT_EQ(b, "alpha");
    EXPECT_EQ("alpha", b);
    EXPECT_EQ(b, std::string("alpha"));
    EXPECT_NE(a, b);
    EXPECT_LT(b, a);
    EXPECT_TRUE(a.starts_with("alpha b"));
    EXPECT_EQ("<" + b + ">", "<alpha>");
    EXPECT_EQ(b + '|' + a, "alpha|alpha beta gamma delta");
    std::ostringstream os;
    os << a;
    EXPECT_EQ(os.str(), "alpha beta gamma delta");
    const std::string converted = a;
    EXPECT_EQ(converted, "alpha beta gamma delta");
}

TEST(Text, BlockTextsShareTheirBytesAndOutliveTheWriter)
{
    std::vector<CText> copies;
    const char* bytes = nullptr;
    {
        CTextBlockWriter writer;
        CText t = writer.Make("a text longer than fits in place");
        bytes = t.data();
        copies.push_back(t);
        copies.push_back(copies.back());
        EXPECT_EQ(copies.back().data(), bytes); // shared, not copied
        // Texts made and dropped while the writer is still at work on the block.
        for (int k = 0; k < 100; ++k)
            (void)writer.Make(Letters(40 + size_t(k)));
    }
    copies.erase(copies.begin());
    EXPECT_EQ(copies[0], "a text longer than fits in place");
    EXPECT_EQ(copies[0].data(), bytes);
    CText moved = std::move(copies[0]);
    EXPECT_TRUE(copies[0].empty());
    EXPECT_EQ(moved, "a text longer than fits in place");
}

TEST(Text, WritingInPlacesGivesTheTextOfTheFirstBytes)
{
    CTextBlockWriter writer;
    std::vector<CText> texts;
    // Across many blocks, with room asked for beyond what is kept, and once for
    // more than a block holds.
    for (size_t k = 0; k < 3000; ++k) {
        const size_t n = k == 1500 ? 100000 : k % 97;
        char* room = writer.Room(n * 3 + 16);
        const std::string want = Letters(n, char('a' + k % 7));
        std::memcpy(room, want.data(), n);
        texts.push_back(writer.Finish(n));
    }
    for (size_t k = 0; k < texts.size(); ++k)
        ASSERT_EQ(texts[k], Letters(k == 1500 ? 100000 : k % 97, char('a' + k % 7))) << k;
}

TEST(Text, MakingPlainAsciiTellsEveryOtherByteWhereverItIs)
{
    // One byte above 0x7F anywhere, at every length in place and in a block: nothing
    // is made; otherwise the text is made as given.
    CTextBlockWriter writer;
    std::vector<CText> kept;
    for (size_t n = 0; n <= 40; ++n) {
        const std::string plain = Letters(n);
        CText t;
        ASSERT_TRUE(writer.MakeIfAscii(plain, t)) << n;
        ASSERT_EQ(t, plain);
        kept.push_back(t);
        for (size_t at = 0; at < n; ++at) {
            std::string other = plain;
            other[at] = char(0xE9);
            CText u("unchanged");
            ASSERT_FALSE(writer.MakeIfAscii(other, u)) << n << " " << at;
            ASSERT_EQ(u, "unchanged");
        }
    }
    for (size_t n = 0; n < kept.size(); ++n)
        ASSERT_EQ(kept[n], Letters(n)) << n; // texts refused later did not overwrite them

    // A refused text too large for a block leaves nothing behind for the next one.
    std::string large = Letters(70000);
    large[69999] = char(0xE9);
    CText refused;
    ASSERT_FALSE(writer.MakeIfAscii(large, refused));
    EXPECT_EQ(writer.Make("a text after the large one"), "a text after the large one");
    EXPECT_EQ(writer.Make(Letters(20)), Letters(20));
}

TEST(Text, SharedTextsCopiedAndDroppedOnTwoThreads)
{
    // The count that keeps a block alive is changed from both threads at once.
    std::vector<CText> texts;
    {
        CTextBlockWriter writer;
        for (int k = 0; k < 2000; ++k)
            texts.push_back(writer.Make(Letters(20 + size_t(k % 50))));
    }
    const auto churn = [&texts] {
        for (int round = 0; round < 50; ++round) {
            std::vector<CText> copies(texts.begin(), texts.end());
            copies.clear();
        }
    };
    std::thread other(churn);
    churn();
    other.join();
    for (size_t k = 0; k < texts.size(); ++k)
        ASSERT_EQ(texts[k], Letters(20 + k % 50)) << k;
}

TEST(Text, RandomOperationsMatchPlainStrings)
{
    std::mt19937 rng(3);
    std::vector<CText> texts(64);
    std::vector<std::string> model(64);
    auto writer = std::make_unique<CTextBlockWriter>();
    for (int step = 0; step < 200000; ++step) {
        const size_t a = rng() % texts.size(), b = rng() % texts.size();
        switch (rng() % 7) {
        case 0: {
            const std::string s = Letters(rng() % 60, char('a' + rng() % 20));
            texts[a] = writer->Make(s);
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
            }
            break;
        case 3: {
            const std::string s = Letters(rng() % 30);
            texts[a] = CText(s);
            model[a] = s;
            break;
        }
        case 4:
            texts[a].Swap(texts[b]);
            std::swap(model[a], model[b]);
            break;
        case 5:
            if (rng() % 100 == 0)
                writer = std::make_unique<CTextBlockWriter>();
            break;
        default:
            texts[a] = CText();
            model[a].clear();
        }
        ASSERT_EQ(std::string_view(texts[a]), model[a]) << step;
    }
    for (size_t k = 0; k < texts.size(); ++k)
        ASSERT_EQ(std::string_view(texts[k]), model[k]) << k;
}

}  // namespace
