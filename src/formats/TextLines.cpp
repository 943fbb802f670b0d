#include "TextLines.h"

#include "framework/TextRules.h"

#include <QFile>
#include <QFileInfo>

CTextLines::CTextLines(std::string bytes) : m_text(KivText::LegacyToUtf8(std::move(bytes))) {}

CTextLines::OpenStatus CTextLines::Open(const QString& path, CFileError* error)
{
    m_text.clear();
    m_pos = 0;
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return notOpened;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error) {
            error->cause = CFileError::genericRead;
            error->path = path;
            error->loading = true;
        }
        return readFailed;
    }
    m_text = KivText::LegacyToUtf8(std::string(bytes.constData(), size_t(bytes.size())));
    return opened;
}

bool CTextLines::Next(std::string_view& line)
{
    if (m_pos >= m_text.size())
        return false;
    const std::string_view rest = std::string_view(m_text).substr(m_pos);
    const size_t end = rest.find('\n');
    if (end == std::string_view::npos) {
        line = rest;
        m_pos = m_text.size();
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
