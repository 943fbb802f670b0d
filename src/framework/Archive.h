#pragma once

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class CFileWriter;
class CText;
class CTextBlockWriter;
class QIODevice;

// Thrown when a load runs past the end of the data. The open path turns it into the
// "unexpected file format" message.
class CArchiveException : public std::runtime_error
{
public:
    enum Cause { EndOfFile, WriteFailed, BadString };
    CArchiveException(Cause cause, const char* what)
        : std::runtime_error(what), m_cause(cause)
    {
    }
    Cause cause() const { return m_cause; }

private:
    Cause m_cause;
};

// A buffered little-endian byte stream, either loading or storing. It works over a
// QIODevice (files) or over an in-memory byte buffer (clipboard, tests).
class CArchive
{
public:
    enum Mode { load, store };

    // Over a device: reads from or writes to it through an internal buffer (of the
    // given size: tests make it small so that fields fall across its edges).
    static constexpr size_t kDefaultBufferSize = 64 * 1024;
    CArchive(QIODevice* device, Mode mode, size_t bufferSize = kDefaultBufferSize);
    // Over memory: loading reads the given bytes; storing appends to `out`.
    explicit CArchive(std::string_view bytes);
    explicit CArchive(std::vector<char>* out);
    // Storing into a checked file writer (no mode: it only stores).
    explicit CArchive(CFileWriter* writer);
    ~CArchive();

    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsLoading() const { return m_mode == load; }
    bool IsStoring() const { return m_mode == store; }

    // Fields lying wholly in the buffer (nearly all of them) are read inline.
    uint8_t ReadU8()
    {
        if (m_pos < m_end)
            return static_cast<uint8_t>(m_data[m_pos++]);
        char c;
        ReadRaw(&c, 1);
        return static_cast<uint8_t>(c);
    }
    uint16_t ReadU16()
    {
        uint8_t b[2];
        if (m_end - m_pos >= 2) {
            std::memcpy(b, m_data + m_pos, 2);
            m_pos += 2;
        } else {
            ReadRaw(reinterpret_cast<char*>(b), 2);
        }
        return static_cast<uint16_t>(b[0] | (b[1] << 8));
    }
    uint32_t ReadU32()
    {
        uint8_t b[4];
        if (m_end - m_pos >= 4) {
            std::memcpy(b, m_data + m_pos, 4);
            m_pos += 4;
        } else {
            ReadRaw(reinterpret_cast<char*>(b), 4);
        }
        return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16)
               | (uint32_t(b[3]) << 24);
    }
    // The length-prefixed string; the wide form (FF FFFE ...) is converted to UTF-8.
    std::string ReadString();
    // The same as a text of the writer's blocks.
    CText ReadText(CTextBlockWriter& writer);

    void WriteU8(uint8_t value);
    void WriteU16(uint16_t value);
    void WriteU32(uint32_t value);
    // Narrow form for ASCII-only text (byte for byte as every reader expects);
    // text with other characters is written in the wide form so no reader's code
    // page can garble it.
    void WriteString(std::string_view text);
    // Always the narrow form with the given bytes.
    void WriteNarrowString(std::string_view bytes);

    // Bytes left unread in the source (loading), when known; used to bound counts.
    uint64_t BytesLeft() const;

    // Writes any buffered bytes out; throws CArchiveException(WriteFailed) on error.
    void Flush();

private:
    void ReadRaw(char* dst, size_t n);
    // A string of the short narrow or short wide form lying wholly in the buffer,
    // taken; otherwise nothing is taken (form None).
    struct Quick
    {
        enum Form { None, Narrow, Wide } form = None;
        const char* data = nullptr;
        size_t count = 0;    // bytes (narrow) or UTF-16 units (wide)
        size_t readable = 0; // the same units readable from data on, the string's and after
    };
    Quick TakeQuickString();
    std::string ReadStringSlow(bool wide, uint32_t n);
    void WriteRaw(const char* src, size_t n);
    bool Refill();
    uint32_t ReadLength(bool* wide);
    void WriteLength(uint32_t n);

    Mode m_mode;
    QIODevice* m_device = nullptr;
    std::vector<char>* m_out = nullptr;
    CFileWriter* m_writer = nullptr;
    bool m_fromMemory = false;

    std::vector<char> m_buffer;
    const char* m_data = nullptr; // what is being read: the buffer or the given memory
    size_t m_pos = 0;  // next byte to read, or bytes buffered for writing
    size_t m_end = 0;  // bytes valid at m_data (loading)
    uint64_t m_deviceLeft = UINT64_MAX; // bytes not yet read from the device, when known
};
