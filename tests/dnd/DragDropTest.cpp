#include "DndTestSupport.h"

#include "res/Commands.h"
#include "views/Clipboard.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>
#include <QScrollBar>
#include <QTimer>
#include <QSplitter>

namespace {

using namespace KivDndTest;

class RowDragTest : public DndFixture
{
protected:
    // Shows folder c and selects c1, c3 and c5.
    void SelectThreeRowsOfC()
    {
        ASSERT_TRUE(m_tree->SelectFolder(Folder("c")));
        ASSERT_EQ(ListNames(), (QStringList{"c1", "c2", "c3", "c4", "c5"}));
        m_list->SetAllSelected(false);
        auto* selection = m_list->ItemView()->selectionModel();
        for (int row : {0, 2, 4})
            selection->select(m_list->ListModel().index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        ASSERT_EQ(m_list->SelectedRows(), (std::vector<int>{0, 2, 4}));
    }
};

class RowDragCopyOrMove : public RowDragTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(RowDragCopyOrMove, RowsDroppedOnAFolderMoveThereOrAreCopiedWithCtrl)
{
    const bool copy = GetParam();
    SelectThreeRowsOfC();
    KivDrag::CRowDragData data(m_list);
    const QPoint at = PointOf(Folder("a"));
    const Qt::KeyboardModifiers mods = copy ? Qt::ControlModifier : Qt::NoModifier;
    ASSERT_TRUE(Enter(m_tree->viewport(), &data, at));
    // The cursor tells a copy from a move.
    EXPECT_EQ(Move(m_tree->viewport(), &data, at, Qt::CopyAction | Qt::MoveAction, mods),
              copy ? Qt::CopyAction : Qt::MoveAction);
    EXPECT_EQ(m_tree->TreeModel().DropHighlight(), ItemOf(Folder("a")));
    Drop(m_tree->viewport(), &data, at, Qt::CopyAction | Qt::MoveAction, mods);
    EXPECT_EQ(m_tree->TreeModel().DropHighlight(), nullptr);
    EXPECT_EQ(Names(Folder("a")), (QStringList{"a-one", "c1", "c3", "c5"}));
    EXPECT_TRUE(m_doc.IsModified());
    if (copy) {
        EXPECT_EQ(ListNames(), (QStringList{"c1", "c2", "c3", "c4", "c5"}));
    } else {
        EXPECT_EQ(ListNames(), (QStringList{"c2", "c4"}));
        EXPECT_EQ(Names(Folder("c")), (QStringList{"c2", "c4"}));
        // The row now where the first moved one was is selected.
        EXPECT_EQ(m_list->SelectedRows(), std::vector<int>{0});
    }
    // Nothing went to the trash.
    EXPECT_TRUE(m_doc.m_trash.m_aBookmarks.empty());
}

INSTANTIATE_TEST_SUITE_P(Ctrl, RowDragCopyOrMove, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Copy" : "Move"; });

TEST_F(RowDragTest, CtrlCountsOnlyAtTheRelease)
{
    SelectThreeRowsOfC();
    KivDrag::CRowDragData data(m_list);
    const QPoint at = PointOf(Folder("a"));
    ASSERT_TRUE(Enter(m_tree->viewport(), &data, at));
    Move(m_tree->viewport(), &data, at, Qt::CopyAction | Qt::MoveAction, Qt::ControlModifier);
    Drop(m_tree->viewport(), &data, at, Qt::CopyAction | Qt::MoveAction, Qt::NoModifier);
    EXPECT_EQ(ListNames(), (QStringList{"c2", "c4"}));
}

enum class Refused { currentFolder, checkFolder, emptySpace, outsideTree };

class RowDragRefused : public RowDragTest, public ::testing::WithParamInterface<Refused>
{
};

TEST_P(RowDragRefused, NothingChanges)
{
    SelectThreeRowsOfC();
    m_doc.SetModifiedFlag(false);
    KivDrag::CRowDragData data(m_list);
    QPoint at;
    QWidget* target = m_tree->viewport();
    switch (GetParam()) {
    case Refused::currentFolder:
        at = PointOf(Folder("c"));
        break;
    case Refused::checkFolder:
        at = PointOf(&m_doc.m_check);
        break;
    case Refused::emptySpace:
        at = EmptyPoint();
        break;
    case Refused::outsideTree:
        // The list itself does not take rows of this window.
        target = m_list->ItemView()->viewport();
        at = QPoint(20, 20);
        break;
    }
    DragAndDrop(target, &data, at);
    EXPECT_EQ(ListNames(), (QStringList{"c1", "c2", "c3", "c4", "c5"}));
    EXPECT_TRUE(m_doc.m_check.m_aBookmarks.empty());
    EXPECT_FALSE(m_doc.IsModified());
    EXPECT_TRUE(m_ui.m_messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Targets, RowDragRefused,
                         ::testing::Values(Refused::currentFolder, Refused::checkFolder,
                                           Refused::emptySpace, Refused::outsideTree));

TEST_F(RowDragTest, EmptySpaceShowsThatNothingCanBeDropped)
{
    SelectThreeRowsOfC();
    KivDrag::CRowDragData data(m_list);
    ASSERT_TRUE(Enter(m_tree->viewport(), &data, EmptyPoint()));
    EXPECT_EQ(Move(m_tree->viewport(), &data, EmptyPoint()), Qt::IgnoreAction);
    EXPECT_EQ(m_tree->TreeModel().DropHighlight(), nullptr);
}

TEST_F(RowDragTest, RowsDroppedOnTheTrashAreDeleted)
{
    SelectThreeRowsOfC();
    KivDrag::CRowDragData data(m_list);
    DragAndDrop(m_tree->viewport(), &data, PointOf(&m_doc.m_trash));
    EXPECT_EQ(ListNames(), (QStringList{"c2", "c4"}));
    EXPECT_EQ(Names(&m_doc.m_trash), (QStringList{"c1", "c3", "c5"}));
}

TEST_F(RowDragTest, AMoveByDragIsOneStepThatUndoesAndRedoesWhole)
{
    CUndoHistory history(m_doc);
    CloseLooseStepsLater(history, m_tree);
    SelectThreeRowsOfC();
    const std::vector<uint32_t> a = Folder("a")->m_aBookmarks;
    const std::vector<uint32_t> c = Folder("c")->m_aBookmarks;
    KivDrag::CRowDragData data(m_list);
    DragAndDrop(m_tree->viewport(), &data, PointOf(Folder("a")));
    ASSERT_EQ(Names(Folder("a")), (QStringList{"a-one", "c1", "c3", "c5"}));
    ASSERT_TRUE(LetTheLoopTurn(m_doc));
    ASSERT_EQ(history.Count(), 1u);
    EXPECT_EQ(history.UndoText(), QStringLiteral("Deshacer mover 3 marcadores"));

    history.Undo();
    EXPECT_EQ(Folder("a")->m_aBookmarks, a);
    EXPECT_EQ(Folder("c")->m_aBookmarks, c);
    for (uint32_t i : c)
        EXPECT_EQ(m_doc.Bookmark(i).m_nRefs, 1);
    EXPECT_FALSE(m_doc.IsModified()); // back to the contents as opened
    history.Redo();
    EXPECT_EQ(Names(Folder("a")), (QStringList{"a-one", "c1", "c3", "c5"}));
    EXPECT_EQ(Names(Folder("c")), (QStringList{"c2", "c4"}));
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_TRUE(m_doc.m_trash.m_aBookmarks.empty());
}

// --- folders ------------------------------------------------------------------------

struct FolderRefusal
{
    const char* dragged; // "/"-path below the root
    const char* target;  // "/"-path below the root, or "check" / "root"
    const char* message;
};

class FolderDragTest : public DndFixture
{
protected:
    CFolderNode* Path(const std::string& path)
    {
        if (path == "check")
            return &m_doc.m_check;
        if (path == "root")
            return &m_doc.m_root;
        if (path == "trash")
            return &m_doc.m_trash;
        CFolderNode* f = &m_doc.m_root;
        size_t from = 0;
        while (f && from <= path.size()) {
            const size_t slash = path.find('/', from);
            f = Child(f, path.substr(from, slash - from));
            if (slash == std::string::npos)
                break;
            from = slash + 1;
        }
        return f;
    }
    void DragFolder(CFolderNode* dragged, CFolderNode* target)
    {
        m_tree->expandAll();
        KivDrag::CFolderDragData data(dragged);
        DragAndDrop(m_tree->viewport(), &data, PointOf(target));
    }
};

class FolderDragRefused : public FolderDragTest, public ::testing::WithParamInterface<FolderRefusal>
{
};

TEST_P(FolderDragRefused, ShowsItsMessageAndChangesNothing)
{
    const FolderRefusal& p = GetParam();
    m_doc.SetModifiedFlag(false);
    CFolderNode* dragged = Path(p.dragged);
    CFolderNode* parentBefore = dragged->m_pParent;
    DragFolder(dragged, Path(p.target));
    ASSERT_EQ(m_ui.m_messages.size(), 1u);
    EXPECT_EQ(m_ui.m_messages[0].text, QString::fromLatin1(p.message));
    EXPECT_EQ(m_ui.m_messages[0].buttons, CUi::MB_OK);
    EXPECT_TRUE(m_ui.m_messages[0].caption.isEmpty());
    EXPECT_EQ(dragged->m_pParent, parentBefore);
    EXPECT_FALSE(m_doc.IsModified());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FolderDragRefused,
    ::testing::Values(FolderRefusal{"b", "b", "An folder can't be dropped onto itself"},
                      FolderRefusal{"b/b1", "b", "An folder can't be dropped onto its parent"},
                      FolderRefusal{"a", "root", "An folder can't be dropped onto its parent"},
                      FolderRefusal{"b", "check", "An folder can't be dropped onto Check folder"},
                      FolderRefusal{"b", "b/b1",
                                    "An folder can't be dropped onto one of its children"}));

TEST_F(FolderDragTest, AFolderMovesWithEverythingBelowIt)
{
    CFolderNode* b = Folder("b");
    DragFolder(b, Folder("a"));
    EXPECT_TRUE(m_ui.m_messages.empty());
    EXPECT_EQ(b->m_pParent, Folder("a"));
    EXPECT_EQ(Folder("b"), nullptr);
    EXPECT_EQ(Names(b), (QStringList{"b-one", "b-two"}));
    ASSERT_NE(Child(b, "b1"), nullptr);
    EXPECT_EQ(Names(Child(b, "b1")), QStringList{"shared"});
    EXPECT_TRUE(m_doc.m_trash.m_aBookmarks.empty());
    EXPECT_TRUE(m_doc.IsModified());
    // The tree follows: b with b1 below a, selected and shown in the list.
    CLeftView::Item* item = ItemOf(b);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->parent, ItemOf(Folder("a")));
    ASSERT_NE(ItemOf(Child(b, "b1")), nullptr);
    EXPECT_EQ(m_tree->SelectedFolder(), b);
    EXPECT_EQ(ListNames(), (QStringList{"b-one", "b-two"}));
    // And the move survives saving and loading.
    const QString path = m_dir.filePath(QStringLiteral("moved.kiv"));
    ASSERT_TRUE(m_doc.DoSave(path));
    CKivDoc loaded;
    ASSERT_TRUE(loaded.OpenDocumentFile(path));
    CFolderNode* a = Child(&loaded.m_root, "a");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(Child(a, "b"), nullptr);
    EXPECT_NE(Child(Child(a, "b"), "b1"), nullptr);
}

TEST_F(FolderDragTest, AFolderDragAndAnInPlaceRenameAreAStepEach)
{
    CUndoHistory history(m_doc);
    CloseLooseStepsLater(history, m_tree);
    CFolderNode* b = Folder("b");
    DragFolder(b, Folder("a"));
    ASSERT_TRUE(LetTheLoopTurn(m_doc));
    ASSERT_EQ(b->m_pParent, Folder("a"));
    EXPECT_EQ(history.UndoText(), QStringLiteral("Deshacer mover carpeta"));
    ASSERT_TRUE(m_tree->SelectFolder(b));
    QTest::keyClick(m_tree, Qt::Key_F2);
    auto* editor = m_tree->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText("0b");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the delegate commits after the key
    ASSERT_TRUE(LetTheLoopTurn(m_doc));
    ASSERT_EQ(b->m_strName, "0b");
    ASSERT_EQ(history.Count(), 2u);
    EXPECT_EQ(history.UndoText(), QStringLiteral("Deshacer renombrar carpeta"));

    history.Undo();
    EXPECT_EQ(b->m_strName, "b");
    EXPECT_EQ(b->m_pParent, Folder("a"));
    history.Undo();
    EXPECT_EQ(Folder("b"), b);
    EXPECT_EQ(Child(b, "b1")->m_pParent, b);
    EXPECT_FALSE(m_doc.IsModified());
    history.Redo();
    history.Redo();
    EXPECT_EQ(Child(Folder("a"), "0b"), b);
    EXPECT_EQ(Folder("a")->m_pFirstChild, b); // "0b" sorts first again
    EXPECT_TRUE(m_doc.IsModified());
}

TEST_F(FolderDragTest, AFolderDroppedOnTheTrashBecomesItsChild)
{
    CFolderNode* c = Folder("c");
    DragFolder(c, &m_doc.m_trash);
    EXPECT_TRUE(m_ui.m_messages.empty());
    EXPECT_EQ(c->m_pParent, &m_doc.m_trash);
    EXPECT_EQ(Names(c).size(), 5);
}

TEST_F(FolderDragTest, TopLevelItemsAndEmptySpaceGoNowhere)
{
    KivDrag::CFolderDragData root(&m_doc.m_root);
    DragAndDrop(m_tree->viewport(), &root, PointOf(Folder("a")));
    EXPECT_EQ(m_doc.m_root.m_pParent, nullptr);
    KivDrag::CFolderDragData a(Folder("a"));
    ASSERT_TRUE(Enter(m_tree->viewport(), &a, EmptyPoint()));
    // The "no" cursor over empty space, and a release there does nothing.
    EXPECT_EQ(Move(m_tree->viewport(), &a, EmptyPoint()), Qt::IgnoreAction);
    m_tree->DropFolder(nullptr, Folder("a"));
    EXPECT_EQ(Folder("a")->m_pParent, &m_doc.m_root);
    EXPECT_TRUE(m_ui.m_messages.empty());
}

// --- depth ------------------------------------------------------------------------------

// A chain d1/d2/.../d98 below the root: its last folder sits 98 levels deep.
class DepthTest : public FolderDragTest
{
protected:
    void BeforeViews() override
    {
        std::string path;
        for (int i = 1; i <= 98; ++i)
            path += (i > 1 ? "/d" : "d") + std::to_string(i);
        m_pDeepest = m_doc.WalkPath(path);
        ASSERT_EQ(CKivDoc::FolderDepth(m_pDeepest), 98);
    }
    CFolderNode* m_pDeepest = nullptr;
};

TEST_F(DepthTest, AMoveStopsAtTheDeepestLevelAFileKeeps)
{
    m_tree->expandAll();
    CLeftView::Item* deepest = ItemOf(m_pDeepest);
    ASSERT_NE(deepest, nullptr);
    // b has a subfolder: below d98 it would reach level 100.
    m_tree->DropFolder(deepest, Folder("b"));
    ASSERT_EQ(m_ui.m_messages.size(), 1u);
    EXPECT_EQ(m_ui.m_messages[0].text, KivStrings::Load(IDS_TOO_DEEP));
    EXPECT_EQ(Folder("b")->m_pParent, &m_doc.m_root);
    // a has none: level 99 is allowed, and it is still there after a reload.
    CFolderNode* a = Folder("a");
    m_tree->DropFolder(ItemOf(m_pDeepest), a);
    EXPECT_EQ(m_ui.m_messages.size(), 1u);
    EXPECT_EQ(a->m_pParent, m_pDeepest);
    const QString path = m_dir.filePath(QStringLiteral("deep.kiv"));
    ASSERT_TRUE(m_doc.DoSave(path));
    CKivDoc loaded;
    ASSERT_TRUE(loaded.OpenDocumentFile(path));
    CFolderNode* f = Child(&loaded.m_root, "d1");
    while (f && f->m_pFirstChild)
        f = f->m_pFirstChild;
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->m_strName, "a");
    EXPECT_EQ(CKivDoc::FolderDepth(f), 99);
}

TEST_F(DepthTest, NewFolderStopsAtTheDeepestLevelAFileKeeps)
{
    m_tree->expandAll();
    CFolderNode* d99 = m_doc.CreateFolder(m_pDeepest, "d99", false);
    m_tree->OnUpdate(nullptr, CHint{HINT_SYNC_FOLDER, m_pDeepest});
    // Below d98 a new folder sits at level 99: allowed.
    ASSERT_TRUE(m_tree->SelectFolder(m_pDeepest));
    m_tree->OnCmdMsg(ID_ITEM_NEW);
    EXPECT_TRUE(m_ui.m_messages.empty());
    // Below d99 it would sit at level 100: refused with the message, nothing created.
    m_tree->expandAll();
    ASSERT_TRUE(m_tree->SelectFolder(d99));
    m_tree->OnCmdMsg(ID_ITEM_NEW);
    ASSERT_EQ(m_ui.m_messages.size(), 1u);
    EXPECT_EQ(m_ui.m_messages[0].text, KivStrings::Load(IDS_TOO_DEEP));
    EXPECT_EQ(d99->m_pFirstChild, nullptr);
}

TEST_F(DepthTest, APasteStopsAtTheDeepestLevelAFileKeeps)
{
    const QByteArray payload = KivClipboard::CopyFolder(m_doc, Folder("b"));
    // b at 99 and b1 at 100: refused whole.
    const KivClipboard::CPasteResult refused
        = KivClipboard::PastePayload(m_doc, m_pDeepest, payload);
    EXPECT_EQ(refused.status, KivClipboard::CPasteResult::tooDeep);
    EXPECT_EQ(refused.messageId, static_cast<unsigned>(IDS_TOO_DEEP));
    EXPECT_EQ(m_pDeepest->m_pFirstChild, nullptr);
    // One level higher it fits.
    const KivClipboard::CPasteResult pasted
        = KivClipboard::PastePayload(m_doc, m_pDeepest->m_pParent, payload);
    EXPECT_EQ(pasted.status, KivClipboard::CPasteResult::pasted);
    ASSERT_NE(Child(m_pDeepest->m_pParent, "b"), nullptr);
    EXPECT_NE(Child(Child(m_pDeepest->m_pParent, "b"), "b1"), nullptr);
    // A copy of a root ("_root_") lands in the target itself: its subfolders count
    // from there. x/y from another collection fits below d97, not below d98.
    CKivDoc other;
    other.OnNewDocument();
    other.WalkPath("x/y");
    const QByteArray whole = KivClipboard::CopyFolder(other, &other.m_root);
    EXPECT_EQ(KivClipboard::PastePayload(m_doc, m_pDeepest, whole).status,
              KivClipboard::CPasteResult::tooDeep);
    EXPECT_EQ(KivClipboard::PastePayload(m_doc, m_pDeepest->m_pParent, whole).status,
              KivClipboard::CPasteResult::pasted);
    EXPECT_NE(Child(Child(m_pDeepest->m_pParent, "x"), "y"), nullptr);
}

// --- automatic scrolling and opening ----------------------------------------------------

class AutoStepTest : public DndFixture
{
protected:
    void BeforeViews() override
    {
        // Enough folders to scroll, one of them with a subfolder.
        for (int i = 0; i < 60; ++i)
            m_doc.CreateFolder(&m_doc.m_root, "f" + std::to_string(100 + i), false);
        m_doc.CreateFolder(m_doc.CreateFolder(&m_doc.m_root, "zz", false), "inner", false);
    }
    void SetUp() override
    {
        DndFixture::SetUp();
        m_panes->splitter->resize(500, 300);
        QApplication::processEvents();
        m_bar = m_tree->verticalScrollBar();
        ASSERT_GT(m_bar->maximum(), 5);
    }
    QPoint TopBand() { return QPoint(20, 5); }
    QScrollBar* m_bar = nullptr;
};

TEST_F(AutoStepTest, RestingNearTheTopScrollsAfter500msThenEvery200ms)
{
    m_bar->setValue(3);
    KivDrag::CFolderDragData data(Folder("a"));
    ASSERT_TRUE(Enter(m_tree->viewport(), &data, TopBand()));
    Move(m_tree->viewport(), &data, TopBand());
    ASSERT_TRUE(m_timer->IsActive());
    EXPECT_EQ(m_timer->m_nDelay, 500);
    EXPECT_EQ(m_bar->value(), 3);
    m_timer->Fire();
    EXPECT_EQ(m_bar->value(), 2);
    EXPECT_EQ(m_timer->m_nDelay, 200);
    m_timer->Fire();
    m_timer->Fire();
    EXPECT_EQ(m_bar->value(), 0);
    // At the top there is nothing more to scroll: the timer stops.
    m_timer->Fire();
    EXPECT_FALSE(m_timer->IsActive());
    Leave(m_tree->viewport());
}

TEST_F(AutoStepTest, RestingNearTheBottomScrollsDownAndAMoveRestartsTheWait)
{
    KivDrag::CRowDragData data(m_list);
    const QPoint bottom(20, m_tree->viewport()->height() - 3);
    ASSERT_TRUE(Enter(m_tree->viewport(), &data, bottom));
    Move(m_tree->viewport(), &data, bottom);
    m_timer->Fire();
    EXPECT_EQ(m_bar->value(), 1);
    Move(m_tree->viewport(), &data, bottom);
    EXPECT_EQ(m_timer->m_nDelay, 500);
    // Away from the edges and the collapsed folders, no timer runs.
    Move(m_tree->viewport(), &data, m_tree->viewport()->rect().center());
    EXPECT_FALSE(m_timer->IsActive());
    Leave(m_tree->viewport());
}

TEST_F(AutoStepTest, RestingOnACollapsedFolderWithSubfoldersOpensIt)
{
    CFolderNode* zz = Folder("zz");
    const QModelIndex at = m_tree->TreeModel().IndexOf(ItemOf(zz));
    m_tree->collapse(at);
    m_tree->scrollTo(at, QAbstractItemView::PositionAtCenter);
    const QPoint point = m_tree->visualRect(at).center();
    KivDrag::CFolderDragData data(Folder("a"));
    ASSERT_TRUE(Enter(m_tree->viewport(), &data, point));
    Move(m_tree->viewport(), &data, point);
    ASSERT_TRUE(m_timer->IsActive());
    EXPECT_EQ(m_timer->m_nDelay, 500);
    EXPECT_FALSE(m_tree->isExpanded(at));
    m_timer->Fire();
    EXPECT_TRUE(m_tree->isExpanded(at));
    EXPECT_FALSE(m_timer->IsActive());
    Leave(m_tree->viewport());
}

TEST_F(AutoStepTest, ADragFromAnotherProgramWaitsMoreThan1000msWithoutATimer)
{
    m_bar->setValue(5);
    const QPoint top = m_tree->viewport()->mapToGlobal(TopBand());
    m_tree->DragOver(top);
    EXPECT_FALSE(m_timer->IsActive());
    m_now += 1000;
    m_tree->DragOver(top);
    EXPECT_EQ(m_bar->value(), 5);
    m_now += 1;
    m_tree->DragOver(top);
    EXPECT_EQ(m_bar->value(), 4);
    // Then every 200 ms (more than).
    m_now += 200;
    m_tree->DragOver(top);
    EXPECT_EQ(m_bar->value(), 4);
    m_now += 1;
    m_tree->DragOver(top);
    EXPECT_EQ(m_bar->value(), 3);
    // Leaving the hot zone starts the 1000 ms over.
    m_tree->DragOver(m_tree->viewport()->mapToGlobal(m_tree->viewport()->rect().center()));
    m_now += 201;
    m_tree->DragOver(top);
    EXPECT_EQ(m_bar->value(), 3);
    EXPECT_FALSE(m_timer->IsActive());
    m_tree->DragLeave();
    // A new drag waits afresh, whatever the last one left.
    m_now += 5000;
    m_tree->DragOver(top);
    EXPECT_EQ(m_bar->value(), 3);
    m_tree->DragLeave();
    EXPECT_EQ(m_tree->TreeModel().DropHighlight(), nullptr);
}

} // namespace
