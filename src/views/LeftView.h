#pragma once

#include "DragDrop.h"
#include "DropTarget.h"
#include "FolderTreeModel.h"
#include "ViewContext.h"
#include "framework/CmdTarget.h"
#include "framework/Document.h"

#include <QPersistentModelIndex>
#include <QTreeView>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class CFolderNode;
class CKivDoc;

// The folder tree, left pane of the main window: "Escritorio" with its folders, then
// "Comprobar" and "Papelera". The selected folder is the document's current folder.
class CLeftView : public QTreeView, public CView, public CCmdTarget, public CDropSink
{
    Q_OBJECT

public:
    using Item = CFolderTreeModel::Item;

    CLeftView(CKivDoc& doc, QWidget* parent = nullptr, CViewContext context = {});
    ~CLeftView() override;

    using QTreeView::edit;

    // CView
    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, const CHint& hint) override;
    CRelayAnswer OnRelay(unsigned message, const QPoint& screenPoint) override;

    // Commands.
    void OnNewFolder();   // 32777
    void OnDeleteFolder(); // 32778 and the Delete key
    void OnEditLabel();   // 32782
    void OnEditCopy();    // 57634: the selected folder with everything below it

    CFolderTreeModel& TreeModel() { return m_model; }
    Item* SelectedItem() const;
    CFolderNode* SelectedFolder() const;
    // The folder of the item under a screen point, or null.
    CFolderNode* FolderAt(const QPoint& screenPoint) const;
    // Selects the item of a folder, making it current; false when it has none.
    bool SelectFolder(const CFolderNode* folder);
    // The folders whose items are open, and opening them again after a refill (those
    // still in the tree), so that a refill does not fold the tree up.
    std::vector<const CFolderNode*> ExpandedFolders() const;
    void ExpandFolders(const std::vector<const CFolderNode*>& folders);

    // Drags. Rows of the list and folders of this tree are dropped on tree folders;
    // resting near the top or bottom edge scrolls, resting on a collapsed folder
    // with subfolders opens it.
    // Moves a folder with its subtree below the target item's folder.
    virtual void MoveFolder(Item* target, Item* dragged);
    // Handles a folder dropped on `target` (null: empty space): refusals with their
    // messages, else the move.
    void DropFolder(Item* target, CFolderNode* dragged);
    // The tree's half of a drag over a viewport point: highlight, timer. True when
    // the point is in the hot zone (the timer was started).
    bool TreeDragOver(const QPoint& viewportPoint);
    bool InHotZone(const QPoint& viewportPoint) const;
    // One automatic step at the last drag position (scroll, else expand).
    void DoAutoStep();
    void OnDragTimer();

    // CDropSink: drops from other programs.
    void Drop(const QPoint& screenPoint, const QString& text) override;
    void DragOver(const QPoint& screenPoint) override;
    void DragLeave() override;

    // Tests replace the timer and the millisecond clock.
    void SetDragTimer(std::unique_ptr<CDragTimer> timer);
    void SetDragClock(std::function<int64_t()> clock) { m_clock = std::move(clock); }
    CDragTimer& DragTimer() { return *m_pTimer; }
    bool IsDragging() const { return m_bDragging; }
    CExternalDropTarget& DropTarget() { return m_dropTarget; }

    static constexpr int kFirstDelay = 500;
    static constexpr int kRepeatDelay = 200;
    static constexpr int kScrollMargin = 10;

signals:
    // The tree asks for context menu `menuId` (131) at a screen position; the frame
    // shows it so that the chosen command is routed like a main-menu command.
    void ContextMenuRequested(unsigned menuId, const QPoint& globalPos);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    void Fill();
    void RefreshImages();
    void Rename(Item* item, const std::string& text);
    void SelectItem(Item* item);
    void ShowContextMenu();
    void ShowContextMenuAt(const QPoint& global);

    CKivDoc& m_doc;
    CFolderTreeModel m_model;
    bool m_bFilling = false;
    uint64_t m_nFills = 0; // fills with new content, compared across modal loops
    QPersistentModelIndex m_editIndex;   // the item whose label is being edited
    bool m_bRenamePending = false;
    QString m_strEditedText;

    enum class DragKind { none, rows, folder, external };
    void KillTimer();
    void EndDrag();

    bool m_bDragging = false;           // a folder drag started here is running
    DragKind m_dragKind = DragKind::none;
    QPoint m_lastDragPoint;             // viewport point of the last drag move
    std::unique_ptr<CDragTimer> m_pTimer;
    std::function<int64_t()> m_clock;
    int64_t m_nStepTime = 0;
    int64_t m_nStepDelay = 2 * kFirstDelay;
    bool m_bExternalFresh = true;       // the next external move starts the wait afresh
    CExternalDropTarget m_dropTarget;
};
