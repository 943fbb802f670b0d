#pragma once

#include <QKeySequence>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class CCmdRouter;
class QAction;
class QIcon;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

// One entry of a menu resource: a command, a separator (no id, no text) or a popup.
struct CMenuItem
{
    unsigned id = 0;
    QString text;
    std::vector<CMenuItem> popup;

    bool IsSeparator() const { return id == 0 && text.isEmpty(); }
    bool IsPopup() const { return !popup.empty(); }
};

// An accelerator: a key and the command it sends.
struct CAccel
{
    QKeySequence key;
    unsigned id;
};

// The menus, accelerators and toolbar of the window, kept as data, and the widgets
// built from them. Every action carries its command number in data() and as the
// objectName "action<id>", and sends that command through the router.
namespace KivMenus {

// 128: the main menu's popups; 131, 132, 137: the items of the context popup.
const std::vector<CMenuItem>& Resource(unsigned id);
const std::vector<CAccel>& Accelerators();
// The toolbar's commands left to right; 0 is a separator.
const std::vector<unsigned>& ToolbarButtons();

// The status-bar prompt of a command (the text before the newline) and its tooltip
// (the text after it), from the string table.
QString Prompt(unsigned id);
QString Tooltip(unsigned id);
QIcon ToolbarIcon(unsigned id);

// A context popup (131, 132, 137) whose items are updated through the router just
// before it shows.
QMenu* BuildMenu(unsigned id, CCmdRouter& router, QWidget* parent);
// The main menu; the "Archivo" popup lists recentFiles() in place of its placeholder.
void BuildMenuBar(QMenuBar* bar, CCmdRouter& router, std::function<QStringList()> recentFiles);
void BuildToolBar(QToolBar* bar, CCmdRouter& router);
// Hidden actions on the window for every accelerator.
void AddAccelerators(QWidget* window, CCmdRouter& router);

// Asks the router for the state of every command action of the menu (not its
// submenus, which update when they open).
void UpdateMenu(QMenu* menu, CCmdRouter& router);
// The same for a list of actions (the toolbar's).
void UpdateActions(const QList<QAction*>& actions, CCmdRouter& router);

}  // namespace KivMenus
