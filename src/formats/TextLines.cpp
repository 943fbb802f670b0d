#include "TextLines.h"

#include "framework/FileWriter.h"
#include "framework/TextRules.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// The whole text is valid UTF-8. Browser exports run to many megabytes of ASCII (icons
// as data URLs), so ASCII is skipped eight bytes at a time and only the other
// sequences go through the full check.
bool IsUtf8(std::string_view text)
{
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        if (end - p >= 8) {
            uint64_t word;
            std::memcpy(&word, p, 8);
            if ((word & 0x8080808080808080ull) == 0) {
                p += 8;
                continue;
            }
        }
        const auto b = static_cast<unsigned char>(*p);
        if (b < 0x80) {
            ++p;
            continue;
        }
        const size_t len = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        if (size_t(end - p) < len || !KivText::IsValidUtf8(std::string_view(p, len)))
            return false;
        p += len;
    }
    return true;
}

} // namespace

CTextLines::CTextLines(std::string bytes)
{
    m_text = IsUtf8(bytes) ? std::move(bytes) : KivText::Windows1252ToUtf8(bytes);
    m_view = m_text;
}

CTextLines::OpenStatus CTextLines::Open(const QString& path, CFileError* error)
{
    m_text.clear();
    m_view = {};
    m_pos = 0;
    QFile file;
    if (const CFileError::Cause cause = OpenRegularFile(path, file)) {
        if (error)
            *error = {cause, path, true};
        // A pipe or a device is refused aloud; a file that is not there or not
        // readable is skipped as before.
        return cause == CFileError::notRegularFile ? readFailed : notOpened;
    }
    // One read into the buffer that is kept (no mapping: a file cut short by another
    // program while it is read must not bring the reader down).
    const qint64 size = file.size();
    m_text.resize(size_t(std::max<qint64>(size, 0)));
    qint64 got = size > 0 ? file.read(m_text.data(), size) : 0;
    if (got >= 0 && got == size) {
        const QByteArray more = file.readAll(); // a file that grew meanwhile
        m_text.append(more.constData(), size_t(more.size()));
    }
    if (got < 0 || file.error() != QFileDevice::NoError) {
        if (error) {
            error->cause = CFileError::genericRead;
            error->path = path;
            error->loading = true;
        }
        return readFailed;
    }
    if (got < size)
        m_text.resize(size_t(got));
    const std::string_view bytes = m_text;
    if (!IsUtf8(bytes))
        m_text = KivText::Windows1252ToUtf8(bytes);
    m_view = m_text;
    return opened;
}

bool CTextLines::Next(std::string_view& line)
{
    if (m_pos >= m_view.size())
        return false;
    const std::string_view rest = m_view.substr(m_pos);
    const size_t end = rest.find('\n');
    if (end == std::string_view::npos) {
        line = rest;
        m_pos = m_view.size();
        return true;
    }
    line = rest.substr(0, end);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    m_pos += end + 1;
    return true;
}

FormatResult OpenMarkedFile(CTextLines& lines, const QString& path, std::string_view marker,
                            unsigned messageId, bool markerAfterStart)
{
    FormatResult result;
    switch (lines.Open(path, &result.error)) {
    case CTextLines::notOpened:
        result.status = FormatResult::notOpened;
        return result;
    case CTextLines::readFailed:
        result.status = FormatResult::fileError;
        return result;
    case CTextLines::opened:
        break;
    }
    std::string_view first;
    const size_t at = lines.Next(first) ? first.find(marker) : std::string_view::npos;
    if (at == std::string_view::npos || (markerAfterStart && at == 0)) {
        result.status = FormatResult::wrongType;
        result.messageId = messageId;
    }
    return result;
}

FormatResult ReadMarkedFile(CKivDoc& doc, const QString& path, std::string_view marker,
                            unsigned messageId, LineParser parse, bool checkMode,
                            bool markerAfterStart)
{
    CTextLines lines;
    FormatResult result = OpenMarkedFile(lines, path, marker, messageId, markerAfterStart);
    if (result.Ok())
        parse(doc, lines, checkMode);
    return result;
}
