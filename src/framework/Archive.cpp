#include "Archive.h"

#include "TextRules.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace {
constexpr size_t kBufferSize = 64 * 1024;
}

CArchive::CArchive(QIODevice* device, Mode mode)
    : m_mode(mode), m_device(device), m_buffer(kBufferSize)
{
    // Asking a file for its size costs a system call; strings ask for the bytes left
    // millions of times, so the count is kept here instead.
    if (mode == load && device && !device->isSequential())
        m_deviceLeft = static_cast<uint64_t>(std::max<qint64>(0, device->size() - device->pos()));
}

CArchive::CArchive(std::string_view bytes)
    : m_mode(load), m_memory(bytes), m_fromMemory(true)
{
}

CArchive::CArchive(std::vector<char>* out) : m_mode(store), m_out(out) {}

CArchive::~CArchive()
{
    if (m_mode == store && m_device && m_pos > 0) {
        // Best effort only: callers flush explicitly to learn about errors.
        m_device->write(m_buffer.data(), static_cast<qint64>(m_pos));
    }
}

bool CArchive::Refill()
{
    if (m_fromMemory || !m_device)
        return false;
    const qint64 got = m_device->read(m_buffer.data(), static_cast<qint64>(m_buffer.size()));
    if (got <= 0)
        return false;
    m_deviceLeft -= std::min<uint64_t>(m_deviceLeft, static_cast<uint64_t>(got));
    m_pos = 0;
    m_end = static_cast<size_t>(got);
    return true;
}

void CArchive::ReadRaw(char* dst, size_t n)
{
    if (!m_fromMemory && m_end - m_pos >= n) {
        // Nearly every field lies wholly in the buffer.
        std::memcpy(dst, m_buffer.data() + m_pos, n);
        m_pos += n;
        return;
    }
    if (m_fromMemory) {
        if (m_memory.size() - m_pos < n)
            throw CArchiveException(CArchiveException::EndOfFile, "end of data");
        std::memcpy(dst, m_memory.data() + m_pos, n);
        m_pos += n;
        return;
    }
    while (n > 0) {
        if (m_pos == m_end && !Refill())
            throw CArchiveException(CArchiveException::EndOfFile, "end of file");
        const size_t take = std::min(n, m_end - m_pos);
        std::memcpy(dst, m_buffer.data() + m_pos, take);
        m_pos += take;
        dst += take;
        n -= take;
    }
}

uint64_t CArchive::BytesLeft() const
{
    if (m_fromMemory)
        return m_memory.size() - m_pos;
    if (m_device && !m_device->isSequential())
        return m_deviceLeft + (m_end - m_pos);
    return UINT64_MAX;
}

uint8_t CArchive::ReadU8()
{
    char c;
    ReadRaw(&c, 1);
    return static_cast<uint8_t>(c);
}

uint16_t CArchive::ReadU16()
{
    unsigned char b[2];
    ReadRaw(reinterpret_cast<char*>(b), 2);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t CArchive::ReadU32()
{
    unsigned char b[4];
    ReadRaw(reinterpret_cast<char*>(b), 4);
    return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
}

uint32_t CArchive::ReadLength(bool* wide)
{
    const uint8_t b = ReadU8();
    if (b < 0xFF)
        return b;
    const uint16_t w = ReadU16();
    if (w == 0xFFFE) {
        if (!wide)  // a wide marker inside the wide form's own prefix
            throw CArchiveException(CArchiveException::BadString, "bad string prefix");
        *wide = true;
        return ReadLength(nullptr);
    }
    if (w < 0xFFFF)
        return w;
    return ReadU32();
}

std::string CArchive::ReadString()
{
    bool wide = false;
    const uint32_t n = ReadLength(&wide);
    const uint64_t bytes = wide ? uint64_t(n) * 2 : n;
    // A length the source cannot hold is the end of the data, not a reason to
    // allocate gigabytes first.
    if (bytes > BytesLeft())
        throw CArchiveException(CArchiveException::EndOfFile, "end of file inside a string");
    std::string raw;
    const char* source = m_fromMemory ? m_memory.data() : m_buffer.data();
    const size_t available = m_fromMemory ? m_memory.size() - m_pos : m_end - m_pos;
    if (bytes <= available) {
        raw.assign(source + m_pos, static_cast<size_t>(bytes)); // no zero fill, no second copy
        m_pos += static_cast<size_t>(bytes);
    } else {
        raw.resize(static_cast<size_t>(bytes));
        ReadRaw(raw.data(), raw.size());
    }
    if (wide)
        return KivText::Utf16LeToUtf8(raw);
    return KivText::LegacyToUtf8(std::move(raw));
}

void CArchive::WriteRaw(const char* src, size_t n)
{
    if (m_out) {
        m_out->insert(m_out->end(), src, src + n);
        return;
    }
    while (n > 0) {
        if (m_pos == m_buffer.size())
            Flush();
        const size_t take = std::min(n, m_buffer.size() - m_pos);
        std::memcpy(m_buffer.data() + m_pos, src, take);
        m_pos += take;
        src += take;
        n -= take;
    }
}

void CArchive::Flush()
{
    if (!m_device || m_pos == 0)
        return;
    // A short write is retried: the retry that writes nothing is the one whose error
    // the device records (a full disk then reads as such, not as a vague failure).
    const char* data = m_buffer.data();
    qint64 left = static_cast<qint64>(m_pos);
    m_pos = 0;
    while (left > 0) {
        const qint64 wrote = m_device->write(data, left);
        if (wrote <= 0)
            throw CArchiveException(CArchiveException::WriteFailed, "write failed");
        data += wrote;
        left -= wrote;
    }
}

void CArchive::WriteU8(uint8_t value)
{
    const char c = static_cast<char>(value);
    WriteRaw(&c, 1);
}

void CArchive::WriteU16(uint16_t value)
{
    const char b[2] = {char(value & 0xFF), char(value >> 8)};
    WriteRaw(b, 2);
}

void CArchive::WriteU32(uint32_t value)
{
    const char b[4] = {char(value & 0xFF), char((value >> 8) & 0xFF), char((value >> 16) & 0xFF),
                       char(value >> 24)};
    WriteRaw(b, 4);
}

void CArchive::WriteLength(uint32_t n)
{
    if (n < 0xFF) {
        WriteU8(static_cast<uint8_t>(n));
    } else if (n < 0xFFFE) {
        WriteU8(0xFF);
        WriteU16(static_cast<uint16_t>(n));
    } else {
        WriteU8(0xFF);
        WriteU16(0xFFFF);
        WriteU32(n);
    }
}

void CArchive::WriteNarrowString(std::string_view bytes)
{
    WriteLength(static_cast<uint32_t>(bytes.size()));
    WriteRaw(bytes.data(), bytes.size());
}

void CArchive::WriteString(std::string_view text)
{
    if (KivText::IsAscii(text)) {
        WriteNarrowString(text);
        return;
    }
    const std::string utf16 = KivText::Utf8ToUtf16Le(text);
    WriteU8(0xFF);
    WriteU16(0xFFFE);
    WriteLength(static_cast<uint32_t>(utf16.size() / 2));
    WriteRaw(utf16.data(), utf16.size());
}
