#pragma once

#include "framework/FileError.h"

// What an import, export or compare step tells its caller. The library never shows
// anything: the command handler shows `messageId` (a string-table id) when it is not 0,
// or the framework's file-error message for `error` when that is set.
struct FormatResult
{
    enum Status {
        done,      // the work ran (an import may still have added nothing)
        notOpened, // the file could not be opened or created: nothing happens, no message
        wrongType, // the first line lacks the format's marker: show messageId
        fileError, // reading or writing failed midway: show the file-error message
    };
    Status status = done;
    unsigned messageId = 0;
    CFileError error;

    bool Ok() const { return status == done; }
};
