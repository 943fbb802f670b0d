#pragma once

#include "FormatResult.h"
#include "framework/FileWriter.h"

#include <memory>

#include <string>
#include <string_view>

// The text file every export writes: UTF-8, each line ending with CR LF, buffered.
// It replaces the target only when Close succeeds, so a failed export never leaves
// half a file where a good one stood (see CFileWriter).
class CExportFile
{
public:
    CExportFile() = default;
    CExportFile(const CExportFile&) = delete;
    CExportFile& operator=(const CExportFile&) = delete;

    // Create or truncate for writing. False when the file cannot be written; `failed`
    // then says so as an export reports it: a pipe or a device where the file belongs
    // is a file error, anything else the silent notOpened.
    bool Open(const QString& path, FormatResult* failed = nullptr);

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

    std::unique_ptr<CFileWriter> m_file;
    std::string m_buffer;
};
