#pragma once

#include <QString>

// The D-Bus service file that lets the bus start the program for an automation
// client: org.halvane.Kiv.Application, started as "<program> -Automation".
namespace KivAutomation {

// The file's text for the given program path.
QString ServiceFileText(const QString& program);

// $XDG_DATA_HOME/dbus-1/services/org.halvane.Kiv.Application.service
QString UserServiceFilePath();

enum class ServiceFileResult { Unchanged, Written, Failed };

// Writes the user's copy when it is missing or differs from what program needs.
// An interactive start calls this with the running program's path.
ServiceFileResult WriteUserServiceFile(const QString& program, QString* error = nullptr);

// True for the launch flags -Automation, -Embedding, /Automation, /Embedding
// (any case).
bool IsAutomationFlag(const QString& argument);

}  // namespace KivAutomation
