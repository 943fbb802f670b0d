#include "app/AppMain.h"
#include "app/KivApp.h"
#include "frame/MainFrame.h"

#include <QApplication>
#include <QTimer>

// kiv [file.kiv] | -Automation | -Embedding
// "--screenshot FILE" saves a picture of the window a second after it shows, then
// ends the program: `make run` uses it to show the window on machines without a
// display.
int main(int argc, char* argv[])
{
    QApplication qapp(argc, argv);

    QStringList arguments = QApplication::arguments().mid(1);
    const QString screenshot = KivMain::TakeOption(arguments, QStringLiteral("--screenshot"));
    return KivMain::Run(qapp, arguments, [screenshot](CKivApp& app) {
        if (screenshot.isEmpty())
            return;
        QTimer::singleShot(1000, app.GetMainFrame(), [&app, screenshot] {
            // Leave without questions: nothing was edited.
            QApplication::exit(KivMain::SavePicture(app.GetMainFrame(), screenshot) ? 0 : 1);
        });
    });
}
