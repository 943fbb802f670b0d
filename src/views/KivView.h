#pragma once

#include "BookmarkListModel.h"
#include "DropTarget.h"
#include "ViewContext.h"
#include "framework/CmdTarget.h"
#include "framework/Document.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class CFolderNode;
class CKivDoc;
class QAbstractItemView;
class QItemSelectionModel;
class QListView;
class QStackedLayout;
class QTreeView;

// The bookmark list, right pane of the main window: the bookmarks of the current
// folder in the folder's order, in one of four display styles (0 icons, 1 details,
// 2 small icons, 3 list). Details show the columns "Nombre", "Url", "Comentario".
class CKivView : public QWidget, public CView, public CCmdTarget, public CDropSink
{
    Q_OBJECT

public:
    CKivView(CKivDoc& doc, QWidget* parent = nullptr, CViewContext context = {});
    // Gives the display style back to the settings and stores the three column
    // widths into "WndSize".
    ~CKivView() override;

    // CView
    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, const CHint& hint) override;

    // Commands.
    void OnNewItem();       // 32777 and Insert
    void OnDeleteItems();   // 32778 and the Delete key
    void OnEditItem();      // 32779
    void OnSelectAll();     // 57642
    void OnEditCopy();      // 57634
    void OnEditCut();       // 57635

    // Operations used by other parts of the window.
    void InsertRow(int position, uint32_t index);
    void SelectRow(int position);
    void SetAllSelected(bool select);
    void MoveSelectionTo(CFolderNode* folder, bool copy);
    void OpenSelected(bool newWindow);

    // Display style, as LVS_ICON / LVS_REPORT / LVS_SMALLICON / LVS_LIST.
    int GetListStyle() const { return m_nStyle; }
    void SetListStyle(int style);
    // Lines the icons up again (icon styles only).
    void Arrange();

    int RowCount() const;
    // The selected rows, ascending.
    std::vector<int> SelectedRows() const;
    // The bookmarks of the selected rows, and the rows of those still listed
    // selected again (the first of them current).
    std::vector<uint32_t> SelectedBookmarks() const;
    void SelectBookmarks(const std::vector<uint32_t>& bookmarks);
    uint32_t IndexAt(int row) const { return m_model.IndexAt(row); }
    CBookmarkListModel& ListModel() { return m_model; }
    // The widget that shows the current style (a tree for details, else a list).
    QAbstractItemView* ItemView() const;
    QTreeView* DetailsView() const { return m_pDetails; }
    QListView* IconView() const { return m_pIcons; }

    // Starts a drag of the selected rows (the row under the pointer shows); the
    // tree moves or copies them where they are dropped.
    void BeginRowDrag(QAbstractItemView* view);
    bool IsDragging() const { return m_bDragging; }

    // CDropSink: drops from other programs go to the current folder.
    void Drop(const QPoint& screenPoint, const QString& text) override;
    void DragOver(const QPoint&) override {}
    void DragLeave() override {}
    CExternalDropTarget& DropTarget() { return m_dropTarget; }

    // Where URLs go; the context's unless replaced.
    std::function<void(const std::string& url, bool newWindow)> m_openUrl;

signals:
    // The row count changed (the frame shows it in its status bar).
    void ItemCountChanged(int count);
    // The list asks for context menu `menuId` (132) at a screen position; the frame
    // shows it so that the chosen command is routed like a main-menu command.
    void ContextMenuRequested(unsigned menuId, const QPoint& globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Rebuild();
    void ShowItemCount();
    void DeleteRows(const std::vector<int>& rows);
    void OpenRow(int row, bool newWindow);
    void ShowContextMenu(QAbstractItemView* view, const QPoint& globalPos, bool atMouse);
    bool NewWindowSetting() const;
    void ApplyStyle();
    // Lists a new bookmark in the current folder and selects its row.
    bool AddAndShow(const std::string& url, const std::string& name, const std::string& comment);

    CKivDoc& m_doc;
    CViewSettings m_defaultSettings;
    CViewSettings& m_settings;
    CBookmarkListModel m_model;
    QStackedLayout* m_pStack;
    QTreeView* m_pDetails;
    QListView* m_pIcons;
    QItemSelectionModel* m_pSelection;
    int m_nStyle = 0;
    bool m_bColumnsMade = false;
    bool m_bDragging = false;
    // Counts the fills with new content: a handler that waited in a modal loop acts
    // only if the content it started on is still there.
    uint64_t m_nFills = 0;
    CExternalDropTarget m_dropTarget;
};
