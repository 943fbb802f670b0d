#include "LeftView.h"

#include "ViewSupport.h"
#include "res/Commands.h"
#include "framework/Ui.h"
#include "model/KivDoc.h"
#include "res/Strings.h"
#include "formats/Favorites.h"
#include "formats/ItemDialog.h"
#include "views/Clipboard.h"
#include "views/KivView.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMetaProperty>
#include <QScrollBar>

namespace {

// Milliseconds on a clock that never goes back.
int64_t TickCount()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock.elapsed();
}

}  // namespace

CLeftView::CLeftView(CKivDoc& doc, QWidget* parent, CViewContext context)
    : QTreeView(parent)
    , m_doc(doc)
    , m_model(doc)
    , m_clock(TickCount)
    , m_dropTarget(this, std::move(context.openDocument))
{
    setObjectName(QStringLiteral("leftView"));
    setModel(&m_model);
    setHeaderHidden(true);
    // No expand buttons beside the three top-level items.
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    setFrameShape(QFrame::StyledPanel);
    // One line per scroll step of a drag.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    SetDragTimer(std::make_unique<CQtDragTimer>());

    OnCommand(ID_ITEM_NEW, [this] { OnNewFolder(); });
    OnCommand(ID_ITEM_DELETE, [this] { OnDeleteFolder(); });
    OnCommand(ID_EDIT_LABEL, [this] { OnEditLabel(); });
    OnCommand(ID_EDIT_COPY, [this] { OnEditCopy(); });

    m_doc.AddView(this);
}

CLeftView::~CLeftView() { m_doc.RemoveView(this); }

// --- filling and hints ------------------------------------------------------------------

void CLeftView::OnInitialUpdate()
{
    ++m_nFills;
    Fill();
}

void CLeftView::Fill()
{
    m_bFilling = true;
    m_model.Fill();
    const QModelIndex root = m_model.IndexOf(m_model.RootItem());
    selectionModel()->setCurrentIndex(root, QItemSelectionModel::ClearAndSelect);
    m_doc.m_pCurFolder = &m_doc.m_root;
    expand(root);
    OnUpdate(nullptr, CHint{HINT_REFRESH});
    m_bFilling = false;
}

void CLeftView::RefreshImages()
{
    m_model.SetImage(m_model.TrashItem(), m_doc.m_trash.m_aBookmarks.empty()
                                               ? KivImages::IMG_TRASH_EMPTY
                                               : KivImages::IMG_TRASH_FULL);
    m_model.SetImage(m_model.CheckItem(), m_doc.m_check.m_aBookmarks.empty()
                                               ? KivImages::IMG_CHECK_EMPTY
                                               : KivImages::IMG_CHECK_FULL);
}

void CLeftView::OnUpdate(CView*, const CHint& hint)
{
    RefreshImages();
    if (hint.code == HINT_SYNC_FOLDER) {
        if (Item* item = m_model.FindTreeItem(hint.folder)) {
            m_model.SyncChildren(item, hint.folder);
            expand(m_model.IndexOf(item));
        }
    } else if (hint.code == HINT_SELECT_FOLDER) {
        if (Item* item = m_model.FindTreeItem(hint.folder))
            SelectItem(item);
    }
}

CRelayAnswer CLeftView::OnRelay(unsigned message, const QPoint& screenPoint)
{
    switch (message) {
    case WM_TREE_QUERY:
        return {true, nullptr};
    case WM_TREE_DRAGOVER:
        TreeDragOver(viewport()->mapFromGlobal(screenPoint));
        return {true, nullptr};
    case WM_TREE_DROP:
        KillTimer();
        m_model.SetDropHighlight(nullptr);
        return {true, FolderAt(screenPoint)};
    default:
        return {};
    }
}

// --- selection ------------------------------------------------------------------------------

CLeftView::Item* CLeftView::SelectedItem() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? nullptr : m_model.ItemOf(selected.first());
}

CFolderNode* CLeftView::SelectedFolder() const
{
    const Item* item = SelectedItem();
    return item ? item->folder : nullptr;
}

CFolderNode* CLeftView::FolderAt(const QPoint& screenPoint) const
{
    const Item* item = m_model.ItemOf(indexAt(viewport()->mapFromGlobal(screenPoint)));
    return item ? item->folder : nullptr;
}

void CLeftView::SelectItem(Item* item)
{
    const QModelIndex at = m_model.IndexOf(item);
    if (at.isValid())
        scrollTo(at);
    selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
}

bool CLeftView::SelectFolder(const CFolderNode* folder)
{
    Item* item = m_model.FindTreeItem(folder);
    if (item)
        SelectItem(item);
    return item != nullptr;
}

std::vector<const CFolderNode*> CLeftView::ExpandedFolders() const
{
    std::vector<const CFolderNode*> open;
    std::vector<const Item*> pending{m_model.RootItem()};
    while (!pending.empty()) {
        const Item* item = pending.back();
        pending.pop_back();
        if (!item || !isExpanded(m_model.IndexOf(item)))
            continue;
        open.push_back(item->folder);
        for (const auto& child : item->children)
            pending.push_back(child.get());
    }
    return open;
}

void CLeftView::ExpandFolders(const std::vector<const CFolderNode*>& folders)
{
    for (const CFolderNode* folder : folders)
        if (Item* item = m_model.FindTreeItem(folder))
            expand(m_model.IndexOf(item));
}

void CLeftView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeView::currentChanged(current, previous);
    if (m_bFilling)
        return;
    // The selection follows the current item, also when the model moved it.
    if (current.isValid() && !selectionModel()->isSelected(current))
        selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
    const Item* item = m_model.ItemOf(current);
    m_doc.m_pCurFolder = item ? item->folder : nullptr;
    // Only the list rebuilds.
    m_doc.UpdateAllViews(this, HINT_REFRESH, nullptr);
}

// --- commands ----------------------------------------------------------------------------

void CLeftView::OnNewFolder()
{
    Item* selected = SelectedItem();
    if (!selected || selected == m_model.TrashItem() || selected == m_model.CheckItem())
        return;
    // A file keeps folders down to a fixed depth; a deeper one would be lost on reload.
    if (CKivDoc::FolderDepth(selected->folder) >= CKivDoc::kMaxDepth) {
        CUi::Get().MessageBox(KivStrings::Load(IDS_TOO_DEEP), QString(), CUi::MB_OK,
                              CUi::MB_ICONWARNING);
        return;
    }
    CFolderNode* folder = m_doc.CreateFolder(
        selected->folder, KivStrings::Load(IDS_NEW).toStdString(), false);
    // It shows first below its parent until the parent is re-synced.
    Item* item = m_model.InsertItem(selected, 0, folder);
    expand(m_model.IndexOf(selected));
    SelectItem(item);
    edit(m_model.IndexOf(item));
}

void CLeftView::OnEditLabel()
{
    if (Item* item = SelectedItem())
        edit(m_model.IndexOf(item));
}

void CLeftView::OnEditCopy()
{
    if (CFolderNode* folder = SelectedFolder())
        KivViewClipboard::Put(KivClipboard::CopyFolder(m_doc, folder));
}

void CLeftView::OnDeleteFolder()
{
    Item* item = SelectedItem();
    if (!item || m_model.IsTopLevel(item))
        return;
    CFolderNode* f = item->folder;
    if (!f->m_aBookmarks.empty() || f->m_pFirstChild) {
        const uint64_t fills = m_nFills;
        if (CUi::Get().MessageBox(KivStrings::Load(IDS_DELETE_NODE), QString(),
                                  CUi::MB_OKCANCEL, CUi::MB_ICONWARNING)
            != CUi::IDOK)
            return;
        // Only the folder that was asked about, if it is still there and selected.
        if (fills != m_nFills || SelectedItem() != item)
            return;
    }
    m_doc.DeleteFolderToTrash(f);
    // Move the selection to a neighbour before the item goes, so the current folder
    // never names the freed folder: the previous sibling, else the next, else the
    // parent.
    Item* parent = item->parent;
    const auto& siblings = parent->children;
    Item* neighbour = item->row > 0 ? siblings[static_cast<size_t>(item->row - 1)].get()
                    : static_cast<size_t>(item->row + 1) < siblings.size()
                        ? siblings[static_cast<size_t>(item->row + 1)].get()
                        : parent;
    const bool wasCurrent = m_model.IndexOf(item) == currentIndex();
    if (wasCurrent)
        SelectItem(neighbour);
    m_model.RemoveItem(item);
    m_doc.UpdateAllViews(nullptr, HINT_REFRESH, nullptr);
}

// --- label editing ----------------------------------------------------------------------

bool CLeftView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    // The flags refuse the three built-in items.
    if (!QTreeView::edit(index, trigger, event))
        return false;
    m_editIndex = index;
    m_bRenamePending = false;
    return true;
}

void CLeftView::commitData(QWidget* editor)
{
    // The model keeps no text: the rename below re-creates the item from the folder.
    const QMetaProperty user = editor->metaObject()->userProperty();
    m_strEditedText = user.isValid() ? user.read(editor).toString() : QString();
    m_bRenamePending = m_editIndex.isValid();
}

void CLeftView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTreeView::closeEditor(editor, hint);
    if (!m_bRenamePending)
        return; // cancelled
    m_bRenamePending = false;
    Item* item = m_model.ItemOf(m_editIndex);
    m_editIndex = QPersistentModelIndex();
    if (item && !m_model.IsTopLevel(item))
        Rename(item, m_strEditedText.toStdString());
}

void CLeftView::Rename(Item* item, const std::string& text)
{
    CFolderNode* f = item->folder;
    CFolderNode* p = f->m_pParent;
    if (!m_doc.RenameFolder(f, text))
        return;
    m_model.RemoveItem(item);
    // Straight to this view: the list is not told.
    OnUpdate(nullptr, CHint{HINT_SYNC_FOLDER, p});
    if (Item* renamed = m_model.FindTreeItem(f)) {
        SelectItem(renamed);
    } else {
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
    }
}

// --- keys and menus ----------------------------------------------------------------------

void CLeftView::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        switch (event->key()) {
        case Qt::Key_Delete:
            OnDeleteFolder();
            return;
        case Qt::Key_Insert:
            // The accelerator's command when no frame catches the key first.
            OnNewFolder();
            return;
        default:
            break;
        }
    }
    QTreeView::keyPressEvent(event);
}

bool CLeftView::focusNextPrevChild(bool next)
{
    if (next && KivPanes::ActivateNextPane(this))
        return true;
    return QTreeView::focusNextPrevChild(next);
}

void CLeftView::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    if (event->reason() != QContextMenuEvent::Mouse) {
        ShowContextMenu();
        return;
    }
    // A right click opens the menu at the mouse, for the folder under it; on empty
    // space the selected folder stays the one the commands act on.
    const QModelIndex under = indexAt(viewport()->mapFromGlobal(event->globalPos()));
    if (Item* item = m_model.ItemOf(under))
        SelectItem(item);
    ShowContextMenuAt(event->globalPos());
}

void CLeftView::ShowContextMenu()
{
    QPoint at(20, 30);
    if (const Item* item = SelectedItem()) {
        const QRect rect = visualRect(m_model.IndexOf(item));
        at = rect.topLeft() + QPoint(4, 4);
    }
    ShowContextMenuAt(viewport()->mapToGlobal(at));
}

void CLeftView::ShowContextMenuAt(const QPoint& global)
{
    emit ContextMenuRequested(IDR_MENU_TREE, global);
}

QItemSelectionModel::SelectionFlags CLeftView::selectionCommand(const QModelIndex& index,
                                                                const QEvent* event) const
{
    // The tree keeps a selected folder while it has a current one: a click on empty
    // space or a Ctrl+click on the selected folder leaves the selection as it is.
    const QItemSelectionModel::SelectionFlags flags = QTreeView::selectionCommand(index, event);
    if (!index.isValid() || (flags & QItemSelectionModel::Deselect)
        || (flags & QItemSelectionModel::Toggle))
        return QItemSelectionModel::NoUpdate;
    return flags;
}

// --- drags inside the window --------------------------------------------------------------

void CLeftView::SetDragTimer(std::unique_ptr<CDragTimer> timer)
{
    if (m_pTimer)
        m_pTimer->Kill();
    m_pTimer = std::move(timer);
    m_pTimer->m_fire = [this] { OnDragTimer(); };
}

void CLeftView::KillTimer() { m_pTimer->Kill(); }

bool CLeftView::InHotZone(const QPoint& point) const
{
    const int h = viewport()->height();
    if ((point.y() >= 0 && point.y() <= kScrollMargin)
        || (point.y() >= h - kScrollMargin && point.y() <= h))
        return true;
    const QModelIndex at = indexAt(point);
    return at.isValid() && m_model.rowCount(at) > 0 && !isExpanded(at);
}

bool CLeftView::TreeDragOver(const QPoint& point)
{
    KillTimer();
    m_lastDragPoint = point;
    m_model.SetDropHighlight(m_model.ItemOf(indexAt(point)));
    if (!InHotZone(point))
        return false;
    m_pTimer->Start(kFirstDelay);
    return true;
}

void CLeftView::OnDragTimer()
{
    // Further steps come faster than the first.
    m_pTimer->Kill();
    m_pTimer->Start(kRepeatDelay);
    DoAutoStep();
}

void CLeftView::DoAutoStep()
{
    const QPoint point = m_lastDragPoint;
    const int h = viewport()->height();
    QScrollBar* bar = verticalScrollBar();
    const int before = bar->value();
    if (point.y() >= 0 && point.y() <= kScrollMargin)
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (point.y() >= h - kScrollMargin && point.y() <= h)
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    if (bar->value() != before) {
        m_nStepDelay = kRepeatDelay;
        m_model.SetDropHighlight(m_model.ItemOf(indexAt(point)));
        return;
    }
    // Nothing (more) to scroll that way: open a collapsed folder under the pointer.
    KillTimer();
    const QModelIndex at = indexAt(point);
    if (at.isValid() && m_model.rowCount(at) > 0 && !isExpanded(at))
        expand(at);
}

void CLeftView::startDrag(Qt::DropActions)
{
    Item* item = m_model.ItemOf(currentIndex());
    // The three top-level items stay where they are.
    if (!item || m_model.IsTopLevel(item))
        return;
    const QModelIndex at = m_model.IndexOf(item);
    auto* drag = new QDrag(this);
    drag->setMimeData(new KivDrag::CFolderDragData(item->folder));
    const QRect rect = visualRect(at);
    drag->setPixmap(viewport()->grab(rect));
    drag->setHotSpot(viewport()->mapFromGlobal(QCursor::pos()) - rect.topLeft());
    m_bDragging = true;
    {
        CModalScope modal;
        drag->exec(Qt::MoveAction, Qt::MoveAction);
    }
    m_bDragging = false;
    EndDrag();
}

void CLeftView::EndDrag()
{
    KillTimer();
    m_model.SetDropHighlight(nullptr);
    m_dragKind = DragKind::none;
}

void CLeftView::dragEnterEvent(QDragEnterEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (KivDrag::RowData(data)) {
        m_dragKind = DragKind::rows;
    } else if (KivDrag::FolderData(data)) {
        m_dragKind = DragKind::folder;
    } else {
        m_dragKind = DragKind::external;
        m_bExternalFresh = true;
        m_dropTarget.HandleEvent(viewport(), event);
        return;
    }
    event->acceptProposedAction();
}

void CLeftView::dragMoveEvent(QDragMoveEvent* event)
{
    const QPoint point = event->position().toPoint();
    switch (m_dragKind) {
    case DragKind::external:
        m_dropTarget.HandleEvent(viewport(), event);
        return;
    case DragKind::rows:
        // The list's rows reach the tree through the document, as its relays do.
        m_doc.RelayDragOver(viewport()->mapToGlobal(point));
        break;
    case DragKind::folder:
        TreeDragOver(point);
        break;
    case DragKind::none:
        event->ignore();
        return;
    }
    // Over empty space nothing can be dropped; Ctrl makes a row drag a copy.
    if (!indexAt(point).isValid()) {
        event->ignore();
        return;
    }
    const bool copy = m_dragKind == DragKind::rows
                      && (event->modifiers() & Qt::ControlModifier)
                      && (event->possibleActions() & Qt::CopyAction);
    event->setDropAction(copy ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
}

void CLeftView::dragLeaveEvent(QDragLeaveEvent* event)
{
    if (m_dragKind == DragKind::external)
        m_dropTarget.HandleEvent(viewport(), event);
    EndDrag();
    event->accept();
}

void CLeftView::dropEvent(QDropEvent* event)
{
    const QPoint point = event->position().toPoint();
    const QMimeData* data = event->mimeData();
    if (const KivDrag::CRowDragData* rows = KivDrag::RowData(data)) {
        // Ctrl at the release alone decides between copy and move.
        const bool copy = event->modifiers() & Qt::ControlModifier;
        CFolderNode* folder = m_doc.RelayDrop(viewport()->mapToGlobal(point));
        EndDrag();
        event->setDropAction(copy ? Qt::CopyAction : Qt::MoveAction);
        event->accept();
        if (rows->Source())
            rows->Source()->MoveSelectionTo(folder, copy);
        return;
    }
    if (const KivDrag::CFolderDragData* folder = KivDrag::FolderData(data)) {
        Item* target = m_model.ItemOf(indexAt(point));
        EndDrag();
        event->setDropAction(Qt::MoveAction);
        event->accept();
        DropFolder(target, folder->Folder());
        return;
    }
    m_dropTarget.HandleEvent(viewport(), event);
    EndDrag();
}

void CLeftView::DropFolder(Item* target, CFolderNode* draggedFolder)
{
    KillTimer();
    m_model.SetDropHighlight(nullptr);
    Item* dragged = m_model.FindTreeItem(draggedFolder);
    if (!target || !dragged || m_model.IsTopLevel(dragged))
        return;
    unsigned refusal = 0;
    switch (m_doc.CheckFolderMove(draggedFolder, target->folder)) {
    case CKivDoc::FolderMove::ok:
        MoveFolder(target, dragged);
        return;
    case CKivDoc::FolderMove::notMovable: return;
    case CKivDoc::FolderMove::onItself: refusal = IDS_DROP_ON_ITSELF; break;
    case CKivDoc::FolderMove::onParent: refusal = IDS_DROP_ON_PARENT; break;
    case CKivDoc::FolderMove::onCheck: refusal = IDS_DROP_ON_CHECK; break;
    case CKivDoc::FolderMove::onChild: refusal = IDS_DROP_ON_CHILD; break;
    case CKivDoc::FolderMove::tooDeep:
        CUi::Get().MessageBox(KivStrings::Load(IDS_TOO_DEEP), QString(), CUi::MB_OK,
                              CUi::MB_ICONWARNING);
        return;
    }
    CUi::Get().MessageBox(KivStrings::Load(refusal), QString(), CUi::MB_OK);
}

void CLeftView::MoveFolder(Item* target, Item* dragged)
{
    CFolderNode* f = dragged->folder;
    CFolderNode* p = target->folder;
    if (!m_doc.MoveFolder(f, p))
        return;
    m_model.RemoveItem(dragged);
    OnUpdate(nullptr, CHint{HINT_SYNC_FOLDER, p});
    if (Item* moved = m_model.FindTreeItem(f))
        SelectItem(moved);
}

// --- drops from other programs --------------------------------------------------------

void CLeftView::DragOver(const QPoint& screenPoint)
{
    const bool started = TreeDragOver(viewport()->mapFromGlobal(screenPoint));
    const int64_t now = m_clock();
    // Each drag waits afresh, whatever an earlier one left behind.
    if (m_bExternalFresh || !started) {
        m_bExternalFresh = false;
        m_nStepTime = now;
        m_nStepDelay = 2 * kFirstDelay;
    }
    if (now - m_nStepTime > m_nStepDelay) {
        DoAutoStep();
        m_nStepTime = now;
    }
    // No timer runs during a drag from another program.
    KillTimer();
}

void CLeftView::DragLeave()
{
    KillTimer();
    m_model.SetDropHighlight(nullptr);
    m_bExternalFresh = true;
}

void CLeftView::Drop(const QPoint& screenPoint, const QString& text)
{
    m_bExternalFresh = true;
    CFolderNode* folder = OnRelay(WM_TREE_DROP, screenPoint).folder;
    if (folder) {
        std::string url;
        std::string name;
        bool haveUrl = false;
        if (text.right(4).compare(QLatin1String(".url"), Qt::CaseInsensitive) == 0) {
            haveUrl = ReadUrlShortcut(text, name, url);
        } else {
            url = text.toStdString();
            name = KivItem::NameFromUrl(url);
            haveUrl = true;
        }
        if (haveUrl && m_doc.AddBookmark(url.c_str(), name.c_str(), "", folder, false)) {
            RefreshImages();
            if (folder == m_doc.m_pCurFolder)
                m_doc.UpdateAllViews(this, HINT_REFRESH, nullptr);
        }
    }
    KillTimer();
}
