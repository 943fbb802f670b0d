// The main window: menus, keys, toolbar, command routing and the window state.
#include "app/AppTestSupport.h"

#include "res/Commands.h"
#include "app/KivApp.h"
#include "frame/MainFrame.h"
#include "frame/SearchBar.h"
#include "framework/ScriptedUi.h"
#include "model/KivDoc.h"
#include "res/Menus.h"
#include "views/Clipboard.h"
#include "views/KivView.h"
#include "views/LeftView.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

using namespace KivAppTest;

namespace {

class Frame : public ::testing::Test
{
protected:
    void Start(const QStringList& args = {})
    {
        m_sample = m_env.WriteSample();
        m_app = std::make_unique<CKivApp>();
        ASSERT_TRUE(m_app->InitInstance(args.isEmpty() ? QStringList{m_sample} : args));
        m_frame = m_app->GetMainFrame();
        ASSERT_TRUE(m_frame);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame));
    }
    void Focus(QWidget* pane)
    {
        m_frame->activateWindow();
        pane->setFocus();
        QApplication::processEvents();
    }
    CCmdRouter& Router() { return m_app->Router(); }

    AppEnv m_env;
    QString m_sample;
    std::unique_ptr<CKivApp> m_app;
    CMainFrame* m_frame = nullptr;
};

// "text" for an item, "-" for a separator, ">text" for a popup.
QStringList Texts(const QList<QAction*>& actions)
{
    QStringList out;
    for (QAction* a : actions)
        out << (a->isSeparator() ? QStringLiteral("-")
                                 : (a->menu() ? QStringLiteral(">") : QString()) + a->text());
    return out;
}

}  // namespace

TEST_F(Frame, MainMenuHasEveryItemInOrder)
{
    Start();
    const QList<QAction*> bar = m_frame->menuBar()->actions();
    ASSERT_EQ(Texts(bar), (QStringList{">&Archivo", ">&Editar", ">&Ver", ">&Ayuda"}));
    const QStringList archivo = {
        "&Nuevo\tCtrl+N", "&Abrir...\tCtrl+O", "&Guardar\tCtrl+S", "Guardar &Como...", "-",
        "&Comparar", ">Importar", ">Exportar", "-", "Imprimir con Microsoft Word", "-",
        "&Preferencias", "Enviar...", "-", "Archivo reciente", "-", "Salir"};
    EXPECT_EQ(Texts(bar[0]->menu()->actions()), archivo);
    QMenu* importar = bar[0]->menu()->actions()[6]->menu();
    EXPECT_EQ(Texts(importar->actions()),
              (QStringList{"Accesos directos de IE...", "Bookmarks de Netscape...", "Opera Hotlist...",
                           "Desde Firefox...", "Desde Chromium/Chrome...", "XBEL..."}));
    EXPECT_EQ(importar->actions()[0]->data().toUInt(), unsigned(ID_IMPORT_IE));
    EXPECT_EQ(bar[0]->menu()->actions()[7]->menu()->actions()[1]->data().toUInt(),
              unsigned(ID_EXPORT_NETSCAPE));
    EXPECT_EQ(Texts(bar[1]->menu()->actions()),
              (QStringList{"&Deshacer\tCtrl+Z", "&Rehacer\tCtrl+Y", "-",
                           "&Buscar\tCtrl+F", "Buscar &Siguiente\tF3", "-", "Editar elemento", "-",
                           "Buscar duplicados...", "Comprobar enlaces...", "-",
                           "Cor&tar\tCtrl+X", "&Copiar\tCtrl+C", "&Pegar\tCtrl+V", "-",
                           "Seleccionar Todo\tCtrl+A"}));
    EXPECT_EQ(Texts(bar[2]->menu()->actions()),
              (QStringList{"&Barra de herramientas", "&Barra de busqueda", "&Barra de estado"}));
    EXPECT_EQ(Texts(bar[3]->menu()->actions()), (QStringList{"Ayuda", "&Acerca de Kiv..."}));
}

TEST_F(Frame, RecentFilesReplaceThePlaceholderWhenTheMenuOpens)
{
    Start();
    QMenu* archivo = m_frame->menuBar()->actions()[0]->menu();
    emit archivo->aboutToShow();
    const QStringList texts = Texts(archivo->actions());
    EXPECT_FALSE(texts.contains(QStringLiteral("Archivo reciente")));
    EXPECT_TRUE(texts.contains(QStringLiteral("&1 ") + m_sample));
}

TEST(Menus, ContextMenusHoldTheirItemsInOrder)
{
    EnsureQtApp();
    CCmdRouter router;
    std::unique_ptr<QMenu> tree(KivMenus::BuildMenu(IDR_MENU_TREE, router, nullptr));
    EXPECT_EQ(Texts(tree->actions()),
              (QStringList{"Nuevo", "Editar", "-", "Copiar", "Pegar", "-", "Borrar"}));
    std::unique_ptr<QMenu> list(KivMenus::BuildMenu(IDR_MENU_LIST, router, nullptr));
    EXPECT_EQ(Texts(list->actions()),
              (QStringList{"Abrir", "Abrir en una nueva ventana", "-", "Nuevo\tIns", "Editar", "Borrar",
                           "-", "Cortar", "Copiar", "Pegar"}));
    std::unique_ptr<QMenu> search(KivMenus::BuildMenu(IDR_MENU_SEARCH, router, nullptr));
    EXPECT_EQ(Texts(search->actions()), (QStringList{"Nombre", "Url", "Comentario"}));
    // Nobody listens: everything is disabled once the menu is about to show.
    emit list->aboutToShow();
    for (QAction* a : list->actions())
        EXPECT_FALSE(!a->isSeparator() && a->isEnabled()) << a->text().toStdString();
    // The search-field items have no prompt.
    EXPECT_TRUE(search->actions()[0]->statusTip().isEmpty());
    EXPECT_TRUE(search->actions()[1]->statusTip().isEmpty());
    EXPECT_EQ(search->actions()[2]->statusTip(), QStringLiteral("Buscar en Campo Comentario"));
}

TEST_F(Frame, ToolbarButtonsInOrderWithTooltips)
{
    Start();
    QToolBar* bar = m_frame->findChild<QToolBar*>(QStringLiteral("bar59392"));
    ASSERT_TRUE(bar);
    QList<unsigned> ids;
    for (QAction* a : bar->actions())
        ids << (a->isSeparator() ? 0u : a->data().toUInt());
    EXPECT_EQ(ids, (QList<unsigned>{57600, 57601, 57603, 0, 57635, 57634, 57637, 0, 32798, 0, 59409,
                                    59408, 59410, 59411, 0, 57664}));
    EXPECT_EQ(bar->actions()[0]->toolTip(), QStringLiteral("New"));
    EXPECT_EQ(bar->actions()[0]->statusTip(), QStringLiteral("Create a new document"));
    for (QAction* a : bar->actions())
        EXPECT_TRUE(a->isSeparator() || !a->icon().isNull());
}

TEST_F(Frame, AcceleratorsSendTheirCommands)
{
    Start();
    const std::pair<QKeySequence, unsigned> expected[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_A), 57642}, {QKeySequence(Qt::CTRL | Qt::Key_C), 57634},
        {QKeySequence(Qt::CTRL | Qt::Key_Insert), 57634}, {QKeySequence(Qt::CTRL | Qt::Key_F), 57636},
        {QKeySequence(Qt::CTRL | Qt::Key_N), 57600}, {QKeySequence(Qt::CTRL | Qt::Key_O), 57601},
        {QKeySequence(Qt::CTRL | Qt::Key_S), 57603}, {QKeySequence(Qt::CTRL | Qt::Key_V), 57637},
        {QKeySequence(Qt::SHIFT | Qt::Key_Insert), 57637}, {QKeySequence(Qt::CTRL | Qt::Key_X), 57635},
        {QKeySequence(Qt::SHIFT | Qt::Key_Delete), 57635}, {QKeySequence(Qt::CTRL | Qt::Key_Z), 57643},
        {QKeySequence(Qt::ALT | Qt::Key_Backspace), 57643}, {QKeySequence(Qt::CTRL | Qt::Key_Y), 57644},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), 57644}, {QKeySequence(Qt::Key_F1), 57670},
        {QKeySequence(Qt::Key_F2), 32782}, {QKeySequence(Qt::Key_F3), 32786},
        {QKeySequence(Qt::Key_F6), 57680}, {QKeySequence(Qt::SHIFT | Qt::Key_F6), 57681},
        {QKeySequence(Qt::Key_Insert), 32777}, {QKeySequence(Qt::ALT | Qt::Key_Return), 32779}};
    std::map<QString, unsigned> actual;
    for (QAction* a : m_frame->actions())
        if (!a->shortcut().isEmpty())
            actual[a->shortcut().toString()] = a->data().toUInt();
    EXPECT_EQ(actual.size(), std::size(expected));
    for (const auto& [key, id] : expected)
        EXPECT_EQ(actual[key.toString()], id) << key.toString().toStdString();
}

TEST_F(Frame, TreeIsActiveAndFocusedAtStart)
{
    Start();
    EXPECT_EQ(m_frame->GetActiveView(), static_cast<CCmdTarget*>(m_frame->GetLeftPane()));
    EXPECT_TRUE(m_frame->GetLeftPane()->hasFocus());
}

TEST_F(Frame, InsertCreatesAFolderInTheTreeAndAnItemInTheList)
{
    Start();
    CKivDoc& doc = m_app->Document();
    int folders = 0;
    for (CFolderNode* f = doc.m_root.m_pFirstChild; f; f = f->m_pNext)
        ++folders;
    Focus(m_frame->GetLeftPane());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Insert);
    int after = 0;
    for (CFolderNode* f = doc.m_root.m_pFirstChild; f; f = f->m_pNext)
        ++after;
    EXPECT_EQ(after, folders + 1);
    EXPECT_TRUE(m_env.m_ui->m_dialogs.empty());

    // In the list the same key opens the item dialog (answered "cancel" here).
    Focus(m_frame->GetRightPane()->ItemView());
    EXPECT_EQ(m_frame->GetActiveView(), static_cast<CCmdTarget*>(m_frame->GetRightPane()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Insert);
    EXPECT_EQ(m_env.m_ui->m_dialogs.size(), 1u);
}

TEST_F(Frame, UpdateRulesFollowTheFocusedPane)
{
    Start();
    Focus(m_frame->GetLeftPane());
    EXPECT_FALSE(Router().Update(ID_EDIT_UNDO).m_bEnabled);
    EXPECT_FALSE(Router().Update(ID_ITEM_EDIT).m_bEnabled);   // only the list lists it
    EXPECT_FALSE(Router().Update(ID_EDIT_CUT).m_bEnabled);
    EXPECT_TRUE(Router().Update(ID_EDIT_LABEL).m_bEnabled);
    EXPECT_FALSE(Router().Update(12345).m_bEnabled);           // nobody lists it
    for (unsigned id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_APP_EXIT,
                        ID_HELP_INDEX, ID_HELP, ID_NEXT_PANE, ID_PREV_PANE, ID_FIND_NEXT,
                        ID_EDIT_FIND, ID_IMPORT_NETSCAPE, ID_EXPORT_OPERA, ID_SEARCH_MENU})
        EXPECT_TRUE(Router().Update(id).m_bEnabled) << id;

    Focus(m_frame->GetRightPane()->ItemView());
    EXPECT_FALSE(Router().Update(ID_EDIT_UNDO).m_bEnabled);
    EXPECT_FALSE(Router().Update(ID_EDIT_LABEL).m_bEnabled);  // only the tree lists it
    m_frame->GetRightPane()->SetAllSelected(false);
    EXPECT_FALSE(Router().Update(ID_ITEM_EDIT).m_bEnabled);
    EXPECT_FALSE(Router().Update(ID_ITEM_OPEN).m_bEnabled);
    m_frame->GetRightPane()->SelectRow(0);
    EXPECT_TRUE(Router().Update(ID_ITEM_EDIT).m_bEnabled);
    EXPECT_TRUE(Router().Update(ID_ITEM_OPEN).m_bEnabled);
}

TEST_F(Frame, SelectAllReachesTheListFromTheTree)
{
    Start();
    CKivView* list = m_frame->GetRightPane();
    ASSERT_GT(list->RowCount(), 1);
    list->SetAllSelected(false);
    Focus(m_frame->GetLeftPane());
    ASSERT_EQ(m_frame->GetActiveView(), static_cast<CCmdTarget*>(m_frame->GetLeftPane()));
    EXPECT_TRUE(Router().Update(ID_EDIT_SELECT_ALL).m_bEnabled);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(int(list->SelectedRows().size()), list->RowCount());
}

TEST_F(Frame, NextAndPreviousPaneMoveTheFocus)
{
    Start();
    Focus(m_frame->GetLeftPane());
    Router().Execute(ID_NEXT_PANE);
    QApplication::processEvents();
    EXPECT_EQ(m_frame->GetActiveView(), static_cast<CCmdTarget*>(m_frame->GetRightPane()));
    Router().Execute(ID_PREV_PANE);
    QApplication::processEvents();
    EXPECT_EQ(m_frame->GetActiveView(), static_cast<CCmdTarget*>(m_frame->GetLeftPane()));
}

struct StyleCase
{
    unsigned id;
    int style;
    bool lineUp;
};

class FrameStyles : public Frame, public ::testing::WithParamInterface<StyleCase>
{
};

TEST_P(FrameStyles, StyleCommandsSwitchTheListAndShowTheChoice)
{
    Start();
    const StyleCase& c = GetParam();
    ASSERT_TRUE(Router().Execute(c.id));
    EXPECT_EQ(m_frame->GetRightPane()->GetListStyle(), c.style);
    for (unsigned id : {ID_VIEW_SMALLICON, ID_VIEW_LARGEICON, ID_VIEW_LIST, ID_VIEW_DETAILS}) {
        const CCmdUI ui = Router().Update(id);
        EXPECT_TRUE(ui.m_bRadio);
        EXPECT_EQ(ui.m_nCheck, id == c.id ? 1 : 0) << id;
    }
    EXPECT_EQ(Router().Update(ID_VIEW_LINEUP).m_bEnabled, c.lineUp);
    m_frame->UpdateToolBar();
    QToolBar* bar = m_frame->findChild<QToolBar*>(QStringLiteral("bar59392"));
    for (QAction* a : bar->actions())
        if (a->data().toUInt() == c.id) {
            EXPECT_TRUE(a->isChecked());
        }
}

INSTANTIATE_TEST_SUITE_P(Styles, FrameStyles,
                         ::testing::Values(StyleCase{ID_VIEW_SMALLICON, LVS_SMALLICON, true},
                                           StyleCase{ID_VIEW_LARGEICON, LVS_ICON, true},
                                           StyleCase{ID_VIEW_LIST, LVS_LIST, false},
                                           StyleCase{ID_VIEW_DETAILS, LVS_REPORT, false}));

TEST_F(Frame, ItemCountIsRightAlignedWithoutTrailingBlanks)
{
    Start();
    m_frame->ShowItemCount(5);
    EXPECT_EQ(m_frame->ItemCountText(), QStringLiteral("nb:    5"));
    m_frame->ShowItemCount(12345);
    EXPECT_EQ(m_frame->ItemCountText(), QStringLiteral("nb: 12345"));
}

TEST_F(Frame, PanesReachTheStatusBarAndTheirMenusThroughTheFrame)
{
    Start();
    CKivView* list = m_frame->GetRightPane();
    CLeftView* tree = m_frame->GetLeftPane();
    CFolderNode* root = &m_app->Document().m_root;
    ASSERT_TRUE(tree->SelectFolder(root));
    const int shown = list->RowCount();
    EXPECT_EQ(m_frame->ItemCountText(), QStringLiteral("nb: %1").arg(shown, 4));
    ASSERT_TRUE(m_app->Document().AddBookmark("http://count.example", "count", "", root, false));
    m_app->Document().UpdateAllViews(nullptr, HINT_REFRESH);
    EXPECT_EQ(m_frame->ItemCountText(), QStringLiteral("nb: %1").arg(shown + 1, 4));

    // The tree's menu opens from the frame, and its "new" reaches the tree: a folder.
    CScriptedUi ui;
    const CFolderNode* before = root->m_pFirstChild;
    size_t folders = 0;
    for (const CFolderNode* f = before; f; f = f->m_pNext)
        ++folders;
    QContextMenuEvent treeMenuKey(QContextMenuEvent::Keyboard, QPoint(1, 1),
                                  tree->viewport()->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(tree->viewport(), &treeMenuKey);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), QStringLiteral("menu%1").arg(IDR_MENU_TREE));
    m_frame->SetActivePane(0);
    menu->actions().first()->trigger();
    menu->close();
    size_t after = 0;
    for (const CFolderNode* f = root->m_pFirstChild; f; f = f->m_pNext)
        ++after;
    EXPECT_EQ(after, folders + 1);

    QContextMenuEvent listMenuKey(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                  list->DetailsView()->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(list->DetailsView()->viewport(), &listMenuKey);
    menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), QStringLiteral("menu%1").arg(IDR_MENU_LIST));
    menu->close();
}

TEST_F(Frame, ToolbarFollowsTheSelectionTheClipboardAndCommandsAtOnce)
{
    Start();
    QToolBar* bar = m_frame->findChild<QToolBar*>(QStringLiteral("bar59392"));
    ASSERT_NE(bar, nullptr);
    const auto button = [bar](unsigned id) -> QAction* {
        for (QAction* a : bar->actions())
            if (a->data().toUInt() == id)
                return a;
        return nullptr;
    };
    ASSERT_NE(button(ID_EDIT_CUT), nullptr);
    CKivView* list = m_frame->GetRightPane();
    ASSERT_TRUE(m_frame->GetLeftPane()->SelectFolder(&m_app->Document().m_root));
    ASSERT_GT(list->RowCount(), 0);
    m_frame->SetActivePane(1);
    list->SetAllSelected(false);
    // One pass of the event loop, no waiting: the states follow the change itself.
    QCoreApplication::processEvents();
    EXPECT_FALSE(button(ID_EDIT_CUT)->isEnabled());
    list->SelectRow(0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(button(ID_EDIT_CUT)->isEnabled());

    QGuiApplication::clipboard()->clear();
    QCoreApplication::processEvents();
    EXPECT_FALSE(button(ID_EDIT_PASTE)->isEnabled());
    ASSERT_TRUE(Router().Execute(ID_EDIT_COPY));
    QCoreApplication::processEvents();
    EXPECT_TRUE(button(ID_EDIT_PASTE)->isEnabled());

    ASSERT_TRUE(Router().Execute(ID_VIEW_LARGEICON));
    QCoreApplication::processEvents();
    EXPECT_TRUE(button(ID_VIEW_LARGEICON)->isChecked());
    EXPECT_FALSE(button(ID_VIEW_DETAILS)->isChecked());
}

TEST_F(Frame, BarsToggleWithTheirChecks)
{
    Start();
    for (unsigned id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
        EXPECT_EQ(Router().Update(id).m_nCheck, 1);
        Router().Execute(id);
        EXPECT_EQ(Router().Update(id).m_nCheck, 0);
        Router().Execute(id);
        EXPECT_EQ(Router().Update(id).m_nCheck, 1);
    }
}

TEST_F(Frame, DroppedKivFilesOpenInOrderOthersAreSkipped)
{
    Start();
    const QString one = m_env.WriteSample(QStringLiteral("one.kiv"));
    const QString three = m_env.WriteSample(QStringLiteral("THREE.KIV"));
    const QString two = m_env.Path(QStringLiteral("two.txt"));
    m_frame->OpenDroppedFiles({one, two, three});
    EXPECT_EQ(m_app->Document().GetPathName(), three);
    EXPECT_EQ(m_app->RecentFiles().Entries().mid(0, 2), (QStringList{three, one}));
    EXPECT_TRUE(m_env.m_ui->m_messages.empty());
}

TEST_F(Frame, CloseWritesTheWindowStateEvenWhenTheSaveIsCancelled)
{
    Start();
    m_app->Document().SetModifiedFlag(true);
    m_env.m_ui->m_messageAnswers = {CUi::IDCANCEL};
    EXPECT_FALSE(m_frame->close());
    EXPECT_TRUE(m_frame->isVisible());
    EXPECT_EQ(Setting(QStringLiteral("WndSize/Maximize")).toInt(), 0);
    const QStringList size = Setting(QStringLiteral("WndSize/MainSize")).toString().split(',');
    ASSERT_EQ(size.size(), 4);
    EXPECT_EQ(size[2].toInt(), m_frame->frameGeometry().width());
    EXPECT_EQ(Setting(QStringLiteral("WndSize/cxPane")).toInt(), m_frame->GetLeftPane()->width());
    EXPECT_EQ(Setting(QStringLiteral("WndSize/SearchBar")).toInt(), 0);

    m_env.m_ui->m_messageAnswers = {CUi::IDNO};
    EXPECT_TRUE(m_frame->close());
}

TEST_F(Frame, MinimizedCloseWritesNothing)
{
    Start();
    m_frame->showMinimized();
    QApplication::processEvents();
    if (!m_frame->isMinimized())
        GTEST_SKIP() << "the platform does not minimize windows";
    m_frame->SaveWindowState();
    EXPECT_FALSE(Setting(QStringLiteral("WndSize/MainSize")).isValid());
}

TEST_F(Frame, KeptGeometryIsAppliedWithNegativeOriginRaised)
{
    SetSetting(QStringLiteral("Pref/KeepWndSize"), 1);
    SetSetting(QStringLiteral("WndSize/MainSize"), QStringLiteral("-8,-8,1040,780"));
    SetSetting(QStringLiteral("WndSize/cxPane"), 230);
    Start();
    EXPECT_EQ(m_frame->frameGeometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(m_frame->frameGeometry().size(), QSize(1040, 780));
    EXPECT_EQ(m_frame->GetLeftPane()->width(), 230);
}

TEST_F(Frame, GeometryIsIgnoredWithoutKeepWndSize)
{
    SetSetting(QStringLiteral("WndSize/MainSize"), QStringLiteral("10,10,1040,780"));
    SetSetting(QStringLiteral("WndSize/cxPane"), 230);
    Start();
    EXPECT_NE(m_frame->frameGeometry().size(), QSize(1040, 780));
    EXPECT_EQ(m_frame->GetLeftPane()->width(), 160);
}

TEST_F(Frame, MaximizedWhenKeptAndStoredMaximized)
{
    SetSetting(QStringLiteral("Pref/KeepWndSize"), 1);
    SetSetting(QStringLiteral("WndSize/Maximize"), 1);
    Start();
    EXPECT_TRUE(m_frame->m_bMaximized);
    EXPECT_TRUE(m_frame->windowState() & Qt::WindowMaximized);
}

TEST_F(Frame, StyleChosenInTheWindowIsWrittenAtExit)
{
    Start();
    ASSERT_TRUE(Router().Execute(ID_VIEW_LARGEICON));
    m_app->ExitInstance();
    EXPECT_EQ(Setting(QStringLiteral("Pref/ListStyle")).toInt(), LVS_ICON);
    EXPECT_FALSE(m_app->HasMainWindow());
}

TEST_F(Frame, PasteIsEnabledOnlyByThePrivateFormat)
{
    Start();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("http://text.example"));
    EXPECT_FALSE(Router().Update(ID_EDIT_PASTE).m_bEnabled);
    auto* data = new QMimeData;
    data->setData(QStringLiteral("Vedirodo"), QByteArray(12, '\0'));
    data->setText(QStringLiteral("also text"));
    clipboard->setMimeData(data);
    EXPECT_TRUE(Router().Update(ID_EDIT_PASTE).m_bEnabled);
    clipboard->clear();
    EXPECT_FALSE(Router().Update(ID_EDIT_PASTE).m_bEnabled);
}

TEST_F(Frame, PasteListsCopiedBookmarksInTheCurrentFolder)
{
    Start();
    CKivDoc& doc = m_app->Document();
    const std::vector<uint32_t> rootRows = doc.m_root.m_aBookmarks;
    ASSERT_EQ(rootRows.size(), 2u);
    QGuiApplication::clipboard()->setMimeData(
        KivClipboard::MakeMimeData(KivClipboard::CopyBookmarks(doc, rootRows)));
    CFolderNode* tools = doc.m_root.m_pFirstChild;
    while (tools && tools->m_strName != "Herramientas")
        tools = tools->m_pNext;
    ASSERT_TRUE(tools);
    ASSERT_TRUE(m_frame->GetLeftPane()->SelectFolder(tools));
    ASSERT_EQ(doc.m_pCurFolder, tools);
    const uint32_t before = doc.BookmarkCount();
    ASSERT_TRUE(Router().Execute(ID_EDIT_PASTE));
    EXPECT_EQ(tools->m_aBookmarks.size(), 3u);
    EXPECT_EQ(doc.BookmarkCount(), before); // same URLs: listed again, not duplicated
    EXPECT_EQ(m_frame->GetRightPane()->RowCount(), 3);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(m_env.m_ui->m_messages.empty());
    QGuiApplication::clipboard()->clear();
}

TEST_F(Frame, NetscapeImportFillsTheTreeAndAWrongFileIsRefused)
{
    Start();
    const QString good = m_env.Path(QStringLiteral("bookmarks.htm"));
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n<DT><H3>Importados</H3>\n<DL><p>\n"
               "<DT><A HREF=\"http://imp.example/\">imp</A>\n<DD>with a note\n"
               "<DT><A HREF=\"http://imp2.example/\">imp2</A>\n</DL><p>\n</DL><p>\n");
    file.close();
    m_env.m_ui->m_fileAnswers = {good};
    ASSERT_TRUE(Router().Execute(ID_IMPORT_NETSCAPE));
    EXPECT_EQ(m_env.m_ui->m_fileFilters.back(), QStringLiteral("Bookmark Files (*.htm)|*.htm||"));
    EXPECT_TRUE(m_env.m_ui->m_messages.empty());
    CLeftView* tree = m_frame->GetLeftPane();
    const QModelIndex root = tree->model()->index(0, 0);
    QStringList names;
    for (int i = 0; i < tree->model()->rowCount(root); ++i)
        names << tree->model()->index(i, 0, root).data().toString();
    EXPECT_TRUE(names.contains(QStringLiteral("Importados"))) << names.join(',').toStdString();
    EXPECT_TRUE(m_app->Document().IsModified());
    // The notes the file brings come with the bookmarks it adds: one addition to undo.
    EXPECT_EQ(Router().Update(ID_EDIT_UNDO).m_strText,
              QStringLiteral("&Deshacer añadir 2 marcadores\tCtrl+Z"));

    const QString bad = m_env.Path(QStringLiteral("bad.htm"));
    QFile other(bad);
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("<html>not bookmarks</html>\n");
    other.close();
    m_env.m_ui->m_fileAnswers = {bad};
    ASSERT_TRUE(Router().Execute(ID_IMPORT_NETSCAPE));
    EXPECT_EQ(m_env.m_ui->MessageTexts(),
              QStringList{QStringLiteral("Wrong file type. Netscape bookmark v1 wanted.")});
    EXPECT_EQ(m_env.m_ui->m_messages.back().icon, CUi::MB_ICONWARNING);

    // The Opera box is a warning as well.
    m_env.m_ui->m_fileAnswers = {bad};
    ASSERT_TRUE(Router().Execute(ID_IMPORT_OPERA));
    ASSERT_EQ(m_env.m_ui->m_messages.size(), 2u);
    EXPECT_EQ(m_env.m_ui->m_messages.back().text,
              QStringLiteral("Wrong file type. Opera hotlist v2 wanted."));
    EXPECT_EQ(m_env.m_ui->m_messages.back().icon, CUi::MB_ICONWARNING);
}

TEST_F(Frame, CaptionMarksUnsavedChangesAndTheCountPaneFitsItsFormat)
{
    Start();
    EXPECT_EQ(m_frame->windowTitle(), QStringLiteral("sample.kiv[*] - Kiv"));
    EXPECT_FALSE(m_frame->isWindowModified());
    m_app->Document().SetModifiedFlag();
    m_frame->OnIdle();
    EXPECT_TRUE(m_frame->isWindowModified());
    ASSERT_TRUE(m_app->DoFileSave());
    m_frame->OnIdle();
    EXPECT_FALSE(m_frame->isWindowModified());

    // The pane is as wide as "nb: %4d  ", so four digits fit.
    auto* pane = m_frame->findChild<QLabel*>(QStringLiteral("pane1"));
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->minimumWidth(), pane->fontMetrics().horizontalAdvance(QStringLiteral("nb: %4d  ")));
    EXPECT_GE(pane->minimumWidth(), pane->fontMetrics().horizontalAdvance(QStringLiteral("nb: 9999")));
}

TEST_F(Frame, OnlyAPlainReturnInTheSearchFieldSearches)
{
    Start();
    ASSERT_TRUE(Router().Execute(ID_EDIT_FIND));
    QLineEdit* edit = m_frame->SearchBar()->Edit();
    edit->setText(QStringLiteral("nowhere-to-be-found"));
    m_frame->GetRightPane()->SelectRow(0);
    m_frame->activateWindow();
    edit->setFocus();
    QApplication::processEvents();
    // Alt+Return is the accelerator that edits the selected bookmark.
    QTest::keyClick(edit, Qt::Key_Return, Qt::AltModifier);
    EXPECT_TRUE(m_env.m_ui->m_messages.empty());
    EXPECT_EQ(m_env.m_ui->m_dialogs, std::vector<QString>{QStringLiteral("dialog130")});
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(m_env.m_ui->MessageTexts(), QStringList{QStringLiteral("Item not found!")});
}

TEST_F(Frame, FindShowsTheSearchBarAndFindNextSelectsTheHit)
{
    Start();
    ASSERT_FALSE(m_frame->SearchBarBand()->isVisibleTo(m_frame));
    ASSERT_TRUE(Router().Execute(ID_EDIT_FIND));
    QApplication::processEvents();
    EXPECT_TRUE(m_frame->SearchBarBand()->isVisibleTo(m_frame));
    EXPECT_EQ(Router().Update(ID_VIEW_SEARCHBAR).m_nCheck, 1);
    ASSERT_TRUE(m_frame->SearchBar());
    m_frame->SearchBar()->Edit()->setText(QStringLiteral("NEWS"));
    ASSERT_TRUE(Router().Execute(ID_FIND_NEXT));
    CKivDoc& doc = m_app->Document();
    ASSERT_TRUE(doc.m_pCurFolder);
    EXPECT_EQ(doc.m_pCurFolder->m_strName, "Noticias");
    EXPECT_EQ(m_frame->GetRightPane()->SelectedRows(), std::vector<int>{0});
    EXPECT_TRUE(m_env.m_ui->m_messages.empty());

    m_frame->SearchBar()->Edit()->setText(QStringLiteral("nowhere-to-be-found"));
    Router().Execute(ID_FIND_NEXT);
    EXPECT_EQ(m_env.m_ui->MessageTexts(), QStringList{QStringLiteral("Item not found!")});
}

TEST_F(Frame, AboutAndPreferencesOpenTheirDialogs)
{
    Start();
    EXPECT_TRUE(Router().Execute(ID_APP_ABOUT));
    EXPECT_TRUE(Router().Execute(ID_PREFERENCES));
    EXPECT_EQ(m_env.m_ui->m_dialogs.size(), 2u);
}

namespace {

// The tree with every folder's rows (name, URL, reference count), the trash, the
// check folder and the table's size: what undo must give back exactly.
std::string Contents(const CKivDoc& doc)
{
    std::string out;
    const auto folder = [&](const auto& self, const CFolderNode& f, int depth) -> void {
        out += std::string(size_t(depth), ' ') + '[' + f.m_strName + "]\n";
        for (uint32_t i : f.m_aBookmarks) {
            const CBookmark& b = doc.Bookmark(i);
            out += std::string(size_t(depth) + 1, ' ');
            out += std::string_view(b.m_strName);
            out += ' ';
            out += std::string_view(b.m_strUrl);
            out += ' ' + std::to_string(b.m_nRefs) + '\n';
        }
        for (const CFolderNode* c = f.m_pFirstChild; c; c = c->m_pNext)
            self(self, *c, depth + 1);
    };
    for (const CFolderNode* top : {&doc.m_root, &doc.m_trash, &doc.m_check})
        folder(folder, *top, 0);
    return out + std::to_string(doc.BookmarkCount()) + " entries\n";
}

} // namespace

TEST_F(Frame, UndoTakesRealCommandsBackToTheSavedFileAndRedoMakesThemAgain)
{
    Start();
    CKivDoc& doc = m_app->Document();
    CLeftView* tree = m_frame->GetLeftPane();
    CKivView* list = m_frame->GetRightPane();
    const auto top = [&doc](const char* name) -> CFolderNode* {
        for (CFolderNode* f = doc.m_root.m_pFirstChild; f; f = f->m_pNext)
            if (f->m_strName == name)
                return f;
        return nullptr;
    };
    const auto modifiedMark = [this] {
        m_frame->OnIdle();
        return m_frame->isWindowModified();
    };
    const std::string opened = Contents(doc);

    // The root's two rows deleted from the list, both selected.
    ASSERT_TRUE(tree->SelectFolder(&doc.m_root));
    Focus(list->ItemView());
    list->SetAllSelected(true);
    const std::vector<uint32_t> rootRows = list->SelectedBookmarks();
    ASSERT_EQ(rootRows.size(), 2u);
    ASSERT_TRUE(Router().Execute(ID_ITEM_DELETE));
    ASSERT_EQ(doc.m_trash.m_aBookmarks.size(), 2u);
    EXPECT_EQ(Router().Update(ID_EDIT_UNDO).m_strText,
              QStringLiteral("&Deshacer eliminar 2 marcadores\tCtrl+Z"));
    // A folder with a row deleted from the tree, after its warning.
    ASSERT_TRUE(tree->SelectFolder(top("Noticias")));
    Focus(tree);
    m_env.m_ui->m_messageAnswers = {CUi::IDOK};
    ASSERT_TRUE(Router().Execute(ID_ITEM_DELETE));
    ASSERT_EQ(top("Noticias"), nullptr);
    EXPECT_EQ(Router().Update(ID_EDIT_UNDO).m_strText,
              QStringLiteral("&Deshacer eliminar carpeta\tCtrl+Z"));
    // Saved here.
    ASSERT_TRUE(m_app->DoFileSave());
    const std::string saved = Contents(doc);
    EXPECT_FALSE(modifiedMark());

    // The root's rows pasted into Herramientas.
    ASSERT_TRUE(tree->SelectFolder(top("Herramientas")));
    QGuiApplication::clipboard()->setMimeData(
        KivClipboard::MakeMimeData(KivClipboard::CopyBookmarks(doc, rootRows)));
    ASSERT_TRUE(Router().Execute(ID_EDIT_PASTE));
    QGuiApplication::clipboard()->clear();
    ASSERT_EQ(top("Herramientas")->m_aBookmarks.size(), 3u);
    // A Netscape file imported: a whole import is one step.
    const QString file = m_env.Path(QStringLiteral("undo.htm"));
    QFile htm(file);
    ASSERT_TRUE(htm.open(QIODevice::WriteOnly));
    htm.write("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n<DT><H3>Importados</H3>\n<DL><p>\n"
              "<DT><A HREF=\"http://imp.example/\">imp</A>\n<DT><A HREF=\"http://imp2.example/\">"
              "imp2</A>\n</DL><p>\n</DL><p>\n");
    htm.close();
    m_env.m_ui->m_fileAnswers = {file};
    ASSERT_TRUE(Router().Execute(ID_IMPORT_NETSCAPE));
    ASSERT_NE(top("Importados"), nullptr);
    EXPECT_EQ(Router().Update(ID_EDIT_UNDO).m_strText,
              QStringLiteral("&Deshacer añadir 2 marcadores\tCtrl+Z"));
    const std::string end = Contents(doc);
    EXPECT_TRUE(modifiedMark());

    // Back to the saved contents: the mark goes; one more step back brings it again.
    Focus(list->ItemView());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(top("Importados"), nullptr);
    ASSERT_TRUE(Router().Execute(ID_EDIT_UNDO));
    EXPECT_EQ(Contents(doc), saved);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(modifiedMark());
    ASSERT_TRUE(Router().Execute(ID_EDIT_UNDO));
    EXPECT_TRUE(modifiedMark());
    ASSERT_NE(top("Noticias"), nullptr);
    EXPECT_EQ(doc.m_pCurFolder, top("Noticias")); // the folder current when it went
    ASSERT_TRUE(Router().Execute(ID_EDIT_UNDO));
    EXPECT_EQ(Contents(doc), opened);
    // The rows come back selected in the folder they were deleted from.
    EXPECT_EQ(doc.m_pCurFolder, &doc.m_root);
    EXPECT_EQ(list->SelectedBookmarks(), rootRows);
    EXPECT_FALSE(Router().Update(ID_EDIT_UNDO).m_bEnabled);

    // And forward again: clean at the save, marked beyond it.
    ASSERT_TRUE(Router().Execute(ID_EDIT_REDO));
    ASSERT_TRUE(Router().Execute(ID_EDIT_REDO));
    EXPECT_EQ(Contents(doc), saved);
    EXPECT_FALSE(modifiedMark());
    Focus(list->ItemView());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(modifiedMark());
    EXPECT_EQ(doc.m_pCurFolder, top("Herramientas"));
    ASSERT_TRUE(Router().Execute(ID_EDIT_REDO));
    EXPECT_EQ(Contents(doc), end);
    EXPECT_FALSE(Router().Update(ID_EDIT_REDO).m_bEnabled);
    EXPECT_EQ(m_env.m_ui->m_messages.size(), 1u); // the folder's warning only
}

TEST_F(Frame, UndoKeepsTheOpenFoldersOfTheTreeOpen)
{
    Start();
    CKivDoc& doc = m_app->Document();
    CLeftView* tree = m_frame->GetLeftPane();
    CFolderNode* outer = doc.CreateFolder(&doc.m_root, "Outer", false);
    CFolderNode* inner = doc.CreateFolder(outer, "Inner", false);
    doc.CreateFolder(inner, "Innermost", false);
    doc.UpdateAllViews(nullptr, CHint{HINT_SYNC_FOLDER, &doc.m_root});
    // Opened as a user opens them: selecting the deepest folder.
    ASSERT_TRUE(tree->SelectFolder(inner->m_pFirstChild));
    const std::vector<const CFolderNode*> open = tree->ExpandedFolders();
    ASSERT_NE(std::find(open.begin(), open.end(), inner), open.end());

    ASSERT_TRUE(tree->SelectFolder(&doc.m_root));
    Focus(m_frame->GetRightPane()->ItemView());
    m_frame->GetRightPane()->SetAllSelected(true);
    ASSERT_TRUE(Router().Execute(ID_ITEM_DELETE));
    ASSERT_TRUE(Router().Execute(ID_EDIT_UNDO));
    EXPECT_EQ(tree->ExpandedFolders(), open);
}
