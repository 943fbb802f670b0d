#include "AppMain.h"

#include "app/KivApp.h"
#include "frame/MainFrame.h"
#include "framework/QtUi.h"

#include <QApplication>

Q_LOGGING_CATEGORY(lcApp, "kiv.app")

namespace KivMain {

QString TakeOption(QStringList& arguments, const QString& name)
{
    QString value;
    if (const qsizetype i = arguments.indexOf(name); i >= 0) {
        value = arguments.value(i + 1);
        arguments.remove(i, std::min<qsizetype>(2, arguments.size() - i));
    }
    return value;
}

int Run(QApplication& qapp, const QStringList& arguments,
        const std::function<void(CKivApp&)>& started)
{
    // The settings' place follows these names.
    QApplication::setOrganizationName(QStringLiteral("halvane"));
    QApplication::setApplicationName(QStringLiteral("Kiv"));
    // Lets the desktop match the window to kiv.desktop, and so to its icon.
    QApplication::setDesktopFileName(QStringLiteral("kiv"));
    CQtUi ui;
    CUi* previous = CUi::Install(&ui);
    int exitCode = 0;
    {
        CKivApp app;
        if (!app.InitInstance(arguments)) {
            app.ExitInstance();
            CUi::Install(previous);
            return 1;
        }
        if (app.HasMainWindow()) {
            ui.SetMainWindow(app.GetMainFrame());
            if (started)
                started(app);
            exitCode = qapp.exec();
        } else if (app.IsAutomationStart()) {
            // No window: the program ends when its client is done, not when the last
            // message box closes.
            qapp.setQuitOnLastWindowClosed(false);
            exitCode = qapp.exec();
        }
        const int appCode = app.ExitInstance();
        if (exitCode == 0)
            exitCode = appCode;
    }
    CUi::Install(previous);
    return exitCode;
}

bool SavePicture(QWidget* widget, const QString& path)
{
    const bool saved = widget->grab().save(path, "PNG");
    if (saved)
        qCInfo(lcApp) << "saved" << path;
    else
        qCWarning(lcApp) << "could not write" << path;
    return saved;
}

} // namespace KivMain
