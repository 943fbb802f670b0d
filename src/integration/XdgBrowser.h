#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <string>
#include <string_view>

// The folders where the desktop keeps its default applications and their desktop
// entries, from the XDG base directory variables (with their standard defaults).
struct CXdgDirs
{
    QString configHome;
    QStringList configDirs;
    QString dataHome;
    QStringList dataDirs;
    QStringList desktops; // XDG_CURRENT_DESKTOP, lower case, most specific first

    static CXdgDirs FromEnvironment(const QProcessEnvironment& env
                                    = QProcessEnvironment::systemEnvironment());
};

namespace KivXdg {

// The command template of a desktop entry's Exec value: the arguments are rewritten
// with Windows quoting (so splitting gives them back), %u %U %f %F become "%1",
// other field codes are dropped, "%%" is a literal percent sign. Empty when the
// value has no program or a program name that cannot be written that way.
std::string ExecToCommandTemplate(std::string_view exec);

// The desktop entry file of the default handler for a MIME type, or empty.
QString DefaultHandlerEntry(const CXdgDirs& dirs, const QString& mimeType);

} // namespace KivXdg

// The registered web-browser command template: the default handler of
// x-scheme-handler/http, else of text/html. True when the command is not empty.
bool GetDefaultBrowserCommand(std::string& out, const CXdgDirs& dirs = CXdgDirs::FromEnvironment());
