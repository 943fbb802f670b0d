// kiv-testshell: the program kiv, built from the same libraries, with options that
// only tests and the screenshots use:
//   --screenshot FILE        as kiv
//   --screenshot-dir DIR     saves the window with a folder selected, the item
//                            dialog, the two context menus, the Edit menu with a
//                            step to undo and the duplicates and link-check
//                            dialogs (links listed, none requested) into DIR, then ends
//   --test-copy-folder, --test-paste-into, --test-save-exit: see TestHooks.h
#include "TestHooks.h"

#include "app/AppMain.h"
#include "app/KivApp.h"
#include "browsers/BrowserProfiles.h"
#include "browsers/ProfileDlg.h"
#include "formats/ItemDialog.h"
#include "frame/MainFrame.h"
#include "model/KivDoc.h"
#include "res/Commands.h"
#include "res/Menus.h"
#include "tidy/Collection.h"
#include "tidy/DupesDlg.h"
#include "tidy/LinkCheckDlg.h"
#include "tidy/LinkResultsModel.h"
#include "views/KivView.h"
#include "views/LeftView.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <memory>

namespace {

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
    bool ok = KivMain::SavePicture(frame, dir + QStringLiteral("/main.png"));

    CItemDlg item(frame);
    item.m_strName = "Wikipedia";
    item.m_strUrl = "https://www.wikipedia.org/";
    item.m_strComment = "La enciclopedia libre";
    item.UpdateData(false);
    item.adjustSize();
    ok = KivMain::SavePicture(&item, dir + QStringLiteral("/item-dialog.png")) && ok;

    CDupesDlg dupes(doc, frame);
    dupes.show();
    QApplication::processEvents();
    ok = KivMain::SavePicture(&dupes, dir + QStringLiteral("/dupes-dialog.png")) && ok;
    dupes.hide();

    CLinkCheckDlg links(doc, doc.m_pCurFolder, frame);
    links.Results().SetTargets(BookmarksBelow(doc, &doc.m_root));
    links.show();
    QApplication::processEvents();
    ok = KivMain::SavePicture(&links, dir + QStringLiteral("/link-check-dialog.png")) && ok;
    links.hide();

    for (unsigned id : {131u, 132u}) {
        std::unique_ptr<QMenu> menu(KivMenus::BuildMenu(id, app.Router(), frame));
        KivMenus::UpdateMenu(menu.get(), app.Router());
        menu->adjustSize();
        ok = KivMain::SavePicture(menu.get(), dir + QStringLiteral("/menu%1.png").arg(id)) && ok;
    }
    // Archivo > Importar, and the choice the browser imports offer among profiles.
    for (QAction* top : frame->menuBar()->actions())
        for (QAction* item : top->menu() ? top->menu()->actions() : QList<QAction*>())
            if (QMenu* sub = item->menu(); sub && sub->title() == QLatin1String("Importar")) {
                KivMenus::UpdateMenu(sub, app.Router());
                sub->adjustSize();
                ok = KivMain::SavePicture(sub, dir + QStringLiteral("/menu-import.png")) && ok;
            }
    // Editar after the selected row went to the trash: Undo names the step. Undone
    // again afterwards, so the window ends as it started.
    if (CKivView* list = frame->GetRightPane(); list->RowCount() > 0) {
        app.History().BeginCommand(ID_ITEM_DELETE);
        list->OnDeleteItems();
        app.History().EndCommand();
        for (QAction* top : frame->menuBar()->actions())
            if (QMenu* edit = top->menu(); edit && top->text() == QLatin1String("&Editar")) {
                KivMenus::UpdateMenu(edit, app.Router());
                edit->adjustSize();
                ok = KivMain::SavePicture(edit, dir + QStringLiteral("/menu-edit.png")) && ok;
            }
        ok = app.Router().Execute(ID_EDIT_UNDO) && !doc.IsModified() && ok;
    }
    const auto profile = [](const char* browser, const char* name, const char* dir) {
        CBrowserProfile p;
        p.browser = QString::fromUtf8(browser);
        p.name = QString::fromUtf8(name);
        p.dir = QDir::home().filePath(QString::fromUtf8(dir));
        return p;
    };
    CProfileDlg choice({profile("Firefox", "default-release", ".mozilla/firefox/k2x9.default-release"),
                        profile("Firefox", "Trabajo", ".mozilla/firefox/q7m1.trabajo"),
                        profile("Firefox (Flatpak)", "default",
                                ".var/app/org.mozilla.firefox/.mozilla/firefox/z3c8.default")},
                       {1284, 97, -1}, frame);
    choice.adjustSize();
    ok = KivMain::SavePicture(&choice, dir + QStringLiteral("/profile-choice.png")) && ok;
    return ok;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication qapp(argc, argv);

    QStringList arguments = QApplication::arguments().mid(1);
    const QString screenshot = KivMain::TakeOption(arguments, QStringLiteral("--screenshot"));
    const QString gallery = KivMain::TakeOption(arguments, QStringLiteral("--screenshot-dir"));
    const KivTestHooks::CHooks hooks = KivTestHooks::Take(arguments);
    return KivMain::Run(qapp, arguments, [&](CKivApp& app) {
        KivTestHooks::Run(app, hooks);
        if (screenshot.isEmpty() && gallery.isEmpty())
            return;
        QTimer::singleShot(1000, app.GetMainFrame(), [&app, screenshot, gallery] {
            bool saved = true;
            if (!screenshot.isEmpty())
                saved = KivMain::SavePicture(app.GetMainFrame(), screenshot);
            if (!gallery.isEmpty())
                saved = SaveGallery(app, gallery) && saved;
            // Leave without questions: nothing was edited.
            QApplication::exit(saved ? 0 : 1);
        });
    });
}
