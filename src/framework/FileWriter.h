#pragma once

#include "FileError.h"

#include <QString>

#include <memory>
#include <string_view>

class QFile;

// The one way the program writes a file. Every write, the flush and the final rename
// are checked (a short write is an error), and the old content survives any failure:
// the new content goes to a temporary file beside the target that replaces it only
// when everything was written. Where no file can be made beside the target (a
// read-only folder holding a writable file) the file is rewritten in place, but only
// after room for the whole new content has been reserved, so a full disk or a file
// size limit fails before the first old byte is touched.
class CFileWriter
{
public:
    enum Mode {
        replace,   // the content replaces the file's, or makes a new one
        createNew, // only a file that does not exist yet is made; nothing is replaced
    };

    explicit CFileWriter(const QString& path, Mode mode = replace);
    ~CFileWriter(); // anything not committed is discarded
    CFileWriter(const CFileWriter&) = delete;
    CFileWriter& operator=(const CFileWriter&) = delete;

    // False (with Error() set) when the file cannot be written at all.
    bool Open();
    // False once anything failed; later writes are ignored.
    bool Write(const char* data, size_t n);
    bool Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }
    // Makes the content the file's. False (with Error() set) when anything failed;
    // the file then holds what it held before.
    bool Commit();
    // Drops what was written; the file stays as it was.
    void Discard();

    bool Failed() const { return bool(m_error); }
    const CFileError& Error() const { return m_error; }

private:
    struct Impl;
    void Fail(CFileError::Cause cause);
    void FailErrno(int error);

    QString m_path;
    Mode m_mode;
    CFileError m_error;
    std::unique_ptr<Impl> d;
};

// Opens a file for reading when it is a regular file, and never blocks doing so (a
// FIFO or a device is refused without being waited on): notRegularFile for those,
// accessDenied for a folder, fileNotFound or accessDenied when it cannot be opened.
CFileError::Cause OpenRegularFile(const QString& path, QFile& file);
