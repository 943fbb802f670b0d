#pragma once

#include "FormatResult.h"

#include <QString>

#include <string>
#include <string_view>

// The lines of a text file, read whole. The text is taken as UTF-8 when the whole
// file is valid UTF-8, else as Windows-1252 (older browsers wrote their code page).
// CR LF and LF both end a line and are not part of it; a last line without an end is
// still a line.
class CTextLines
{
public:
    CTextLines() = default;
    CTextLines(const CTextLines&) = delete;
    CTextLines& operator=(const CTextLines&) = delete;
    // Bytes already in memory (tests, fuzzers, dropped data).
    explicit CTextLines(std::string bytes);

    enum OpenStatus { opened, notOpened, readFailed };
    // Reads the file. notOpened: it cannot be opened (missing, a folder, no access);
    // readFailed: it is not a regular file, or reading failed (error says why).
    OpenStatus Open(const QString& path, CFileError* error = nullptr);

    // The next line; false at the end.
    bool Next(std::string_view& line);
    // Back to the first line.
    void Rewind() { m_pos = 0; }

private:
    std::string m_text;
    std::string_view m_view; // the text still to be split into lines
    size_t m_pos = 0;
};

// Opens a format file and checks its first line for `marker` (exact bytes). With
// markerAfterStart the marker must not stand at the very first byte (the compare's
// rule). On success the lines stand after the first one; wrongType carries messageId.
FormatResult OpenMarkedFile(CTextLines& lines, const QString& path, std::string_view marker,
                            unsigned messageId, bool markerAfterStart = false);

class CKivDoc;
// A reader of the lines after the first: import (false) or compare/check mode (true).
using LineParser = void (*)(CKivDoc& doc, CTextLines& lines, bool checkMode);
// OpenMarkedFile, then `parse` over the rest when the marker is there.
FormatResult ReadMarkedFile(CKivDoc& doc, const QString& path, std::string_view marker,
                            unsigned messageId, LineParser parse, bool checkMode,
                            bool markerAfterStart = false);
