#pragma once

#include "framework/FileError.h"

#include <QSaveFile>

#include <string>
#include <string_view>

// The text file every export writes: UTF-8, each line ending with CR LF, buffered.
// It replaces the target only when Close succeeds, so a failed export never leaves
// half a file where a good one stood.
class CExportFile
{
public:
    CExportFile() = default;
    CExportFile(const CExportFile&) = delete;
    CExportFile& operator=(const CExportFile&) = delete;

    // Create or truncate for writing; false when the file cannot be created.
    bool Open(const QString& path);

    void WriteLine(std::string_view text);
    // `depth` units of three blanks, then the text (depth 0 or less: no indentation).
    void WriteIndentedLine(int depth, std::string_view text);
    // A tab unless atMargin, then the text.
    void WriteHotlistLine(bool atMargin, std::string_view text);

    // Writes what is buffered and commits the file. False (with the reason) when any
    // write failed; the old file, if any, is then left as it was.
    bool Close(CFileError* error = nullptr);

private:
    void Flush();

    QSaveFile m_file;
    std::string m_buffer;
    bool m_failed = false;
};
