#include "ViewTestApp.h"

#include "res/Commands.h"
#include "framework/ScriptedUi.h"
#include "model/KivDoc.h"
#include "res/Strings.h"
#include "views/Clipboard.h"
#include "views/KivView.h"
#include "views/LeftView.h"
#include "views/ViewSupport.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QSignalSpy>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Item = CFolderTreeModel::Item;

class LeftViewTest : public KivTest::SamplePanesTest
{
protected:
    void SetUp() override
    {
        OpenSamplePanes();
        m_tester = std::make_unique<QAbstractItemModelTester>(
            &m_tree->TreeModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        m_doc.SendInitialUpdate();
    }

    void TearDown() override
    {
        m_tester.reset();
        SamplePanesTest::TearDown();
    }

    QModelIndex IndexOf(const CFolderNode* folder)
    {
        return m_tree->TreeModel().IndexOf(m_tree->TreeModel().FindTreeItem(folder));
    }

    // The labels below an item, in the tree's order.
    QStringList Labels(const QModelIndex& parent)
    {
        QStringList labels;
        const QAbstractItemModel& model = m_tree->TreeModel();
        for (int r = 0; r < model.rowCount(parent); ++r)
            labels << model.index(r, 0, parent).data().toString();
        return labels;
    }

    QStringList ListNames()
    {
        QStringList names;
        for (int r = 0; r < m_list->RowCount(); ++r)
            names << m_list->ListModel().index(r, 0).data().toString();
        return names;
    }

    int Image(const Item* item)
    {
        return m_tree->TreeModel().IndexOf(item).data(CFolderTreeModel::ImageRole).toInt();
    }

    void Select(const CFolderNode* folder) { ASSERT_TRUE(m_tree->SelectFolder(folder)); }

    QLineEdit* Editor() { return m_tree->findChild<QLineEdit*>(); }

    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

TEST_F(LeftViewTest, FillShowsTheThreeBuiltInFoldersWithTheRootSelected)
{
    const QAbstractItemModel& model = m_tree->TreeModel();
    EXPECT_EQ(Labels({}), (QStringList{"Escritorio", "Comprobar", "Papelera"}));
    const QModelIndex root = model.index(0, 0);
    EXPECT_TRUE(m_tree->isExpanded(root));
    EXPECT_EQ(Labels(root), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(Labels(model.index(1, 0, root)), QStringList{"b1"});
    EXPECT_EQ(m_tree->SelectedFolder(), &m_doc.m_root);
    EXPECT_EQ(m_doc.m_pCurFolder, &m_doc.m_root);
    EXPECT_EQ(ListNames(), (QStringList{"r-alpha", "r-beta"}));
    EXPECT_EQ(Image(m_tree->TreeModel().RootItem()), KivImages::IMG_DESKTOP);
    EXPECT_EQ(Image(m_tree->TreeModel().CheckItem()), KivImages::IMG_CHECK_EMPTY);
    EXPECT_EQ(Image(m_tree->TreeModel().TrashItem()), KivImages::IMG_TRASH_EMPTY);
    const QModelIndex a = model.index(0, 0, root);
    EXPECT_EQ(a.data(CFolderTreeModel::ImageRole).toInt(), KivImages::IMG_FOLDER);
    EXPECT_EQ(a.data(CFolderTreeModel::SelectedImageRole).toInt(), KivImages::IMG_FOLDER_OPEN);
    // The built-in labels follow the string table, not the folders' names.
    KivStrings::SetLanguage(KivStrings::Lang1031);
    EXPECT_EQ(Labels({}), (QStringList{"Desktop", "Prüfen", "Papierkorb"}));
}

TEST_F(LeftViewTest, SelectingAFolderMakesItCurrentAndRebuildsTheList)
{
    QSignalSpy counts(m_list, &CKivView::ItemCountChanged);
    CFolderNode* c = Child(&m_doc.m_root, "c");
    m_tree->setCurrentIndex(IndexOf(c));
    EXPECT_EQ(m_doc.m_pCurFolder, c);
    EXPECT_EQ(ListNames(), (QStringList{"c1", "c2", "c3", "c4", "c5"}));
    ASSERT_FALSE(counts.isEmpty());
    EXPECT_EQ(counts.last().at(0).toInt(), 5);
    // Arrow keys move the selection, and the current folder with it.
    m_tree->setFocus();
    QTest::keyClick(m_tree, Qt::Key_Up);
    EXPECT_EQ(m_doc.m_pCurFolder, Child(&m_doc.m_root, "b"));
    EXPECT_EQ(ListNames(), (QStringList{"b-one", "b-two"}));
}

TEST_F(LeftViewTest, TrashAndCheckPicturesFollowTheirBookmarks)
{
    Item* trash = m_tree->TreeModel().TrashItem();
    Item* check = m_tree->TreeModel().CheckItem();
    m_doc.CreateFolder(&m_doc.m_trash, "only a folder", false);
    m_doc.UpdateAllViews(nullptr, HINT_REFRESH);
    EXPECT_EQ(Image(trash), KivImages::IMG_TRASH_EMPTY);

    m_doc.AddBookmark("http://new.example", "new", "", &m_doc.m_check, true);
    m_doc.LinkBookmark(&m_doc.m_trash, 0);
    // Hint 8 refreshes the pictures too; hint 12 and up as well.
    m_doc.UpdateAllViews(nullptr, HINT_SELECT_ROW, -1);
    EXPECT_EQ(Image(trash), KivImages::IMG_TRASH_FULL);
    EXPECT_EQ(Image(check), KivImages::IMG_CHECK_FULL);
    EXPECT_EQ(m_tree->TreeModel().IndexOf(trash).data(CFolderTreeModel::SelectedImageRole).toInt(),
              KivImages::IMG_TRASH_FULL);

    m_doc.UnlinkAllBookmarks(&m_doc.m_trash);
    m_doc.UnlinkAllBookmarks(&m_doc.m_check);
    m_doc.UpdateAllViews(nullptr, 12);
    EXPECT_EQ(Image(trash), KivImages::IMG_TRASH_EMPTY);
    EXPECT_EQ(Image(check), KivImages::IMG_CHECK_EMPTY);
}

TEST_F(LeftViewTest, SyncHintAddsNewFoldersAndSelectHintSelects)
{
    CFolderNode* deep = m_doc.WalkPath("b/aa/deep");
    CFolderNode* zz = m_doc.WalkPath("zz");
    EXPECT_FALSE(IndexOf(deep).isValid());
    m_doc.UpdateAllViews(nullptr, HINT_SYNC_FOLDER, &m_doc.m_root);
    // Existing items are kept as they are: b's children are not examined.
    EXPECT_EQ(Labels(IndexOf(&m_doc.m_root)), (QStringList{"a", "b", "c", "zz"}));
    EXPECT_FALSE(IndexOf(deep).isValid());
    m_doc.UpdateAllViews(nullptr, HINT_SYNC_FOLDER, Child(&m_doc.m_root, "b"));
    EXPECT_EQ(Labels(IndexOf(Child(&m_doc.m_root, "b"))), (QStringList{"aa", "b1"}));
    EXPECT_TRUE(IndexOf(deep).isValid());
    EXPECT_TRUE(m_tree->isExpanded(IndexOf(Child(&m_doc.m_root, "b"))));

    m_doc.UpdateAllViews(nullptr, HINT_SELECT_FOLDER, zz);
    EXPECT_EQ(m_tree->SelectedFolder(), zz);
    EXPECT_EQ(m_doc.m_pCurFolder, zz);
    EXPECT_EQ(m_list->RowCount(), 0);

    // Folders that went elsewhere lose their items at the next sync.
    CFolderNode* a = Child(&m_doc.m_root, "a");
    m_doc.InsertFolder(&m_doc.m_trash, m_doc.DetachFolder(a));
    m_doc.UpdateAllViews(nullptr, HINT_SYNC_FOLDER, &m_doc.m_root);
    EXPECT_EQ(Labels(IndexOf(&m_doc.m_root)), (QStringList{"b", "c", "zz"}));
}

TEST_F(LeftViewTest, FoldersBelowTrashAndCheckHaveNoItem)
{
    CFolderNode* moved = Child(&m_doc.m_root, "a");
    m_doc.InsertFolder(&m_doc.m_trash, m_doc.DetachFolder(moved));
    EXPECT_EQ(m_tree->TreeModel().FindTreeItem(moved), nullptr);
    EXPECT_EQ(m_tree->TreeModel().FindTreeItem(nullptr), nullptr);
    EXPECT_FALSE(m_tree->SelectFolder(moved));
}

TEST_F(LeftViewTest, InsertCreatesNuevoAsFirstChildWithItsLabelOpen)
{
    Select(Child(&m_doc.m_root, "b"));
    m_doc.SetModifiedFlag(false);
    QTest::keyClick(m_tree, Qt::Key_Insert);
    CFolderNode* b = Child(&m_doc.m_root, "b");
    EXPECT_EQ(Labels(IndexOf(b)), (QStringList{"Nuevo", "b1"}));
    EXPECT_EQ(b->m_pFirstChild->m_strName, "b1"); // the folder itself sorts by name
    EXPECT_TRUE(m_doc.IsModified());
    CFolderNode* fresh = Child(b, "Nuevo");
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(m_doc.m_pCurFolder, fresh);
    QLineEdit* editor = Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "Nuevo");
    // Cancelling keeps the name and the first place.
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_EQ(fresh->m_strName, "Nuevo");
    EXPECT_EQ(Labels(IndexOf(b)), (QStringList{"Nuevo", "b1"}));
}

TEST_F(LeftViewTest, NoNewFolderBelowTrashOrCheck)
{
    for (CFolderNode* builtIn : {&m_doc.m_trash, &m_doc.m_check}) {
        Select(builtIn);
        m_tree->OnCmdMsg(ID_ITEM_NEW);
        EXPECT_EQ(builtIn->m_pFirstChild, nullptr);
        EXPECT_EQ(m_tree->TreeModel().rowCount(IndexOf(builtIn)), 0);
    }
    Select(&m_doc.m_root);
    ASSERT_TRUE(m_tree->OnCmdMsg(ID_ITEM_NEW));
    EXPECT_EQ(Labels(IndexOf(&m_doc.m_root)).first(), "Nuevo");
}

TEST_F(LeftViewTest, RenameResortsAndKeepsTheFolderSelected)
{
    CFolderNode* b = Child(&m_doc.m_root, "b");
    Select(b);
    m_doc.SetModifiedFlag(false);
    QTest::keyClick(m_tree, Qt::Key_F2);
    QLineEdit* editor = Editor();
    ASSERT_NE(editor, nullptr);
    editor->setText("z");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the delegate commits after the key
    EXPECT_EQ(b->m_strName, "z");
    EXPECT_EQ(Labels(IndexOf(&m_doc.m_root)), (QStringList{"a", "c", "z"}));
    EXPECT_EQ(Labels(IndexOf(b)), QStringList{"b1"});
    EXPECT_EQ(m_tree->SelectedFolder(), b);
    EXPECT_EQ(m_doc.m_pCurFolder, b);
    EXPECT_TRUE(m_doc.IsModified());
    // The model's order follows too.
    EXPECT_EQ(Child(&m_doc.m_root, "c")->m_pNext, b);
}

TEST_F(LeftViewTest, BuiltInLabelsCannotBeEdited)
{
    for (CFolderNode* builtIn : {&m_doc.m_root, &m_doc.m_check, &m_doc.m_trash}) {
        Select(builtIn);
        QTest::keyClick(m_tree, Qt::Key_F2);
        EXPECT_EQ(Editor(), nullptr);
        m_tree->OnCmdMsg(ID_EDIT_LABEL);
        EXPECT_EQ(Editor(), nullptr);
    }
    Select(Child(&m_doc.m_root, "a"));
    m_tree->OnCmdMsg(ID_EDIT_LABEL);
    EXPECT_NE(Editor(), nullptr);
}

TEST_F(LeftViewTest, DeleteAsksForAFullFolderAndTrashesEverythingBelow)
{
    CScriptedUi ui;
    CFolderNode* b = Child(&m_doc.m_root, "b");
    Select(b);
    ui.m_messageAnswers.push_back(CUi::IDCANCEL);
    QTest::keyClick(m_tree, Qt::Key_Delete);
    ASSERT_EQ(ui.m_messages.size(), 1u);
    EXPECT_EQ(ui.m_messages[0].text, "¡ Quieres borrar este nodo !");
    EXPECT_EQ(ui.m_messages[0].buttons, CUi::MB_OKCANCEL);
    EXPECT_EQ(ui.m_messages[0].icon, CUi::MB_ICONWARNING);
    EXPECT_EQ(Child(&m_doc.m_root, "b"), b);
    EXPECT_TRUE(m_doc.m_trash.m_aBookmarks.empty());

    m_doc.SetModifiedFlag(false);
    ui.m_messageAnswers.push_back(CUi::IDOK);
    ASSERT_TRUE(m_tree->OnCmdMsg(ID_ITEM_DELETE));
    EXPECT_EQ(Child(&m_doc.m_root, "b"), nullptr);
    EXPECT_EQ(Labels(IndexOf(&m_doc.m_root)), (QStringList{"a", "c"}));
    EXPECT_EQ(m_doc.m_trash.m_aBookmarks.size(), 3u); // b-one, b-two and b1's shared
    EXPECT_EQ(Image(m_tree->TreeModel().TrashItem()), KivImages::IMG_TRASH_FULL);
    EXPECT_TRUE(m_doc.IsModified());
    // The selection moved to a neighbour, which is the current folder.
    EXPECT_EQ(m_tree->SelectedFolder(), Child(&m_doc.m_root, "a"));
    EXPECT_EQ(m_doc.m_pCurFolder, Child(&m_doc.m_root, "a"));
    EXPECT_EQ(ListNames(), QStringList{"a-one"});

    // The trash lists them.
    Select(&m_doc.m_trash);
    EXPECT_EQ(ListNames(), (QStringList{"b-one", "b-two", "shared"}));
}

TEST_F(LeftViewTest, EmptyFolderGoesWithoutAQuestionAndTheParentTakesOver)
{
    CScriptedUi ui;
    CFolderNode* b1 = Child(Child(&m_doc.m_root, "b"), "b1");
    m_doc.UnlinkAllBookmarks(b1);
    Select(b1);
    QTest::keyClick(m_tree, Qt::Key_Delete);
    EXPECT_TRUE(ui.m_messages.empty());
    EXPECT_EQ(Child(&m_doc.m_root, "b")->m_pFirstChild, nullptr);
    EXPECT_EQ(m_doc.m_pCurFolder, Child(&m_doc.m_root, "b"));
}

TEST_F(LeftViewTest, TopLevelItemsAreNeverDeleted)
{
    CScriptedUi ui;
    ui.m_messageAnswers = {CUi::IDOK, CUi::IDOK, CUi::IDOK};
    for (CFolderNode* builtIn : {&m_doc.m_root, &m_doc.m_check, &m_doc.m_trash}) {
        Select(builtIn);
        QTest::keyClick(m_tree, Qt::Key_Delete);
    }
    EXPECT_TRUE(ui.m_messages.empty());
    EXPECT_EQ(Labels({}).size(), 3);
    EXPECT_NE(Child(&m_doc.m_root, "a"), nullptr);
}

TEST_F(LeftViewTest, ListDragsReachTheTreeThroughTheDocument)
{
    // The list hands positions to whichever view is the tree; it never answers itself.
    EXPECT_FALSE(m_list->OnRelay(WM_TREE_QUERY, {}).tree);
    CFolderNode* c = Child(&m_doc.m_root, "c");
    const QPoint over = m_tree->viewport()->mapToGlobal(m_tree->visualRect(IndexOf(c)).center());
    m_doc.RelayDragOver(over);
    EXPECT_TRUE(IndexOf(c).data(CFolderTreeModel::DropHighlightRole).toBool());
    EXPECT_EQ(m_doc.RelayDrop(over), c);
    EXPECT_FALSE(IndexOf(c).data(CFolderTreeModel::DropHighlightRole).toBool());
    const QPoint outside = m_tree->viewport()->mapToGlobal(QPoint(5, m_tree->viewport()->height() - 2));
    EXPECT_EQ(m_doc.RelayDrop(outside), nullptr);
    // Without a tree among the views nothing is under any point.
    CKivDoc alone;
    EXPECT_EQ(alone.RelayDrop(over), nullptr);
}

TEST_F(LeftViewTest, ContextMenuIsAskedAtTheMouseOrForTheKeyAtTheSelectedLabel)
{
    // The pane only asks; the frame shows the menu (and routes its commands).
    QSignalSpy asked(m_tree, &CLeftView::ContextMenuRequested);
    CFolderNode* a = Child(&m_doc.m_root, "a");
    Select(a);
    const auto closePopup = [] { EXPECT_EQ(QApplication::activePopupWidget(), nullptr); };
    // The menu key: at the selected label.
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(1, 1), m_tree->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(m_tree, &key);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0][0].toUInt(), 131u);
    EXPECT_EQ(asked[0][1].toPoint(),
              m_tree->viewport()->mapToGlobal(m_tree->visualRect(IndexOf(a)).topLeft() + QPoint(4, 4)));
    closePopup();

    // A right click on empty space: at the mouse, the selection stays.
    const QPoint empty(m_tree->viewport()->width() - 3, m_tree->viewport()->height() - 3);
    ASSERT_FALSE(m_tree->indexAt(empty).isValid());
    QContextMenuEvent click(QContextMenuEvent::Mouse, empty, m_tree->viewport()->mapToGlobal(empty));
    QApplication::sendEvent(m_tree->viewport(), &click);
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[1][1].toPoint(), m_tree->viewport()->mapToGlobal(empty));
    EXPECT_EQ(m_doc.m_pCurFolder, a);
    closePopup();

    // A right click on another folder selects it, and the menu opens at the mouse.
    CFolderNode* c = Child(&m_doc.m_root, "c");
    const QPoint onC = m_tree->visualRect(IndexOf(c)).center();
    QContextMenuEvent onFolder(QContextMenuEvent::Mouse, onC, m_tree->viewport()->mapToGlobal(onC));
    QApplication::sendEvent(m_tree->viewport(), &onFolder);
    ASSERT_EQ(asked.size(), 3);
    EXPECT_EQ(asked[2][1].toPoint(), m_tree->viewport()->mapToGlobal(onC));
    EXPECT_EQ(m_doc.m_pCurFolder, c);
    closePopup();
}

TEST_F(LeftViewTest, ClicksNeverLeaveTheTreeWithoutASelectedFolder)
{
    CFolderNode* a = Child(&m_doc.m_root, "a");
    Select(a);
    const QPoint empty(m_tree->viewport()->width() - 3, m_tree->viewport()->height() - 3);
    ASSERT_FALSE(m_tree->indexAt(empty).isValid());
    QTest::mouseClick(m_tree->viewport(), Qt::LeftButton, Qt::NoModifier, empty);
    QTest::mouseClick(m_tree->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      m_tree->visualRect(IndexOf(a)).center());
    EXPECT_TRUE(m_tree->selectionModel()->isSelected(IndexOf(a)));
    EXPECT_EQ(m_doc.m_pCurFolder, a);
    // The tree's commands still act on it.
    ASSERT_TRUE(m_tree->OnCmdMsg(ID_ITEM_NEW));
    EXPECT_NE(Child(a, "Nuevo"), nullptr);
}

TEST_F(LeftViewTest, TabMovesTheFocusToTheList)
{
    m_tree->setFocus();
    if (!m_tree->hasFocus())
        GTEST_SKIP() << "the platform gives no keyboard focus";
    QTest::keyClick(m_tree, Qt::Key_Tab);
    EXPECT_TRUE(m_list->ItemView()->hasFocus());
    QTest::keyClick(m_list->ItemView(), Qt::Key_Tab);
    EXPECT_TRUE(m_tree->hasFocus());
}

TEST_F(LeftViewTest, CopyPutsTheSelectedFolderWithItsSubtreeOnTheClipboard)
{
    QGuiApplication::clipboard()->clear();
    Select(Child(&m_doc.m_root, "b"));
    ASSERT_TRUE(m_tree->OnCmdMsg(ID_EDIT_COPY));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(KivClipboard::OffersPayload(data));
    CFlatTree flat;
    ASSERT_EQ(KivClipboard::ReadPayload(data->data(KivClipboard::kFormatName), flat),
              KivClipboard::ReadStatus::ok);
    ASSERT_EQ(flat.m_flatFolders.size(), 2u);
    EXPECT_EQ(flat.m_flatFolders[0].name, "b");
    EXPECT_EQ(flat.m_flatFolders[0].depth, 1);
    EXPECT_EQ(flat.m_flatFolders[1].name, "b1");
    EXPECT_EQ(flat.m_flatFolders[1].depth, 2);
    EXPECT_EQ(flat.m_flatBookmarks.size(), 3u);
    // The tree has no update rule for copy and lists no cut.
    CCmdUI ui(ID_EDIT_COPY);
    EXPECT_TRUE(m_tree->OnUpdateCmdMsg(&ui));
    EXPECT_TRUE(ui.m_bEnabled);
    EXPECT_FALSE(m_tree->ListsCommand(ID_EDIT_CUT));
}

}  // namespace
