// The archive's byte encodings: integers, the three string prefixes, the wide form,
// and the end of the data.

#include "framework/Archive.h"
#include "framework/TextRules.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

std::string Store(const std::function<void(CArchive&)>& write)
{
    std::vector<char> out;
    CArchive ar(&out);
    write(ar);
    return std::string(out.begin(), out.end());
}

TEST(Archive, IntegersAreLittleEndian)
{
    const std::string bytes = Store([](CArchive& ar) {
        ar.WriteU16(0x0102);
        ar.WriteU32(0x2506AB00);
    });
    EXPECT_EQ(bytes, std::string("\x02\x01\x00\xAB\x06\x25", 6));
    CArchive in{std::string_view(bytes)};
    EXPECT_EQ(in.ReadU16(), 0x0102);
    EXPECT_EQ(in.ReadU32(), 0x2506AB00u);
    EXPECT_THROW(in.ReadU8(), CArchiveException);
}

struct PrefixCase
{
    size_t length;
    std::string prefix;
};

class StringPrefixTest : public ::testing::TestWithParam<PrefixCase>
{
};

TEST_P(StringPrefixTest, NarrowStringPrefixAndRoundTrip)
{
    const std::string text(GetParam().length, 'x');
    const std::string bytes = Store([&](CArchive& ar) { ar.WriteString(text); });
    ASSERT_EQ(bytes.size(), GetParam().prefix.size() + text.size());
    EXPECT_EQ(bytes.substr(0, GetParam().prefix.size()), GetParam().prefix);
    CArchive in{std::string_view(bytes)};
    EXPECT_EQ(in.ReadString(), text);
    EXPECT_EQ(in.BytesLeft(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, StringPrefixTest,
    ::testing::Values(PrefixCase{0, std::string("\x00", 1)}, PrefixCase{1, "\x01"},
                      PrefixCase{254, "\xFE"}, PrefixCase{255, std::string("\xFF\xFF\x00", 3)},
                      PrefixCase{300, "\xFF\x2C\x01"}, PrefixCase{65533, "\xFF\xFD\xFF"},
                      PrefixCase{65534, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)},
                      PrefixCase{70000, std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7)}));

TEST(Archive, WideFormIsReadAsUtf16)
{
    // FF, FFFE, then a one-byte count of UTF-16 units.
    const std::string wide("\xFF\xFE\xFF\x03" "A\0\xE9\0\x03\x26", 10);
    CArchive in{std::string_view(wide)};
    EXPECT_EQ(in.ReadString(), "Aé☃");
    // The wide form with a long count.
    std::string longWide("\xFF\xFE\xFF\xFF\x2C\x01", 6);
    for (int k = 0; k < 300; ++k)
        longWide += std::string("z\0", 2);
    CArchive in2{std::string_view(longWide)};
    EXPECT_EQ(in2.ReadString(), std::string(300, 'z'));
}

TEST(Archive, NonAsciiIsWrittenWideAsciiNarrow)
{
    EXPECT_EQ(Store([](CArchive& ar) { ar.WriteString("é"); }),
              std::string("\xFF\xFE\xFF\x01\xE9\x00", 6));
    EXPECT_EQ(Store([](CArchive& ar) { ar.WriteString("e"); }), "\x01" "e");
    EXPECT_EQ(Store([](CArchive& ar) { ar.WriteNarrowString("\xE9"); }), "\x01\xE9");
}

TEST(Archive, LegacyNarrowBytesReadAsWindows1252)
{
    CArchive in{std::string_view("\x03\x80\xE9\x9F", 4)};
    EXPECT_EQ(in.ReadString(), "€éŸ");
}

struct BadCase
{
    const char* what;
    std::string bytes;
};

class BadStringTest : public ::testing::TestWithParam<BadCase>
{
};

TEST_P(BadStringTest, ThrowsWithoutReadingPastTheData)
{
    CArchive in{std::string_view(GetParam().bytes)};
    EXPECT_THROW(in.ReadString(), CArchiveException) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Strings, BadStringTest,
    ::testing::Values(BadCase{"short text", "\x05" "abc"}, BadCase{"no prefix", ""},
                      BadCase{"cut u16 prefix", "\xFF\x01"},
                      BadCase{"huge u32 length", std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 7)},
                      BadCase{"odd wide text", std::string("\xFF\xFE\xFF\x02" "a\0b", 7)},
                      BadCase{"wide inside wide", std::string("\xFF\xFE\xFF\xFF\xFE\xFF\x01", 7)}));

// A device that accepts a few bytes and then fails every write.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }
    qint64 written = 0;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 len) override
    {
        if (written + len > m_room)
            return -1;
        written += len;
        return len;
    }

private:
    qint64 m_room;
};

TEST(Archive, WriteFailureIsRaisedByFlush)
{
    FailingDevice device(100);
    CArchive ar(&device, CArchive::store);
    const std::string chunk(1000, 'x');
    EXPECT_THROW(
        {
            for (int k = 0; k < 200; ++k)
                ar.WriteString(chunk);
            ar.Flush();
        },
        CArchiveException);
}

TEST(Archive, DeviceReadsAcrossBufferBoundaries)
{
    // Narrow and wide strings of every prefix size, so fields and strings start and
    // end at every position of the read buffer.
    const auto text = [](uint32_t k) {
        std::string t;
        if (k % 3 == 0)
            t.assign(k % 300, 'a');
        else if (k % 3 == 1)
            for (uint32_t i = 0; i < k % 11; ++i)
                t += i % 2 ? "é" : "x";
        else
            t.assign(k % 7, 'b');
        return t;
    };
    std::vector<char> out;
    {
        CArchive ar(&out);
        for (uint32_t k = 0; k < 40000; ++k) {
            ar.WriteU32(k);
            ar.WriteString(text(k));
        }
    }
    QByteArray data(out.data(), static_cast<qsizetype>(out.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    CArchive in(&buffer, CArchive::load);
    for (uint32_t k = 0; k < 40000; ++k) {
        ASSERT_EQ(in.ReadU32(), k);
        ASSERT_EQ(in.ReadString(), text(k)) << k;
    }
    EXPECT_EQ(in.BytesLeft(), 0u);
    EXPECT_THROW(in.ReadU16(), CArchiveException);
}

TEST(Archive, NarrowTextLikeAWidePrefixAcrossTheBufferEdge)
{
    // A narrow string whose first bytes look like the wide marker ("\xFE\xFF", Latin
    // letters in the old code page), cut by the end of the read buffer, stays narrow.
    const std::string text = std::string("\xFE\xFF\x03") + std::string(200, 'x');
    std::vector<char> out;
    {
        CArchive ar(&out);
        for (int k = 0; k < 1000; ++k)
            ar.WriteNarrowString(text);
    }
    QByteArray data(out.data(), static_cast<qsizetype>(out.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    CArchive in(&buffer, CArchive::load);
    const std::string want = KivText::Windows1252ToUtf8(text);
    for (int k = 0; k < 1000; ++k)
        ASSERT_EQ(in.ReadString(), want) << k;
    EXPECT_EQ(in.BytesLeft(), 0u);
}

}  // namespace
