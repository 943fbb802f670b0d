#pragma once

#include <QString>

// Why a file operation failed, in the terms of the framework's standard messages.
struct CFileError
{
    enum Cause {
        none,
        fileNotFound,     // the file does not exist
        accessDenied,     // permissions, or a folder where a file was expected
        diskFull,         // no room left on the device
        badFormat,        // the data ended early: "unexpected file format"
        genericRead,      // any other failure while reading
        genericWrite,     // any other failure while writing
        invalidPath,      // empty or unusable name
        notRegularFile,   // a pipe, a device or a socket: never read or replaced
        notOurFormat,     // not a file of this program's kind
        newerFormat,      // written by a newer version of the program
        outOfMemory,      // the content does not fit in memory
        tooLarge,         // larger than the reader accepts
    };
    Cause cause = none;
    QString path;
    bool loading = true;

    explicit operator bool() const { return cause != none; }
};
