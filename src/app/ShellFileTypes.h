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

// True when a folder of $XDG_DATA_DIRS holds mime/packages/kiv.xml and an
// applications/kiv.desktop that starts this very program: it was installed for
// everyone, and the user-level copies would only shadow the installed files.
bool InstalledSystemWide(const QString& program);

// Writes mime/packages/kiv.xml and applications/kiv.desktop under dataHome when they
// are missing or differ; returns the files written.
QStringList Register(const QString& dataHome, const QString& program);

}  // namespace KivShellFileTypes
