#include "app/KivApp.h"
#include "formats/ItemDialog.h"
#include "frame/MainFrame.h"
#include "framework/QtUi.h"
#include "model/KivDoc.h"
#include "res/Menus.h"
#include "tidy/Collection.h"
#include "tidy/DupesDlg.h"
#include "tidy/LinkCheckDlg.h"
#include "tidy/LinkResultsModel.h"
#include "views/DragDropTestHooks.h"
#include "views/KivView.h"
#include "views/LeftView.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QTimer>

#include <cstdio>

// kiv [file.kiv] | -Automation | -Embedding
// A hidden "--screenshot FILE" saves a picture of the window once it is shown, then
// ends the program (used to look at the window on machines without a display);
// "--screenshot-dir DIR" saves the window with a folder selected, the item dialog,
// the context menus and the duplicates and link-check dialogs into DIR (the link
// check listing the collection's links, none of them requested).
namespace {

bool Save(QWidget* widget, const QString& path)
{
    const bool saved = widget->grab().save(path, "PNG");
    std::fprintf(stderr, saved ? "kiv: saved %s\n" : "kiv: could not write %s\n",
                 qPrintable(path));
    return saved;
}

bool SaveGallery(CKivApp& app, const QString& dir)
{
    QDir().mkpath(dir);
    CMainFrame* frame = app.GetMainFrame();
    CKivDoc& doc = app.Document();
    if (CFolderNode* first = doc.m_root.m_pFirstChild)
        frame->GetLeftPane()->SelectFolder(first);
    frame->GetRightPane()->SetListStyle(1);
    if (doc.m_pCurFolder && !doc.m_pCurFolder->m_aBookmarks.empty())
        frame->GetRightPane()->SelectRow(0);
    QApplication::processEvents();
    bool ok = Save(frame, dir + QStringLiteral("/main.png"));

    CItemDlg item(frame);
    item.m_strName = "Wikipedia";
    item.m_strUrl = "https://www.wikipedia.org/";
    item.m_strComment = "La enciclopedia libre";
    item.UpdateData(false);
    item.adjustSize();
    ok = Save(&item, dir + QStringLiteral("/item-dialog.png")) && ok;

    CDupesDlg dupes(doc, frame);
    dupes.show();
    QApplication::processEvents();
    ok = Save(&dupes, dir + QStringLiteral("/dupes-dialog.png")) && ok;
    dupes.hide();

    CLinkCheckDlg links(doc, doc.m_pCurFolder, frame);
    links.Results().SetTargets(BookmarksBelow(doc, &doc.m_root));
    links.show();
    QApplication::processEvents();
    ok = Save(&links, dir + QStringLiteral("/link-check-dialog.png")) && ok;
    links.hide();

    for (unsigned id : {131u, 132u}) {
        std::unique_ptr<QMenu> menu(KivMenus::BuildMenu(id, app.Router(), frame));
        KivMenus::UpdateMenu(menu.get(), app.Router());
        menu->adjustSize();
        ok = Save(menu.get(), dir + QStringLiteral("/menu%1.png").arg(id)) && ok;
    }
    return ok;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication qapp(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("halvane"));
    QApplication::setApplicationName(QStringLiteral("Kiv"));

    QStringList arguments = QApplication::arguments().mid(1);
    const auto takeOption = [&arguments](const QString& name) {
        QString value;
        if (const qsizetype i = arguments.indexOf(name); i >= 0) {
            value = arguments.value(i + 1);
            arguments.remove(i, std::min<qsizetype>(2, arguments.size() - i));
        }
        return value;
    };
    const QString screenshot = takeOption(QStringLiteral("--screenshot"));
    const QString gallery = takeOption(QStringLiteral("--screenshot-dir"));
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
            if (!screenshot.isEmpty() || !gallery.isEmpty()) {
                QTimer::singleShot(1000, app.GetMainFrame(), [&app, screenshot, gallery] {
                    bool saved = true;
                    if (!screenshot.isEmpty())
                        saved = Save(app.GetMainFrame(), screenshot);
                    if (!gallery.isEmpty())
                        saved = SaveGallery(app, gallery) && saved;
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
