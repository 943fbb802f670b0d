#pragma once

#include <QString>
#include <QStringList>

class CKivApp;

// Command-line options of the test shell with which tests drive copy and paste between two
// running copies of the program, which share nothing but the desktop's clipboard.
//   --test-copy-folder PATH   select the folder PATH ("a/b" below the root), copy it
//                             (57634), print "kiv: copied" and keep serving the
//                             clipboard until ended (at most two minutes)
//   --test-paste-into PATH    wait until the clipboard offers our format, select PATH
//                             and paste (57637)
//   --test-save-exit          then save the document under its name and end
namespace KivTestHooks {

struct CHooks
{
    QString copyFolder;
    QString pasteInto;
    bool saveExit = false;
    bool Any() const { return !copyFolder.isEmpty() || !pasteInto.isEmpty() || saveExit; }
};

// Takes the options out of the argument list.
CHooks Take(QStringList& arguments);

// Schedules what the options ask for, once the event loop runs.
void Run(CKivApp& app, const CHooks& hooks);

} // namespace KivTestHooks
