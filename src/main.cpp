#include "app/KivApp.h"
#include "frame/MainFrame.h"
#include "framework/QtUi.h"
#include "views/DragDropTestHooks.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

// kiv [file.kiv] | -Automation | -Embedding
// A hidden "--screenshot FILE" saves a picture of the window once it is shown, then
// ends the program (used to look at the window on machines without a display).
int main(int argc, char* argv[])
{
    QApplication qapp(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("halvane"));
    QApplication::setApplicationName(QStringLiteral("Kiv"));

    QStringList arguments = QApplication::arguments().mid(1);
    QString screenshot;
    if (const qsizetype i = arguments.indexOf(QStringLiteral("--screenshot")); i >= 0) {
        screenshot = arguments.value(i + 1);
        arguments.remove(i, std::min<qsizetype>(2, arguments.size() - i));
    }
    // Hidden options with which tests copy and paste between two running copies.
    const KivTestHooks::CHooks hooks = KivTestHooks::Take(arguments);

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
            KivTestHooks::Run(app, hooks);
            if (!screenshot.isEmpty()) {
                QTimer::singleShot(1000, app.GetMainFrame(), [&app, screenshot] {
                    const bool saved = app.GetMainFrame()->grab().save(screenshot, "PNG");
                    std::fprintf(stderr, saved ? "kiv: window saved to %s\n"
                                               : "kiv: could not write %s\n",
                                 qPrintable(screenshot));
                    // Leave without questions: nothing was edited.
                    QApplication::exit(saved ? 0 : 1);
                });
            }
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
