// kiv-testshell: the program kiv, built from the same libraries, with options that
// only tests and the screenshots use:
//   --screenshot FILE        as kiv
//   --screenshot-dir DIR     saves the window with a folder selected, the item
//                            dialog and the two context menus into DIR, then ends
//   --test-copy-folder, --test-paste-into, --test-save-exit: see TestHooks.h
#include "TestHooks.h"

#include "app/AppMain.h"
#include "app/KivApp.h"
#include "formats/ItemDialog.h"
#include "frame/MainFrame.h"
#include "model/KivDoc.h"
#include "res/Menus.h"
#include "views/KivView.h"
#include "views/LeftView.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
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

    for (unsigned id : {131u, 132u}) {
        std::unique_ptr<QMenu> menu(KivMenus::BuildMenu(id, app.Router(), frame));
        KivMenus::UpdateMenu(menu.get(), app.Router());
        menu->adjustSize();
        ok = KivMain::SavePicture(menu.get(), dir + QStringLiteral("/menu%1.png").arg(id)) && ok;
    }
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
