#include "Menus.h"

#include "Prompts.h"
#include "Strings.h"
#include "res/Commands.h"
#include "framework/CmdTarget.h"

#include <QAction>
#include <QDir>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <map>

namespace KivMenus {

namespace {

CMenuItem Item(unsigned id, const char* text) { return CMenuItem{id, QString::fromUtf8(text), {}}; }
CMenuItem Separator() { return CMenuItem{}; }
CMenuItem Popup(const char* text, std::vector<CMenuItem> items)
{
    return CMenuItem{0, QString::fromUtf8(text), std::move(items)};
}

const std::map<unsigned, std::vector<CMenuItem>>& Resources()
{
    static const std::map<unsigned, std::vector<CMenuItem>> resources = {
        {IDR_MENU_MAIN,
         {Popup("&Archivo",
                {Item(ID_FILE_NEW, "&Nuevo\tCtrl+N"), Item(ID_FILE_OPEN, "&Abrir...\tCtrl+O"),
                 Item(ID_FILE_SAVE, "&Guardar\tCtrl+S"), Item(ID_FILE_SAVE_AS, "Guardar &Como..."),
                 Separator(), Item(ID_CHECK_NEW, "&Comparar"),
                 Popup("Importar", {Item(ID_IMPORT_IE, "Accesos directos de IE..."),
                                    Item(ID_IMPORT_NETSCAPE, "Bookmarks de Netscape..."),
                                    Item(ID_IMPORT_OPERA, "Opera Hotlist..."),
                                    Item(ID_IMPORT_FIREFOX, "Desde Firefox..."),
                                    Item(ID_IMPORT_CHROMIUM, "Desde Chromium/Chrome..."),
                                    Item(ID_IMPORT_XBEL, "XBEL...")}),
                 Popup("Exportar", {Item(ID_EXPORT_IE, "Accesos directos de IE..."),
                                    Item(ID_EXPORT_NETSCAPE, "Bookmarks de Netscape..."),
                                    Item(ID_EXPORT_OPERA, "Opera Hotlist..."),
                                    Item(ID_EXPORT_XBEL, "XBEL...")}),
                 Separator(), Item(ID_PRINT_WORD, "Imprimir con Microsoft Word"), Separator(),
                 Item(ID_PREFERENCES, "&Preferencias"), Item(ID_FILE_SEND_MAIL, "Enviar..."),
                 Separator(), Item(ID_FILE_MRU_FILE1, "Archivo reciente"), Separator(),
                 Item(ID_APP_EXIT, "Salir")}),
          Popup("&Editar",
                {Item(ID_EDIT_UNDO, "&Deshacer\tCtrl+Z"), Item(ID_EDIT_REDO, "&Rehacer\tCtrl+Y"),
                 Separator(), Item(ID_EDIT_FIND, "&Buscar\tCtrl+F"),
                 Item(ID_FIND_NEXT, "Buscar &Siguiente\tF3"), Separator(),
                 Item(ID_ITEM_EDIT, "Editar elemento"), Separator(),
                 Item(ID_EDIT_DUPLICATES, "Buscar duplicados..."),
                 Item(ID_EDIT_CHECK_LINKS, "Comprobar enlaces..."), Separator(),
                 Item(ID_EDIT_CUT, "Cor&tar\tCtrl+X"), Item(ID_EDIT_COPY, "&Copiar\tCtrl+C"),
                 Item(ID_EDIT_PASTE, "&Pegar\tCtrl+V"), Separator(),
                 Item(ID_EDIT_SELECT_ALL, "Seleccionar Todo\tCtrl+A")}),
          Popup("&Ver", {Item(ID_VIEW_TOOLBAR, "&Barra de herramientas"),
                         Item(ID_VIEW_SEARCHBAR, "&Barra de busqueda"),
                         Item(ID_VIEW_STATUS_BAR, "&Barra de estado")}),
          Popup("&Ayuda", {Item(ID_HELP_INDEX, "Ayuda"), Item(ID_APP_ABOUT, "&Acerca de Kiv...")})}},
        {IDR_MENU_TREE,
         {Item(ID_ITEM_NEW, "Nuevo"), Item(ID_EDIT_LABEL, "Editar"), Separator(),
          Item(ID_EDIT_COPY, "Copiar"), Item(ID_EDIT_PASTE, "Pegar"), Separator(),
          Item(ID_ITEM_DELETE, "Borrar")}},
        {IDR_MENU_LIST,
         {Item(ID_ITEM_OPEN, "Abrir"), Item(ID_ITEM_OPEN_NEW_WINDOW, "Abrir en una nueva ventana"),
          Separator(), Item(ID_ITEM_NEW, "Nuevo\tIns"), Item(ID_ITEM_EDIT, "Editar"),
          Item(ID_ITEM_DELETE, "Borrar"), Separator(), Item(ID_EDIT_CUT, "Cortar"),
          Item(ID_EDIT_COPY, "Copiar"), Item(ID_EDIT_PASTE, "Pegar")}},
        {IDR_MENU_SEARCH,
         {Item(ID_SEARCH_NAME, "Nombre"), Item(ID_SEARCH_URL, "Url"),
          Item(ID_SEARCH_COMMENT, "Comentario")}},
    };
    return resources;
}

const char* IconName(unsigned id)
{
    switch (id) {
    case ID_FILE_NEW: return "new";
    case ID_FILE_OPEN: return "open";
    case ID_FILE_SAVE: return "save";
    case ID_EDIT_CUT: return "cut";
    case ID_EDIT_COPY: return "copy";
    case ID_EDIT_PASTE: return "paste";
    case ID_PRINT_WORD: return "print";
    case ID_VIEW_LARGEICON: return "largeicons";
    case ID_VIEW_SMALLICON: return "smallicons";
    case ID_VIEW_LIST: return "list";
    case ID_VIEW_DETAILS: return "details";
    case ID_APP_ABOUT: return "about";
    default: return nullptr;
    }
}

QAction* CommandAction(const QString& text, unsigned id, CCmdRouter& router, QObject* parent)
{
    auto* action = new QAction(text, parent);
    action->setData(id);
    action->setObjectName(QStringLiteral("action%1").arg(id));
    const QString prompt = Prompt(id);
    if (!prompt.isEmpty())
        action->setStatusTip(prompt);
    QObject::connect(action, &QAction::triggered, action, [&router, id] { router.Execute(id); });
    return action;
}

// The grayed stand-in for an empty recent-file list, marked so that updates leave it
// grayed whatever its text says.
constexpr char kPlaceholder[] = "kivPlaceholder";

QAction* RecentPlaceholder(const QString& text, CCmdRouter& router, QObject* parent)
{
    QAction* placeholder = CommandAction(text, ID_FILE_MRU_FILE1, router, parent);
    placeholder->setProperty(kPlaceholder, true);
    placeholder->setEnabled(false);
    return placeholder;
}

void FillMenu(QMenu* menu, const std::vector<CMenuItem>& items, CCmdRouter& router)
{
    for (const CMenuItem& item : items) {
        if (item.IsSeparator()) {
            menu->addSeparator();
        } else if (item.IsPopup()) {
            QMenu* sub = menu->addMenu(item.text);
            FillMenu(sub, item.popup, router);
            QObject::connect(sub, &QMenu::aboutToShow, sub, [sub, &router] { UpdateMenu(sub, router); });
        } else if (item.id == ID_FILE_MRU_FILE1) {
            menu->addAction(RecentPlaceholder(item.text, router, menu));
        } else {
            menu->addAction(CommandAction(item.text, item.id, router, menu));
        }
    }
}

// The recent files take the place of the placeholder item; with none, the grayed
// placeholder stays.
void UpdateRecentFiles(QMenu* menu, CCmdRouter& router, const QStringList& files)
{
    QAction* first = nullptr;
    QList<QAction*> old;
    for (QAction* a : menu->actions()) {
        const unsigned id = a->data().toUInt();
        if (id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_LAST) {
            if (!first)
                first = a;
            old << a;
        }
    }
    if (!first)
        return;
    QAction* before = menu->actions().value(menu->actions().indexOf(old.last()) + 1);
    for (QAction* a : old) {
        menu->removeAction(a);
        a->deleteLater();
    }
    if (files.isEmpty()) {
        menu->insertAction(before, RecentPlaceholder(QStringLiteral("Archivo reciente"), router, menu));
        return;
    }
    for (int i = 0; i < files.size() && i < 4; ++i) {
        QString shown = QDir::toNativeSeparators(files[i]);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* a = CommandAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown),
                                   ID_FILE_MRU_FILE1 + i, router, menu);
        menu->insertAction(before, a);
    }
}

}  // namespace

const std::vector<CMenuItem>& Resource(unsigned id)
{
    static const std::vector<CMenuItem> none;
    const auto& all = Resources();
    auto it = all.find(id);
    return it == all.end() ? none : it->second;
}

const std::vector<CAccel>& Accelerators()
{
    static const std::vector<CAccel> accels = {
        {QKeySequence(Qt::CTRL | Qt::Key_A), ID_EDIT_SELECT_ALL},
        {QKeySequence(Qt::CTRL | Qt::Key_C), ID_EDIT_COPY},
        {QKeySequence(Qt::CTRL | Qt::Key_Insert), ID_EDIT_COPY},
        {QKeySequence(Qt::CTRL | Qt::Key_F), ID_EDIT_FIND},
        {QKeySequence(Qt::CTRL | Qt::Key_N), ID_FILE_NEW},
        {QKeySequence(Qt::CTRL | Qt::Key_O), ID_FILE_OPEN},
        {QKeySequence(Qt::CTRL | Qt::Key_S), ID_FILE_SAVE},
        {QKeySequence(Qt::CTRL | Qt::Key_V), ID_EDIT_PASTE},
        {QKeySequence(Qt::SHIFT | Qt::Key_Insert), ID_EDIT_PASTE},
        {QKeySequence(Qt::CTRL | Qt::Key_X), ID_EDIT_CUT},
        {QKeySequence(Qt::SHIFT | Qt::Key_Delete), ID_EDIT_CUT},
        {QKeySequence(Qt::CTRL | Qt::Key_Z), ID_EDIT_UNDO},
        {QKeySequence(Qt::ALT | Qt::Key_Backspace), ID_EDIT_UNDO},
        {QKeySequence(Qt::CTRL | Qt::Key_Y), ID_EDIT_REDO},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), ID_EDIT_REDO},
        {QKeySequence(Qt::Key_F1), ID_HELP},
        {QKeySequence(Qt::Key_F2), ID_EDIT_LABEL},
        {QKeySequence(Qt::Key_F3), ID_FIND_NEXT},
        {QKeySequence(Qt::Key_F6), ID_NEXT_PANE},
        {QKeySequence(Qt::SHIFT | Qt::Key_F6), ID_PREV_PANE},
        {QKeySequence(Qt::Key_Insert), ID_ITEM_NEW},
        {QKeySequence(Qt::ALT | Qt::Key_Return), ID_ITEM_EDIT},
    };
    return accels;
}

const std::vector<unsigned>& ToolbarButtons()
{
    static const std::vector<unsigned> buttons = {
        ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, 0,
        ID_PRINT_WORD, 0, ID_VIEW_LARGEICON, ID_VIEW_SMALLICON, ID_VIEW_LIST, ID_VIEW_DETAILS, 0,
        ID_APP_ABOUT};
    return buttons;
}

QString Prompt(unsigned id) { return KivPrompts::Load(id).section(QLatin1Char('\n'), 0, 0); }

QString Tooltip(unsigned id)
{
    const QString text = KivPrompts::Load(id);
    const qsizetype newline = text.indexOf(QLatin1Char('\n'));
    return newline < 0 ? QString() : text.mid(newline + 1);
}

QIcon ToolbarIcon(unsigned id)
{
    const char* name = IconName(id);
    return name ? QIcon(QStringLiteral(":/toolbar/%1.svg").arg(QLatin1String(name))) : QIcon();
}

QMenu* BuildMenu(unsigned id, CCmdRouter& router, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("menu%1").arg(id));
    FillMenu(menu, Resource(id), router);
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, &router] { UpdateMenu(menu, router); });
    return menu;
}

void BuildMenuBar(QMenuBar* bar, CCmdRouter& router, std::function<QStringList()> recentFiles)
{
    for (const CMenuItem& popup : Resource(IDR_MENU_MAIN)) {
        QMenu* menu = bar->addMenu(popup.text);
        FillMenu(menu, popup.popup, router);
        QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, &router, recentFiles] {
            if (recentFiles)
                UpdateRecentFiles(menu, router, recentFiles());
            UpdateMenu(menu, router);
        });
    }
}

void BuildToolBar(QToolBar* bar, CCmdRouter& router)
{
    for (unsigned id : ToolbarButtons()) {
        if (id == 0) {
            bar->addSeparator();
            continue;
        }
        QAction* action = CommandAction(Tooltip(id), id, router, bar);
        action->setIcon(ToolbarIcon(id));
        action->setToolTip(Tooltip(id));
        bar->addAction(action);
    }
}

void AddAccelerators(QWidget* window, CCmdRouter& router)
{
    for (const CAccel& accel : Accelerators()) {
        auto* action = new QAction(window);
        action->setData(accel.id);
        action->setObjectName(QStringLiteral("accel%1_%2").arg(accel.id).arg(accel.key.toString()));
        action->setShortcut(accel.key);
        action->setShortcutContext(Qt::WindowShortcut);
        QObject::connect(action, &QAction::triggered, action,
                         [&router, id = accel.id] { router.Execute(id); });
        window->addAction(action);
    }
}

void UpdateActions(const QList<QAction*>& actions, CCmdRouter& router)
{
    for (QAction* action : actions) {
        if (action->isSeparator() || action->menu() || !action->data().isValid())
            continue;
        const unsigned id = action->data().toUInt();
        // The placeholder of an empty recent-file list stays grayed.
        if (action->property(kPlaceholder).toBool()) {
            action->setEnabled(false);
            continue;
        }
        const CCmdUI ui = router.Update(id);
        action->setEnabled(ui.m_bEnabled);
        action->setCheckable(ui.m_nCheck >= 0);
        if (ui.m_nCheck >= 0)
            action->setChecked(ui.m_nCheck == 1);
        if (ui.m_bTextSet)
            action->setText(ui.m_strText);
    }
}

void UpdateMenu(QMenu* menu, CCmdRouter& router) { UpdateActions(menu->actions(), router); }

}  // namespace KivMenus
