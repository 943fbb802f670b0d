#pragma once

#include "framework/CmdTarget.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class CFrameHost;
class CKivDoc;
class CKivView;
class CLeftView;
class CSearchBar;
class QLabel;
class QSplitter;
class QTimer;
class QToolBar;

// The main window: toolbar, the search bar's band, the status bar and a splitter
// with the folder tree on the left and the bookmark list on the right.
class CMainFrame : public QMainWindow, public CCmdTarget
{
public:
    CMainFrame(CFrameHost& app, CKivDoc& doc);
    ~CMainFrame() override;

    // Builds the bars, the splitter and the two views; false when a part failed.
    bool Create();

    CLeftView* GetLeftPane() const;
    CKivView* GetRightPane() const;
    // The list view as a command target (select all goes there whatever has the focus).
    CCmdTarget* GetRightPaneTarget() const;
    // The view that receives commands first: the pane that last had the focus.
    CCmdTarget* GetActiveView() const;
    void SetActivePane(int column);

    // "nb: %4d" with the count, in the item-count pane.
    void ShowItemCount(int count);
    // Context menu `menuId` at a screen position, without waiting.
    void ShowContextMenu(unsigned menuId, const QPoint& globalPos);
    QString ItemCountText() const;

    // The band the search bar lives in (control-bar id 32784).
    QToolBar* SearchBarBand() const { return m_pSearchBand; }
    CSearchBar* SearchBar() const { return m_pSearchBar; }
    // What the search field holds.
    QString GetSearchText() const;
    void ActivateSearchBar();

    // Control bars by their ids: 59392 toolbar, 32784 search bar, 59393 status bar.
    QWidget* ControlBar(unsigned id) const;
    void ToggleControlBar(unsigned id);

    // Sets enabled and checked states of the toolbar buttons from the router.
    void UpdateToolBar();
    // Asks for OnIdle once the current event is handled; the document, the selection,
    // the focus, the clipboard and every command ask, many times in a row giving one.
    void RequestToolBarUpdate();
    // Caption from the document's title, marked while it has unsaved changes.
    void OnUpdateFrameTitle();
    // What the window catches up on after a change: toolbar states and the modified
    // mark of the caption.
    void OnIdle();
    // Opens the ".kiv" files among dropped paths, in order; others are skipped.
    void OpenDroppedFiles(const QStringList& paths);
    // Writes "Maximize", "MainSize", "cxPane" and "SearchBar" (nothing when minimized).
    void SaveWindowState();

    bool m_bMaximized = false;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void BuildCommandMap();
    void ApplyStoredGeometry();
    // Takes the frame off the kept outer size once the window manager framed it.
    void FitStoredFrame();
    bool CreateClient();
    void UpdateLockPanes();
    void NextPane(int step);

    CFrameHost& m_app;
    CKivDoc& m_doc;
    QSplitter* m_pSplitter = nullptr;
    QToolBar* m_pToolBar = nullptr;
    QToolBar* m_pSearchBand = nullptr;
    CSearchBar* m_pSearchBar = nullptr;
    QLabel* m_pMessagePane = nullptr;
    QLabel* m_pCountPane = nullptr;
    QLabel* m_pLockPanes[3] = {};
    class CDocWatcher;
    std::unique_ptr<CDocWatcher> m_pDocWatcher; // the document's changes reach the toolbar
    bool m_bToolBarUpdatePending = false;
    QPointer<QWidget> m_pActivePane;
    QRect m_rcStored; // the kept outer rectangle, until the window manager framed it
};
