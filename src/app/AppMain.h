#pragma once

#include <QLoggingCategory>
#include <QString>
#include <QStringList>

#include <functional>

class CKivApp;
class QApplication;
class QWidget;

Q_DECLARE_LOGGING_CATEGORY(lcApp)

namespace KivMain {

// Takes "NAME VALUE" out of the arguments and returns VALUE (empty when absent).
QString TakeOption(QStringList& arguments, const QString& name);

// Runs the program on its arguments (without the program's name): the window, or an
// automation start without one, until it ends; returns the exit code. `started`
// runs once the window exists and before the event loop does.
int Run(QApplication& qapp, const QStringList& arguments,
        const std::function<void(CKivApp&)>& started = {});

// Saves a picture of a widget as PNG and says so; false when it could not be written.
bool SavePicture(QWidget* widget, const QString& path);

} // namespace KivMain
