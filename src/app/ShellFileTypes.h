#pragma once

#include <QString>
#include <QStringList>

// The desktop's side of ".kiv" files: a MIME type "application/x-kiv" and a desktop
// entry that opens such files with this program.
namespace KivShellFileTypes {

// $XDG_DATA_HOME, or ~/.local/share when it is unset.
QString DataHome();

// The contents of the two files.
QString MimeTypeXml();
QString DesktopEntry(const QString& program);

// The print document's type "application/x-kiv-print" and the desktop entry of
// its handler, the print companion at printProgram.
QString PrintMimeTypeXml();
QString PrintDesktopEntry(const QString& printProgram);

// True when a folder of $XDG_DATA_DIRS holds mime/packages/kiv.xml and an
// applications/kiv.desktop that starts this very program: it was installed for
// everyone, and the user-level copies would only shadow the installed files.
bool InstalledSystemWide(const QString& program);

// Writes mime/packages/kiv.xml and applications/kiv.desktop under dataHome when they
// are missing or differ, and, when printProgram is not empty,
// mime/packages/kiv-print-document.xml and applications/kiv-print.desktop; the
// desktop's databases are rebuilt before it returns. Returns the files written.
// (Nothing here is needed when the files are installed system-wide.)
QStringList Register(const QString& dataHome, const QString& program,
                     const QString& printProgram = QString());

// The command that opens a file with the desktop's handler for its type: "gio open"
// (which reads the shared MIME database as every desktop does), else xdg-open.
// Empty when neither is there.
QStringList OpenCommand(const QString& path);

}  // namespace KivShellFileTypes
