#include "Text.h"

#include <cstdlib>
#include <new>
#include <ostream>
#include <stdexcept>

namespace {
// Blocks stay well inside the 24 bits a text has to say where in its block it lies,
// and below the size the allocator hands out as fresh pages of their own.
constexpr size_t kBlockBytes = 64 * 1024;
// Text above this size gets its own allocation rather than most of a block.
constexpr size_t kLargestBlockText = kBlockBytes / 16;
// While a writer fills a block, the count of its texts is this much too high, so
// texts that go before the writer is done never take it to zero.
constexpr int64_t kWriting = int64_t(1) << 40;
}  // namespace

struct CText::BlockHeader
{
    std::atomic<int64_t> refs;
};

CText::BlockHeader* CText::Block() const
{
    const uint32_t offset = uint32_t(uint8_t(m_raw[12])) | (uint32_t(uint8_t(m_raw[13])) << 8)
                            | (uint32_t(uint8_t(m_raw[14])) << 16);
    return reinterpret_cast<BlockHeader*>(const_cast<char*>(Pointer()) - offset);
}

void CText::Assign(std::string_view text)
{
    if (text.size() <= kInPlace) {
        SetInPlace(text.data(), text.size());
        return;
    }
    if (text.size() > UINT32_MAX)
        throw std::length_error("text too long");
    auto* p = static_cast<char*>(std::malloc(text.size() + 1));
    if (!p)
        throw std::bad_alloc();
    std::memcpy(p, text.data(), text.size());
    p[text.size()] = '\0';
    SetPointer(p, static_cast<uint32_t>(text.size()), kHeap);
}

CText::CText(const CText& other)
{
    if (other.Kind() == kHeap) {
        Assign(other);
        return;
    }
    if (other.Kind() == kBlock)
        other.Block()->refs.fetch_add(1, std::memory_order_relaxed);
    std::memcpy(m_raw, other.m_raw, sizeof m_raw);
}

void CText::ReleaseOut() noexcept
{
    if (Kind() == kHeap) {
        std::free(const_cast<char*>(Pointer()));
    } else {
        BlockHeader* block = Block();
        if (block->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            block->~BlockHeader();
            std::free(block);
        }
    }
    SetInPlace("", 0);
}

std::ostream& operator<<(std::ostream& os, const CText& text)
{
    return os << std::string_view(text);
}

char* CTextBlockWriter::RoomSlow(size_t bytes)
{
    if (bytes > kLargestBlockText) {
        m_pending = std::make_unique_for_overwrite<char[]>(bytes + 1);
        return m_pending.get();
    }
    CloseBlock();
    constexpr size_t kHeaderBytes = 16;
    static_assert(sizeof(CText::BlockHeader) <= kHeaderBytes);
    void* raw = std::malloc(kBlockBytes);
    if (!raw)
        throw std::bad_alloc();
    new (raw) CText::BlockHeader{kWriting};
    m_block = static_cast<char*>(raw);
    m_next = m_block + kHeaderBytes;
    m_end = m_block + kBlockBytes;
    m_made = 0;
    return m_next;
}

void CTextBlockWriter::CloseBlock()
{
    if (!m_block)
        return;
    auto* header = reinterpret_cast<CText::BlockHeader*>(m_block);
    // The texts made from this block now hold it, and only they.
    if (header->refs.fetch_sub(kWriting - m_made, std::memory_order_acq_rel) == kWriting - m_made) {
        header->~BlockHeader();
        std::free(m_block);
    }
    m_block = m_next = m_end = nullptr;
    m_made = 0;
}
