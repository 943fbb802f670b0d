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
    };
    Cause cause = none;
    QString path;
    bool loading = true;

    explicit operator bool() const { return cause != none; }
};
