#pragma once

#include <QString>

// The status-bar prompts of the commands: "prompt\ntooltip", in the string table of
// the current language (see KivStrings). Empty for a command without a prompt.
namespace KivPrompts {

QString Load(unsigned id);

}  // namespace KivPrompts
