#pragma once

#include <atomic>
#include <bit>
#include <compare>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

static_assert(std::endian::native == std::endian::little, "texts keep their kind in the last byte");

// An immutable UTF-8 text: the fields of a bookmark. Sixteen bytes; text of up to 14
// bytes is kept in place, longer text on the heap or in a block of texts that a load
// fills (CTextBlockWriter) and that lives as long as any text in it. Copies of block
// texts share the bytes, so copying a bookmark never copies its text.
class CText
{
public:
    static constexpr size_t kInPlace = 14;

    CText() noexcept { SetInPlace("", 0); }
    CText(std::string_view text) { Assign(text); }
    CText(const std::string& text) : CText(std::string_view(text)) {}
    CText(const char* text) : CText(std::string_view(text)) {}
    CText(const CText& other);
    CText(CText&& other) noexcept
    {
        std::memcpy(m_raw, other.m_raw, sizeof m_raw);
        other.SetInPlace("", 0);
    }
    CText& operator=(const CText& other)
    {
        if (this != &other) {
            CText copy(other);
            Swap(copy);
        }
        return *this;
    }
    CText& operator=(CText&& other) noexcept
    {
        if (this != &other) {
            Release();
            std::memcpy(m_raw, other.m_raw, sizeof m_raw);
            other.SetInPlace("", 0);
        }
        return *this;
    }
    ~CText() { Release(); }

    const char* data() const { return Kind() <= kInPlace ? m_raw : Pointer(); }
    // The bytes are always followed by a NUL.
    const char* c_str() const { return data(); }
    size_t size() const { return Kind() <= kInPlace ? Kind() : Length(); }
    size_t length() const { return size(); }
    bool empty() const { return size() == 0; }
    operator std::string_view() const { return {data(), size()}; }
    std::string str() const { return std::string(data(), size()); }
    bool starts_with(std::string_view prefix) const
    {
        return std::string_view(*this).starts_with(prefix);
    }
    operator std::string() const { return str(); }

    void Swap(CText& other) noexcept
    {
        char t[sizeof m_raw];
        std::memcpy(t, m_raw, sizeof m_raw);
        std::memcpy(m_raw, other.m_raw, sizeof m_raw);
        std::memcpy(other.m_raw, t, sizeof m_raw);
    }

    friend bool operator==(const CText& a, const CText& b)
    {
        return std::string_view(a) == std::string_view(b);
    }
    friend bool operator==(const CText& a, std::string_view b) { return std::string_view(a) == b; }
    friend bool operator==(const CText& a, const std::string& b) { return std::string_view(a) == b; }
    friend bool operator==(const CText& a, const char* b) { return std::string_view(a) == b; }
    friend std::strong_ordering operator<=>(const CText& a, const CText& b)
    {
        return std::string_view(a) <=> std::string_view(b);
    }
    friend std::string operator+(const CText& a, std::string_view b) { return a.str().append(b); }
    friend std::string operator+(std::string_view a, const CText& b)
    {
        return std::string(a).append(b.data(), b.size());
    }
    friend std::string operator+(const char* a, const CText& b) { return std::string_view(a) + b; }
    friend std::string operator+(const std::string& a, const CText& b)
    {
        return std::string_view(a) + b;
    }
    friend std::string operator+(const CText& a, const std::string& b)
    {
        return a + std::string_view(b);
    }
    friend std::string operator+(const CText& a, const char* b) { return a + std::string_view(b); }
    friend std::string operator+(const CText& a, char b) { return a.str() + b; }
    friend std::string operator+(char a, const CText& b) { return std::string(1, a) + b; }
    friend std::string operator+(const CText& a, const CText& b)
    {
        return a + std::string_view(b);
    }

private:
    friend class CTextBlockWriter;

    // Byte 15 tells the kind: 0..14 the length of text kept in place (NUL after it);
    // kHeap or kBlock: a pointer and a 32-bit length in the first twelve bytes, and for
    // block text, how far into its block it lies in bytes 12 to 14.
    static constexpr uint8_t kHeap = 0x80;
    static constexpr uint8_t kBlock = 0x81;

    uint8_t Kind() const { return static_cast<uint8_t>(m_raw[15]); }
    const char* Pointer() const
    {
        const char* p;
        std::memcpy(&p, m_raw, sizeof p);
        return p;
    }
    uint32_t Length() const
    {
        uint32_t n;
        std::memcpy(&n, m_raw + 8, sizeof n);
        return n;
    }
    // The sixteen bytes are always written with one store: texts are moved right
    // after they are made (a load fills millions), and a move reading sixteen bytes
    // that several smaller stores just wrote waits for them to reach the cache.
    void Store(uint64_t low, uint64_t high)
    {
#if defined(__SSE2__)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(m_raw),
                         _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low)));
#else
        const uint64_t both[2] = {low, high};
        std::memcpy(m_raw, both, sizeof both);
#endif
    }
    static uint64_t Load(const char* p, size_t bytes)
    {
        uint64_t v = 0;
        std::memcpy(&v, p, bytes);
        return v;
    }
    void SetInPlace(const char* text, size_t n)
    {
        uint64_t low, high;
        LoadInPlace(text, n, low, high);
        Store(low, high | (uint64_t(n) << 56));
    }
    // The n <= 14 bytes of text as the two halves of an in-place text, by overlapping
    // loads of the text itself, never a byte beyond it.
    static void LoadInPlace(const char* text, size_t n, uint64_t& low, uint64_t& high)
    {
        low = 0;
        high = 0;
        if (n >= 8) {
            low = Load(text, 8);
            if (n > 8)
                high = Load(text + n - 8, 8) >> (8 * (16 - n));
        } else if (n >= 4) {
            low = Load(text, 4) | (Load(text + n - 4, 4) << (8 * (n - 4)));
        } else if (n > 0) {
            low = uint64_t(uint8_t(text[0])) | (uint64_t(uint8_t(text[n / 2])) << (8 * (n / 2)))
                  | (uint64_t(uint8_t(text[n - 1])) << (8 * (n - 1)));
        }
    }
    void SetPointer(const char* p, uint32_t n, uint8_t kind, uint32_t blockOffset = 0)
    {
        Store(reinterpret_cast<uintptr_t>(p),
              uint64_t(n) | (uint64_t(blockOffset & 0xFFFFFF) << 32) | (uint64_t(kind) << 56));
    }
    struct BlockHeader;
    BlockHeader* Block() const;
    void Assign(std::string_view text);
    void Release() noexcept
    {
        if (Kind() > kInPlace)
            ReleaseOut();
    }
    void ReleaseOut() noexcept;

    alignas(8) char m_raw[16];
};

std::ostream& operator<<(std::ostream& os, const CText& text);

// Fills blocks of texts, one thread each: text goes in one after the other and no
// text costs an allocation of its own. A block is freed with the last text in it.
class CTextBlockWriter
{
public:
    CTextBlockWriter() = default;
    CTextBlockWriter(const CTextBlockWriter&) = delete;
    CTextBlockWriter& operator=(const CTextBlockWriter&) = delete;
    ~CTextBlockWriter() { CloseBlock(); }

    // Room for `bytes` bytes of text; Finish then makes the text of the first n of
    // them (n <= bytes). Nothing else may be asked of the writer in between.
    char* Room(size_t bytes)
    {
        if (bytes + 1 > size_t(m_end - m_next))
            return RoomSlow(bytes);
        return m_next;
    }
    CText Finish(size_t n)
    {
        CText t;
        if (m_pending) {
            // Too large for a block: its own heap copy.
            t = CText(std::string_view(m_pending.get(), n));
            m_pending.reset();
        } else if (n <= CText::kInPlace) {
            t.SetInPlace(m_next, n);
        } else {
            m_next[n] = '\0';
            t.SetPointer(m_next, static_cast<uint32_t>(n), CText::kBlock,
                         static_cast<uint32_t>(m_next - m_block));
            m_next += n + 1;
            ++m_made;
        }
        return t;
    }
    // Make for text that is plain ASCII, looked at while it is copied; false (and
    // nothing made) when it is not.
    bool MakeIfAscii(std::string_view text, CText& out)
    {
        constexpr uint64_t kHigh = 0x8080808080808080ULL;
        const size_t n = text.size();
        if (n <= CText::kInPlace) {
            uint64_t low, high;
            CText::LoadInPlace(text.data(), n, low, high);
            if ((low | high) & kHigh)
                return false;
            out.Store(low, high | (uint64_t(n) << 56));
            return true;
        }
        char* room = Room(n);
        uint64_t seen = 0;
        for (size_t k = 0; k + 8 <= n; k += 8) {
            const uint64_t word = CText::Load(text.data() + k, 8);
            seen |= word;
            std::memcpy(room + k, &word, 8);
        }
        const uint64_t last = CText::Load(text.data() + n - 8, 8);
        std::memcpy(room + n - 8, &last, 8);
        if ((seen | last) & kHigh) {
            m_pending.reset(); // the room goes unused
            return false;
        }
        out = Finish(n);
        return true;
    }
    CText Make(std::string_view text)
    {
        if (text.size() <= CText::kInPlace) {
            CText t;
            t.SetInPlace(text.data(), text.size());
            return t;
        }
        std::memcpy(Room(text.size()), text.data(), text.size());
        return Finish(text.size());
    }

private:
    char* RoomSlow(size_t bytes);
    void CloseBlock();

    char* m_block = nullptr;
    char* m_next = nullptr;
    char* m_end = nullptr;
    uint32_t m_made = 0;
    std::unique_ptr<char[]> m_pending;
};
