#include "Archive.h"

#include "FileWriter.h"
#include "Text.h"
#include "TextRules.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

CArchive::CArchive(QIODevice* device, Mode mode, size_t bufferSize)
    : m_mode(mode), m_device(device), m_buffer(std::max<size_t>(bufferSize, 1))
{
    // Asking a file for its size costs a system call; strings ask for the bytes left
    // millions of times, so the count is kept here instead.
    if (mode == load && device && !device->isSequential())
        m_deviceLeft = static_cast<uint64_t>(std::max<qint64>(0, device->size() - device->pos()));
}

CArchive::CArchive(std::string_view bytes)
    : m_mode(load), m_fromMemory(true), m_data(bytes.data()), m_end(bytes.size())
{
}

CArchive::CArchive(std::vector<char>* out) : m_mode(store), m_out(out) {}

CArchive::CArchive(CFileWriter* writer)
    : m_mode(store), m_writer(writer), m_buffer(kDefaultBufferSize)
{
}

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
    m_data = m_buffer.data();
    m_pos = 0;
    m_end = static_cast<size_t>(got);
    return true;
}

void CArchive::ReadRaw(char* dst, size_t n)
{
    while (n > 0) {
        if (m_pos == m_end && !Refill())
            throw CArchiveException(CArchiveException::EndOfFile, "end of data");
        const size_t take = std::min(n, m_end - m_pos);
        std::memcpy(dst, m_data + m_pos, take);
        m_pos += take;
        dst += take;
        n -= take;
    }
}

uint64_t CArchive::BytesLeft() const
{
    if (m_fromMemory)
        return m_end - m_pos;
    if (m_device && !m_device->isSequential())
        return m_deviceLeft + (m_end - m_pos);
    return UINT64_MAX;
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

namespace {
std::string NarrowToUtf8(const char* bytes, size_t n)
{
    // Most stored text is ASCII and needs no look at its encoding at all.
    if (KivText::IsAscii(std::string_view(bytes, n)))
        return std::string(bytes, n);
    return KivText::LegacyToUtf8(std::string(bytes, n));
}
}  // namespace

CArchive::Quick CArchive::TakeQuickString()
{
    // The short narrow form wholly in the buffer is nearly every string of a file,
    // then the short wide form: FF FFFE, a one-byte count, UTF-16 units. Either is
    // converted straight from the buffer without a copy of the raw bytes.
    Quick q;
    if (m_pos >= m_end)
        return q;
    const auto* p = reinterpret_cast<const uint8_t*>(m_data + m_pos);
    const size_t have = m_end - m_pos;
    if (p[0] < 0xFF && have > p[0]) {
        q = {Quick::Narrow, reinterpret_cast<const char*>(p + 1), p[0], have - 1};
        m_pos += size_t(p[0]) + 1;
    } else if (have >= 4 && p[0] == 0xFF && p[1] == 0xFE && p[2] == 0xFF && p[3] < 0xFF
               && have - 4 >= size_t(p[3]) * 2) {
        q = {Quick::Wide, reinterpret_cast<const char*>(p + 4), p[3], (have - 4) / 2};
        m_pos += 4 + size_t(p[3]) * 2;
    }
    return q;
}

std::string CArchive::ReadString()
{
    const Quick q = TakeQuickString();
    if (q.form == Quick::Narrow)
        return NarrowToUtf8(q.data, q.count);
    if (q.form == Quick::Wide)
        return KivText::Utf16LeToUtf8(std::string_view(q.data, q.count * 2));
    bool wide = false;
    const uint32_t n = ReadLength(&wide);
    return ReadStringSlow(wide, n);
}

CText CArchive::ReadText(CTextBlockWriter& writer)
{
    // As ReadString, with the text going straight into the writer's block.
    const Quick q = TakeQuickString();
    if (q.form == Quick::Narrow) {
        CText text;
        if (writer.MakeIfAscii(std::string_view(q.data, q.count), text))
            return text;
        return writer.Make(KivText::LegacyToUtf8(std::string(q.data, q.count)));
    }
    if (q.form == Quick::Wide) {
        char* out = writer.Room(KivText::Utf16ToUtf8Room(q.count));
        return writer.Finish(KivText::Utf16LeToUtf8(q.data, q.count, out, q.readable));
    }
    bool wide = false;
    const uint32_t n = ReadLength(&wide);
    return writer.Make(ReadStringSlow(wide, n));
}

std::string CArchive::ReadStringSlow(bool wide, uint32_t n)
{
    const uint64_t bytes = wide ? uint64_t(n) * 2 : n;
    // A length the source cannot hold is the end of the data, not a reason to
    // allocate gigabytes first.
    if (bytes > BytesLeft())
        throw CArchiveException(CArchiveException::EndOfFile, "end of file inside a string");
    if (bytes <= m_end - m_pos) {
        const char* raw = m_data + m_pos;
        m_pos += static_cast<size_t>(bytes);
        if (wide)
            return KivText::Utf16LeToUtf8(std::string_view(raw, static_cast<size_t>(bytes)));
        return NarrowToUtf8(raw, n);
    }
    std::string raw(static_cast<size_t>(bytes), '\0');
    ReadRaw(raw.data(), raw.size());
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
    if (m_writer && m_pos > 0) {
        const size_t n = m_pos;
        m_pos = 0;
        if (!m_writer->Write(m_buffer.data(), n))
            throw CArchiveException(CArchiveException::WriteFailed, "write failed");
        return;
    }
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
