#include "KivView.h"

#include "ViewSupport.h"
#include "res/Commands.h"
#include "formats/ItemDialog.h"
#include "framework/Profile.h"
#include "framework/TextRules.h"
#include "framework/Ui.h"
#include "model/KivDoc.h"
#include "res/Strings.h"
#include "formats/Favorites.h"
#include "views/Clipboard.h"
#include "views/DragDrop.h"

#include <QDrag>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QStackedLayout>
#include <QTreeView>

namespace {

const char* const kWidthEntries[CBookmarkListModel::COL_COUNT] = {"cxC0", "cxC1", "cxC2"};
const int kDefaultWidths[CBookmarkListModel::COL_COUNT] = {160, 200, 200};
// Beyond this many separate runs of deleted rows the list is rebuilt in one pass.
constexpr size_t kRunsRemovedOneByOne = 16;

// The two ways of showing the rows; both start their drags through the list view.
template<class Base>
class CRowView : public Base
{
public:
    CRowView(CKivView* owner) : Base(owner), m_pOwner(owner) {}

protected:
    void startDrag(Qt::DropActions) override { m_pOwner->BeginRowDrag(this); }

private:
    CKivView* m_pOwner;
};

}  // namespace

CKivView::CKivView(CKivDoc& doc, QWidget* parent, CViewContext context)
    : QWidget(parent)
    , m_openUrl(std::move(context.openUrl))
    , m_doc(doc)
    , m_settings(context.settings ? *context.settings : m_defaultSettings)
    , m_model(doc)
    , m_dropTarget(this, std::move(context.openDocument))
{
    setObjectName(QStringLiteral("kivView"));

    m_pDetails = new CRowView<QTreeView>(this);
    m_pDetails->setObjectName(QStringLiteral("listDetails"));
    m_pDetails->setModel(&m_model);
    m_pDetails->setRootIsDecorated(false);
    m_pDetails->setItemsExpandable(false);
    m_pDetails->setUniformRowHeights(true);
    m_pDetails->setAllColumnsShowFocus(true);
    m_pDetails->setSortingEnabled(false);
    m_pDetails->header()->setSectionsClickable(false);
    m_pDetails->header()->setSectionsMovable(false);
    m_pDetails->header()->setStretchLastSection(false);
    m_pDetails->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_pSelection = m_pDetails->selectionModel();

    m_pIcons = new CRowView<QListView>(this);
    m_pIcons->setObjectName(QStringLiteral("listIcons"));
    m_pIcons->setModel(&m_model);
    m_pIcons->setSelectionModel(m_pSelection);
    m_pIcons->setModelColumn(CBookmarkListModel::COL_NAME);
    m_pIcons->setUniformItemSizes(true);
    m_pIcons->setMovement(QListView::Static);
    m_pIcons->setResizeMode(QListView::Adjust);
    m_pIcons->setLayoutMode(QListView::Batched);

    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(m_pDetails),
                                    static_cast<QAbstractItemView*>(m_pIcons)}) {
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        // Context menu events reach eventFilter, which knows mouse from keyboard.
        view->setContextMenuPolicy(Qt::DefaultContextMenu);
        view->installEventFilter(this);
        view->setDragEnabled(true);
        view->setAcceptDrops(true);
        view->viewport()->setAcceptDrops(true);
        view->viewport()->installEventFilter(this);
        connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& at) {
            if (at.isValid())
                OpenRow(at.row(), NewWindowSetting());
        });
    }
    for (int c = 0; c < CBookmarkListModel::COL_COUNT; ++c)
        m_pDetails->header()->resizeSection(c, kDefaultWidths[c]);

    m_pStack = new QStackedLayout(this);
    m_pStack->setContentsMargins(0, 0, 0, 0);
    m_pStack->addWidget(m_pDetails);
    m_pStack->addWidget(m_pIcons);

    m_nStyle = m_settings.listStyle & 3;
    ApplyStyle();

    OnCommand(ID_ITEM_NEW, [this] { OnNewItem(); });
    OnCommand(ID_ITEM_DELETE, [this] { OnDeleteItems(); });
    OnCommand(ID_ITEM_EDIT, [this] { OnEditItem(); });
    OnCommand(ID_ITEM_OPEN, [this] { OpenSelected(false); });
    OnCommand(ID_ITEM_OPEN_NEW_WINDOW, [this] { OpenSelected(true); });
    OnCommand(ID_EDIT_SELECT_ALL, [this] { OnSelectAll(); });
    OnCommand(ID_EDIT_COPY, [this] { OnEditCopy(); });
    OnCommand(ID_EDIT_CUT, [this] { OnEditCut(); });
    const auto anySelected = [this](CCmdUI* ui) { ui->Enable(m_pSelection->hasSelection()); };
    CCmdTarget::OnUpdate(ID_ITEM_DELETE, anySelected);
    CCmdTarget::OnUpdate(ID_ITEM_OPEN, anySelected);
    CCmdTarget::OnUpdate(ID_ITEM_OPEN_NEW_WINDOW, anySelected);
    CCmdTarget::OnUpdate(ID_EDIT_COPY, anySelected);
    CCmdTarget::OnUpdate(ID_EDIT_CUT, anySelected);
    CCmdTarget::OnUpdate(ID_ITEM_EDIT, [this](CCmdUI* ui) { ui->Enable(SelectedRows().size() == 1); });
    CCmdTarget::OnUpdate(ID_EDIT_SELECT_ALL, [this](CCmdUI* ui) { ui->Enable(RowCount() > 0); });

    m_doc.AddView(this);
}

CKivView::~CKivView()
{
    m_doc.RemoveView(this);
    m_settings.listStyle = m_nStyle;
    if (CProfile* profile = m_settings.profile)
        for (int c = 0; c < CBookmarkListModel::COL_COUNT; ++c)
            profile->WriteProfileInt(QStringLiteral("WndSize"),
                                     QString::fromLatin1(kWidthEntries[c]),
                                     m_pDetails->header()->sectionSize(c));
}

// --- style ------------------------------------------------------------------------------

void CKivView::SetListStyle(int style)
{
    style &= 3;
    if (style == m_nStyle)
        return;
    m_nStyle = style;
    ApplyStyle();
}

void CKivView::ApplyStyle()
{
    const bool hadFocus = ItemView()->hasFocus();
    if (m_nStyle == LVS_REPORT) {
        m_pStack->setCurrentWidget(m_pDetails);
    } else {
        switch (m_nStyle) {
        case LVS_ICON:
            m_pIcons->setViewMode(QListView::IconMode);
            m_pIcons->setIconSize(QSize(24, 24));
            m_pIcons->setFlow(QListView::LeftToRight);
            m_pIcons->setWrapping(true);
            m_pIcons->setWordWrap(true);
            m_pIcons->setGridSize(QSize(96, 64));
            break;
        case LVS_SMALLICON:
            m_pIcons->setViewMode(QListView::ListMode);
            m_pIcons->setIconSize(QSize(16, 16));
            m_pIcons->setFlow(QListView::LeftToRight);
            m_pIcons->setWrapping(true);
            m_pIcons->setWordWrap(false);
            m_pIcons->setGridSize(QSize(160, 20));
            break;
        default: // LVS_LIST
            m_pIcons->setViewMode(QListView::ListMode);
            m_pIcons->setIconSize(QSize(16, 16));
            m_pIcons->setFlow(QListView::TopToBottom);
            m_pIcons->setWrapping(true);
            m_pIcons->setWordWrap(false);
            m_pIcons->setGridSize(QSize());
            break;
        }
        m_pIcons->setMovement(QListView::Static);
        // Fixed places turn the list's own drags and drops off; rows still drag to
        // the tree and other programs still drop here.
        m_pIcons->setDragEnabled(true);
        m_pIcons->viewport()->setAcceptDrops(true);
        m_pStack->setCurrentWidget(m_pIcons);
    }
    setFocusProxy(ItemView());
    if (hadFocus)
        ItemView()->setFocus();
}

void CKivView::Arrange()
{
    if (m_nStyle == LVS_ICON || m_nStyle == LVS_SMALLICON)
        m_pIcons->doItemsLayout();
}

QAbstractItemView* CKivView::ItemView() const
{
    if (m_nStyle == LVS_REPORT)
        return m_pDetails;
    return m_pIcons;
}

// --- updates --------------------------------------------------------------------------

void CKivView::OnInitialUpdate()
{
    ++m_nFills;
    if (!m_bColumnsMade) {
        m_bColumnsMade = true;
        if (m_settings.keepWndSize && m_settings.profile) {
            const CProfile& profile = *m_settings.profile;
            for (int c = 0; c < CBookmarkListModel::COL_COUNT; ++c) {
                const int stored = profile.GetProfileInt(QStringLiteral("WndSize"),
                                                         QString::fromLatin1(kWidthEntries[c]),
                                                         kDefaultWidths[c]);
                m_pDetails->header()->resizeSection(c, stored & 0xFFFF);
            }
        }
    }
    OnUpdate(nullptr, CHint{HINT_REFRESH});
}

void CKivView::OnUpdate(CView*, const CHint& hint)
{
    if (hint.code >= HINT_SYNC_FOLDER)
        return;
    if (hint.code == HINT_SELECT_ROW) {
        const int position = hint.row;
        const CFolderNode* folder = m_doc.m_pCurFolder;
        if (position >= 0 && folder
            && static_cast<size_t>(position) < folder->m_aBookmarks.size()) {
            ItemView()->setFocus();
            SelectRow(position);
        }
    } else {
        Rebuild();
    }
    ShowItemCount();
}

void CKivView::Rebuild() { m_model.Rebuild(m_doc.m_pCurFolder); }

int CKivView::RowCount() const { return m_model.rowCount(); }

void CKivView::ShowItemCount() { emit ItemCountChanged(RowCount()); }

// --- rows and selection ------------------------------------------------------------------

void CKivView::InsertRow(int position, uint32_t index) { m_model.InsertRow(position, index); }

std::vector<int> CKivView::SelectedRows() const
{
    std::vector<int> rows;
    for (const QItemSelectionRange& range : m_pSelection->selection())
        for (int r = range.top(); r <= range.bottom(); ++r)
            rows.push_back(r);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

std::vector<uint32_t> CKivView::SelectedBookmarks() const
{
    std::vector<uint32_t> bookmarks;
    for (int row : SelectedRows())
        bookmarks.push_back(m_model.IndexAt(row));
    return bookmarks;
}

void CKivView::SelectBookmarks(const std::vector<uint32_t>& bookmarks)
{
    std::vector<uint32_t> wanted(bookmarks);
    std::sort(wanted.begin(), wanted.end());
    // Runs of rows as ranges: one selection change however many rows come back.
    QItemSelection selection;
    int first = -1;
    const int n = RowCount();
    const int lastColumn = CBookmarkListModel::COL_COUNT - 1;
    for (int row = 0; row <= n; ++row) {
        const bool in = row < n && std::binary_search(wanted.begin(), wanted.end(), m_model.IndexAt(row));
        if (in && first < 0)
            first = row;
        if (!in && first >= 0) {
            selection.select(m_model.index(first, 0), m_model.index(row - 1, lastColumn));
            first = -1;
        }
    }
    m_pSelection->clearSelection();
    if (selection.isEmpty())
        return;
    const QModelIndex current = selection.first().topLeft();
    m_pSelection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    m_pSelection->select(selection, QItemSelectionModel::Select);
    ItemView()->scrollTo(current);
}

void CKivView::SelectRow(int position)
{
    if (position < 0 || position >= RowCount())
        return;
    SetAllSelected(false);
    const QModelIndex at = m_model.index(position, 0);
    m_pSelection->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect
                                          | QItemSelectionModel::Rows);
    ItemView()->scrollTo(at);
}

void CKivView::SetAllSelected(bool select)
{
    // Commands go to the view that has the focus.
    ItemView()->setFocus();
    if (!select) {
        m_pSelection->clearSelection();
        return;
    }
    const int n = RowCount();
    if (n > 0)
        m_pSelection->select(QItemSelection(m_model.index(0, 0),
                                            m_model.index(n - 1, CBookmarkListModel::COL_COUNT - 1)),
                             QItemSelectionModel::Select);
}

void CKivView::OnSelectAll() { SetAllSelected(true); }

void CKivView::DeleteRows(const std::vector<int>& rows)
{
    // Many scattered rows: one pass (removing run by run would move the rows after
    // each run once per run).
    size_t runs = 0;
    for (size_t k = 0; k < rows.size(); ++k)
        runs += k == 0 || rows[k - 1] != rows[k] - 1;
    if (runs > kRunsRemovedOneByOne) {
        m_model.RemoveRowSet(rows);
        return;
    }
    // Highest first, a run of neighbours at a time.
    size_t k = rows.size();
    while (k > 0) {
        const int last = rows[k - 1];
        int first = last;
        --k;
        while (k > 0 && rows[k - 1] == first - 1) {
            first = rows[k - 1];
            --k;
        }
        m_model.RemoveRows(first, last);
    }
}

// --- commands ----------------------------------------------------------------------------

bool CKivView::NewWindowSetting() const { return m_settings.newWindow; }

void CKivView::OnNewItem()
{
    CFolderNode* folder = m_doc.m_pCurFolder;
    // With no folder shown there is nowhere to list the bookmark.
    if (!folder)
        return;
    CItemDlg dlg(this);
    dlg.m_strUrl = KivItem::UrlFromClipboard();
    dlg.m_strName = KivItem::NameFromUrl(dlg.m_strUrl);
    const uint64_t fills = m_nFills;
    // Only into the folder the dialog was opened for.
    if (dlg.DoModal() == CUi::IDOK && fills == m_nFills && m_doc.m_pCurFolder == folder)
        AddAndShow(dlg.m_strUrl, dlg.m_strName, dlg.m_strComment);
}

bool CKivView::AddAndShow(const std::string& url, const std::string& name,
                          const std::string& comment)
{
    CFolderNode* folder = m_doc.m_pCurFolder;
    uint32_t index = 0;
    int position = 0;
    if (!folder
        || !m_doc.AddBookmark(url.c_str(), name.c_str(), comment.c_str(), folder, false, &index,
                              &position))
        return false;
    InsertRow(position, index);
    SelectRow(position);
    // The tree's trash and Check pictures may change; this list is already right.
    m_doc.UpdateAllViews(this, HINT_REFRESH, nullptr);
    ShowItemCount();
    return true;
}

// --- drags -----------------------------------------------------------------------------

void CKivView::BeginRowDrag(QAbstractItemView* view)
{
    const std::vector<int> rows = SelectedRows();
    if (rows.empty() || m_bDragging)
        return;
    const QModelIndex pressed = view->currentIndex();
    const int shown = pressed.isValid() && m_pSelection->isRowSelected(pressed.row())
                          ? pressed.row()
                          : rows.front();
    auto* drag = new QDrag(view);
    drag->setMimeData(new KivDrag::CRowDragData(this));
    const QRect rect = view->visualRect(m_model.index(shown, 0));
    drag->setPixmap(view->viewport()->grab(rect));
    drag->setHotSpot(QPoint(0, 0));
    m_bDragging = true;
    {
        CModalScope modal;
        drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
    }
    m_bDragging = false;
}

void CKivView::Drop(const QPoint&, const QString& text)
{
    if (!m_doc.m_pCurFolder)
        return;
    if (text.right(4).compare(QLatin1String(".url"), Qt::CaseInsensitive) == 0) {
        std::string name;
        std::string url;
        if (ReadUrlShortcut(text, name, url))
            AddAndShow(url, name, std::string());
        return;
    }
    CItemDlg dlg(this);
    dlg.m_strUrl = text.toStdString();
    dlg.m_strName = KivItem::NameFromUrl(dlg.m_strUrl);
    const CFolderNode* folder = m_doc.m_pCurFolder;
    const uint64_t fills = m_nFills;
    if (dlg.DoModal() == CUi::IDOK && fills == m_nFills && m_doc.m_pCurFolder == folder)
        AddAndShow(dlg.m_strUrl, dlg.m_strName, dlg.m_strComment);
}

void CKivView::OnEditItem()
{
    const std::vector<int> rows = SelectedRows();
    CFolderNode* folder = m_doc.m_pCurFolder;
    if (rows.empty() || !folder)
        return;
    const int row = rows.front();
    const uint32_t b = m_model.IndexAt(row);
    CItemDlg dlg(this);
    dlg.m_strName = m_doc.Bookmark(b).m_strName;
    dlg.m_strUrl = m_doc.Bookmark(b).m_strUrl;
    dlg.m_strComment = m_doc.Bookmark(b).m_strComment;
    const uint64_t fills = m_nFills;
    if (dlg.DoModal() != CUi::IDOK)
        return;
    // The row and the bookmark are taken again: while the dialog was open the
    // content may have been replaced or the list rebuilt.
    if (fills != m_nFills || m_doc.m_pCurFolder != folder || row >= m_model.rowCount()
        || m_model.IndexAt(row) != b || b >= m_doc.BookmarkCount())
        return;
    const int position = m_doc.EditBookmark(b, dlg.m_strName, dlg.m_strUrl, dlg.m_strComment, folder);
    if (position < 0) {
        m_model.RowChanged(row);
        return;
    }
    // The new name gave it a new place in this folder.
    m_model.RemoveRows(row, row);
    InsertRow(position, b);
    SelectRow(position);
    ShowItemCount();
}

void CKivView::OnDeleteItems() { MoveSelectionTo(&m_doc.m_trash, false); }

void CKivView::OnEditCopy()
{
    std::vector<uint32_t> indexes;
    for (int row : SelectedRows())
        indexes.push_back(m_model.IndexAt(row));
    if (!indexes.empty())
        KivViewClipboard::Put(KivClipboard::CopyBookmarks(m_doc, indexes),
                              KivClipboard::BookmarkUrls(m_doc, indexes));
}

void CKivView::OnEditCut()
{
    // Copied now, gone into the trash at once (not when pasted).
    OnEditCopy();
    OnDeleteItems();
}

void CKivView::MoveSelectionTo(CFolderNode* folder, bool copy)
{
    CFolderNode* current = m_doc.m_pCurFolder;
    if (!folder || !current || folder == current || folder == &m_doc.m_check)
        return;
    const std::vector<int> rows = SelectedRows();
    std::vector<uint32_t> indexes;
    indexes.reserve(rows.size());
    for (int row : rows)
        indexes.push_back(m_model.IndexAt(row));
    // One pass over each folder's list, however many rows are selected.
    m_doc.MoveOrCopyBookmarks(current, folder, indexes, copy);
    if (!rows.empty()) {
        m_doc.UpdateAllViews(this, HINT_REFRESH, nullptr);
        if (!copy)
            DeleteRows(rows);
    }
    if (!copy) {
        const int first = rows.empty() ? -1 : rows.front();
        const int n = RowCount();
        if (n > 0)
            SelectRow(std::clamp(first, 0, n - 1));
        ShowItemCount();
    }
}

void CKivView::OpenRow(int row, bool newWindow)
{
    if (row < 0 || row >= RowCount())
        return;
    const uint32_t i = m_model.IndexAt(row);
    if (i < m_doc.BookmarkCount() && m_openUrl)
        m_openUrl(m_doc.Bookmark(i).m_strUrl, newWindow);
}

void CKivView::OpenSelected(bool newWindow)
{
    const std::vector<int> rows = SelectedRows();
    if (!rows.empty())
        OpenRow(rows.front(), newWindow);
}

// --- keys and menus ----------------------------------------------------------------------

bool CKivView::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
        if (watched == m_pDetails->viewport() || watched == m_pIcons->viewport()) {
            auto* viewport = static_cast<QWidget*>(watched);
            // Rows and folders of this window are dropped on the tree, not here.
            if (event->type() != QEvent::DragLeave
                && KivDrag::IsInternal(static_cast<QDropEvent*>(event)->mimeData())) {
                event->ignore();
                return true;
            }
            return m_dropTarget.HandleEvent(viewport, event);
        }
        break;
    case QEvent::ContextMenu:
        for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(m_pDetails),
                                        static_cast<QAbstractItemView*>(m_pIcons)}) {
            if (watched != view && watched != view->viewport())
                continue;
            const auto* menu = static_cast<QContextMenuEvent*>(event);
            ShowContextMenu(view, menu->globalPos(), menu->reason() == QContextMenuEvent::Mouse);
            return true;
        }
        break;
    default:
        break;
    }
    if (event->type() != QEvent::KeyPress || (watched != m_pDetails && watched != m_pIcons))
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (mods == Qt::NoModifier) {
            OpenSelected(NewWindowSetting());
            return true;
        }
        if (mods == Qt::AltModifier) {
            OnEditItem();
            return true;
        }
        break;
    case Qt::Key_Delete:
        if (mods == Qt::NoModifier) {
            // The key skips the command's update rule.
            OnDeleteItems();
            return true;
        }
        break;
    case Qt::Key_Insert:
        if (mods == Qt::NoModifier) {
            OnNewItem();
            return true;
        }
        break;
    case Qt::Key_Tab:
        if (mods == Qt::NoModifier && KivPanes::ActivateNextPane(this))
            return true;
        break;
    case Qt::Key_A:
        if (mods == Qt::ControlModifier) {
            OnSelectAll();
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void CKivView::ShowContextMenu(QAbstractItemView* view, const QPoint& globalPos, bool atMouse)
{
    // A right click opens the menu where the mouse is; the menu key opens it at the
    // first selected row, or where the request came from when none is selected.
    QPoint global = globalPos;
    const std::vector<int> rows = SelectedRows();
    if (!atMouse && !rows.empty()) {
        const QRect rect = view->visualRect(m_model.index(rows.front(), 0));
        global = view->viewport()->mapToGlobal(rect.topLeft() + QPoint(4, 4));
    }
    emit ContextMenuRequested(IDR_MENU_LIST, global);
}
