#include "LeftView.h"

#include "ViewSupport.h"
#include "app/Commands.h"
#include "framework/Ui.h"
#include "model/KivDoc.h"
#include "res/Strings.h"
#include "views/Clipboard.h"

#include <QKeyEvent>
#include <QMetaProperty>

CLeftView::CLeftView(CKivDoc& doc, QWidget* parent)
    : QTreeView(parent), m_doc(doc), m_model(doc)
{
    setObjectName(QStringLiteral("leftView"));
    setModel(&m_model);
    setHeaderHidden(true);
    // No expand buttons beside the three top-level items.
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setFrameShape(QFrame::StyledPanel);
    connect(this, &QWidget::customContextMenuRequested, this, [this] { ShowContextMenu(); });

    OnCommand(ID_ITEM_NEW, [this] { OnNewFolder(); });
    OnCommand(ID_ITEM_DELETE, [this] { OnDeleteFolder(); });
    OnCommand(ID_EDIT_LABEL, [this] { OnEditLabel(); });
    OnCommand(ID_EDIT_COPY, [this] { OnEditCopy(); });

    m_doc.AddView(this);
}

CLeftView::~CLeftView() { m_doc.RemoveView(this); }

// --- filling and hints ------------------------------------------------------------------

void CLeftView::OnInitialUpdate() { Fill(); }

void CLeftView::Fill()
{
    m_bFilling = true;
    m_model.Fill();
    const QModelIndex root = m_model.IndexOf(m_model.RootItem());
    selectionModel()->setCurrentIndex(root, QItemSelectionModel::ClearAndSelect);
    m_doc.m_pCurFolder = &m_doc.m_root;
    expand(root);
    OnUpdate(nullptr, HINT_REFRESH, nullptr);
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

void CLeftView::OnUpdate(CView*, int hint, void* object)
{
    RefreshImages();
    if (hint == HINT_SYNC_FOLDER) {
        auto* folder = static_cast<CFolderNode*>(object);
        if (Item* item = m_model.FindTreeItem(folder)) {
            m_model.SyncChildren(item, folder);
            expand(m_model.IndexOf(item));
        }
    } else if (hint == HINT_SELECT_FOLDER) {
        if (Item* item = m_model.FindTreeItem(static_cast<CFolderNode*>(object)))
            SelectItem(item);
    }
}

intptr_t CLeftView::OnRelay(unsigned message, const QPoint& screenPoint)
{
    switch (message) {
    case WM_TREE_QUERY:
        return 123;
    case WM_TREE_DRAGOVER: {
        const QModelIndex at = indexAt(viewport()->mapFromGlobal(screenPoint));
        m_model.SetDropHighlight(m_model.ItemOf(at));
        return 0;
    }
    case WM_TREE_DROP:
        m_model.SetDropHighlight(nullptr);
        return reinterpret_cast<intptr_t>(FolderAt(screenPoint));
    default:
        return 0;
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
        if (CUi::Get().MessageBox(KivStrings::Load(IDS_DELETE_NODE), QString(),
                                  CUi::MB_OKCANCEL, CUi::MB_ICONWARNING)
            != CUi::IDOK)
            return;
        m_doc.TrashChainBookmarks(f->m_pFirstChild);
        m_doc.TrashFolderBookmarks(f);
        m_doc.DeleteFolderChain(f->m_pFirstChild);
    }
    m_doc.DeleteFolder(f);
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
    m_doc.SetModifiedFlag();
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
    f->m_strName = text;
    m_doc.DetachFolder(f);
    m_doc.InsertFolder(p, f);
    m_model.RemoveItem(item);
    // Straight to this view: the list is not told.
    OnUpdate(nullptr, HINT_SYNC_FOLDER, p);
    if (Item* renamed = m_model.FindTreeItem(f)) {
        SelectItem(renamed);
    } else {
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
    }
    m_doc.SetModifiedFlag();
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

void CLeftView::ShowContextMenu()
{
    QPoint at(20, 30);
    if (const Item* item = SelectedItem()) {
        const QRect rect = visualRect(m_model.IndexOf(item));
        at = rect.topLeft() + QPoint(4, 4);
    }
    const QPoint global = viewport()->mapToGlobal(at);
    emit ContextMenuRequested(IDR_MENU_TREE, global);
    KivViewMenus::Popup(IDR_MENU_TREE, this, global);
}
