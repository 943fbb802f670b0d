#include "MainFrame.h"

#include "res/Commands.h"
#include "FrameHost.h"
#include "framework/CmdTarget.h"
#include "framework/Profile.h"
#include "views/ViewContext.h"
#include "model/KivDoc.h"
#include "res/Menus.h"
#include "res/Strings.h"
#include "SearchBar.h"
#include "views/KivView.h"
#include "views/LeftView.h"

#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QTreeView>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#if __has_include(<X11/XKBlib.h>) && defined(KIV_HAVE_X11)
#include <X11/XKBlib.h>
#include <QGuiApplication>
#define KIV_LOCK_STATE_X11 1
#undef KeyRelease // X11's event number, not Qt's
#endif

namespace {

const QString kWndSize = QStringLiteral("WndSize");
constexpr int kDefaultPaneWidth = 160;

QString ExtensionOf(const QString& path)
{
    // The text after the last dot of the last component; "\", "/" and ":" separate.
    const qsizetype sep = std::max({path.lastIndexOf(QLatin1Char('/')),
                                    path.lastIndexOf(QLatin1Char('\\')),
                                    path.lastIndexOf(QLatin1Char(':'))});
    const QString last = path.mid(sep + 1);
    const qsizetype dot = last.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : last.mid(dot + 1);
}

}  // namespace

// Registered with the document like a view: any update of the views may change
// what the toolbar offers.
class CMainFrame::CDocWatcher : public CView
{
public:
    CDocWatcher(CKivDoc& doc, CMainFrame& frame) : m_doc(doc), m_frame(frame) { m_doc.AddView(this); }
    ~CDocWatcher() override { m_doc.RemoveView(this); }
    void OnUpdate(CView*, const CHint&) override { m_frame.RequestToolBarUpdate(); }

private:
    CKivDoc& m_doc;
    CMainFrame& m_frame;
};

CMainFrame::CMainFrame(CFrameHost& app, CKivDoc& doc) : m_app(app), m_doc(doc)
{
    setObjectName(QStringLiteral("MainFrame"));
    m_bMaximized = m_app.Profile().GetProfileInt(kWndSize, QStringLiteral("Maximize"), 0) == 1;
    resize(800, 560);
    BuildCommandMap();
}

CMainFrame::~CMainFrame()
{
    m_app.Router().m_executed = nullptr;
    qApp->removeEventFilter(this);
    // The views go before the document forgets them.
    delete m_pSplitter;
    m_pSplitter = nullptr;
}

bool CMainFrame::Create()
{
    setWindowIcon(QIcon(QStringLiteral(":/icons/kiv.svg")));
    ApplyStoredGeometry();
    if (!CreateClient())
        return false;

    KivMenus::BuildMenuBar(menuBar(), m_app.Router(),
                           [this] { return m_app.RecentFiles().Entries(); });

    m_pToolBar = new QToolBar(this);
    m_pToolBar->setObjectName(QStringLiteral("bar%1").arg(AFX_IDW_TOOLBAR));
    m_pToolBar->setIconSize(QSize(16, 15));
    m_pToolBar->setFloatable(false);
    KivMenus::BuildToolBar(m_pToolBar, m_app.Router());
    addToolBar(Qt::TopToolBarArea, m_pToolBar);

    // The search bar is the second band, in a row of its own below the toolbar so
    // that a narrow window never folds it into the toolbar's overflow.
    m_pSearchBand = new QToolBar(this);
    m_pSearchBand->setObjectName(QStringLiteral("bar%1").arg(ID_VIEW_SEARCHBAR));
    m_pSearchBand->setFloatable(false);
    m_pSearchBar = new CSearchBar(m_pSearchBand);
    m_pSearchBar->m_postCommand = [this](unsigned id) { m_app.Router().Execute(id); };
    m_pSearchBar->m_menuFactory = [this](unsigned id) {
        QMenu* menu = KivMenus::BuildMenu(id, m_app.Router(), this);
        KivMenus::UpdateMenu(menu, m_app.Router());
        return menu;
    };
    m_pSearchBand->addWidget(m_pSearchBar);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, m_pSearchBand);

    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("bar%1").arg(AFX_IDW_STATUS_BAR));
    m_pMessagePane = new QLabel(KivStrings::Load(AFX_IDS_IDLEMESSAGE), bar);
    m_pMessagePane->setObjectName(QStringLiteral("pane0"));
    bar->addWidget(m_pMessagePane, 1);
    m_pCountPane = new QLabel(bar);
    m_pCountPane->setObjectName(QStringLiteral("pane1"));
    // As wide as the format itself, "nb: %4d  ", as the status bar measures it.
    m_pCountPane->setMinimumWidth(
        m_pCountPane->fontMetrics().horizontalAdvance(KivStrings::Load(IDS_ITEM_COUNT)));
    bar->addPermanentWidget(m_pCountPane);
    for (int i = 0; i < 3; ++i) {
        m_pLockPanes[i] = new QLabel(bar);
        m_pLockPanes[i]->setObjectName(QStringLiteral("pane%1").arg(i + 2));
        m_pLockPanes[i]->setMinimumWidth(m_pLockPanes[i]->fontMetrics().horizontalAdvance(QStringLiteral("SCRL  ")));
        m_pLockPanes[i]->setAlignment(Qt::AlignCenter);
        bar->addPermanentWidget(m_pLockPanes[i]);
    }

    KivMenus::AddAccelerators(this, m_app.Router());

    // The pane with the focus receives commands first.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (!now || !m_pSplitter)
            return;
        RequestToolBarUpdate();
        for (int column = 0; column < m_pSplitter->count(); ++column)
            if (m_pSplitter->widget(column)->isAncestorOf(now) || m_pSplitter->widget(column) == now)
                m_pActivePane = m_pSplitter->widget(column);
    });

    // Toolbar buttons follow what changes their states; the lock panes follow the keys.
    m_pDocWatcher = std::make_unique<CDocWatcher>(m_doc, *this);
    m_app.Router().m_executed = [this](unsigned) { RequestToolBarUpdate(); };
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, &CMainFrame::RequestToolBarUpdate);
    if (CKivView* list = GetRightPane())
        connect(list->DetailsView()->selectionModel(), &QItemSelectionModel::selectionChanged,
                this, &CMainFrame::RequestToolBarUpdate);
    qApp->installEventFilter(this);
    RequestToolBarUpdate();
    UpdateLockPanes();

    OnUpdateFrameTitle();
    return true;
}

bool CMainFrame::CreateClient()
{
    const int paneWidth = m_app.ViewSettings().keepWndSize
                              ? m_app.Profile().GetProfileInt(kWndSize, QStringLiteral("cxPane"),
                                                              kDefaultPaneWidth)
                              : kDefaultPaneWidth;
    m_pSplitter = new QSplitter(Qt::Horizontal, this);
    m_pSplitter->setObjectName(QStringLiteral("pane%1").arg(AFX_IDW_PANE_FIRST));
    m_pSplitter->setChildrenCollapsible(false);
    CViewContext context;
    context.settings = &m_app.ViewSettings();
    context.openUrl = [this](const std::string& url, bool newWindow) { m_app.OpenUrl(url, newWindow); };
    context.openDocument = [this](const QString& path) { m_app.OpenDocumentFile(path); };
    auto* left = new CLeftView(m_doc, m_pSplitter, context);
    auto* right = new CKivView(m_doc, m_pSplitter, context);
    connect(left, &CLeftView::ContextMenuRequested, this, &CMainFrame::ShowContextMenu);
    connect(right, &CKivView::ContextMenuRequested, this, &CMainFrame::ShowContextMenu);
    connect(right, &CKivView::ItemCountChanged, this, &CMainFrame::ShowItemCount);
    m_pSplitter->addWidget(left);
    m_pSplitter->addWidget(right);
    m_pSplitter->setStretchFactor(0, 0);
    m_pSplitter->setStretchFactor(1, 1);
    m_pSplitter->setSizes({std::max(paneWidth, 1), std::max(width() - paneWidth, 100)});
    setCentralWidget(m_pSplitter);
    // The first pane starts active and with the keyboard focus.
    m_pActivePane = left;
    left->setFocus();
    return true;
}

CLeftView* CMainFrame::GetLeftPane() const
{
    return m_pSplitter ? dynamic_cast<CLeftView*>(m_pSplitter->widget(0)) : nullptr;
}

CKivView* CMainFrame::GetRightPane() const
{
    return m_pSplitter && m_pSplitter->count() > 1 ? dynamic_cast<CKivView*>(m_pSplitter->widget(1))
                                                   : nullptr;
}

CCmdTarget* CMainFrame::GetRightPaneTarget() const { return GetRightPane(); }

CCmdTarget* CMainFrame::GetActiveView() const { return dynamic_cast<CCmdTarget*>(m_pActivePane.data()); }

void CMainFrame::SetActivePane(int column)
{
    if (!m_pSplitter || column < 0 || column >= m_pSplitter->count())
        return;
    m_pActivePane = m_pSplitter->widget(column);
    m_pActivePane->setFocus();
}

void CMainFrame::NextPane(int step)
{
    if (!m_pSplitter || m_pSplitter->count() == 0)
        return;
    const int current = std::max(0, m_pSplitter->indexOf(m_pActivePane));
    const int count = m_pSplitter->count();
    SetActivePane((current + step + count) % count);
}

void CMainFrame::BuildCommandMap()
{
    // The list's display styles, shown as a radio group.
    struct Style
    {
        unsigned id;
        int style;
    };
    for (const Style s : {Style{ID_VIEW_SMALLICON, LVS_SMALLICON}, Style{ID_VIEW_LARGEICON, LVS_ICON},
                          Style{ID_VIEW_LIST, LVS_LIST}, Style{ID_VIEW_DETAILS, LVS_REPORT}}) {
        OnCommand(s.id, [this, s] {
            if (CKivView* list = GetRightPane())
                list->SetListStyle(s.style);
        });
        OnUpdate(s.id, [this, s](CCmdUI* ui) {
            CKivView* list = GetRightPane();
            ui->Enable(list != nullptr);
            ui->SetRadio(list && list->GetListStyle() == s.style);
        });
    }
    OnCommand(ID_VIEW_LINEUP, [this] {
        if (CKivView* list = GetRightPane())
            list->Arrange();
    });
    OnUpdate(ID_VIEW_LINEUP, [this](CCmdUI* ui) {
        CKivView* list = GetRightPane();
        ui->Enable(list && (list->GetListStyle() == LVS_ICON || list->GetListStyle() == LVS_SMALLICON));
    });

    for (unsigned id : {unsigned(ID_VIEW_TOOLBAR), unsigned(ID_VIEW_STATUS_BAR), unsigned(ID_VIEW_SEARCHBAR)}) {
        OnCommand(id, [this, id] { ToggleControlBar(id); });
        OnUpdate(id, [this, id](CCmdUI* ui) {
            QWidget* bar = ControlBar(id);
            ui->Enable(bar != nullptr);
            ui->SetCheck(bar && bar->isVisibleTo(this) ? 1 : 0);
        });
    }
    // The search bar's ">" button handles its own click; listing it keeps it enabled.
    OnCommand(ID_SEARCH_MENU, [] {});

    OnCommand(ID_HELP_INDEX, [this] { m_app.WinHelp(); });
    OnCommand(ID_HELP, [this] { m_app.WinHelp(); });
    OnCommand(ID_NEXT_PANE, [this] { NextPane(1); });
    OnCommand(ID_PREV_PANE, [this] { NextPane(-1); });
}

QWidget* CMainFrame::ControlBar(unsigned id) const
{
    switch (id) {
    case ID_VIEW_TOOLBAR: return m_pToolBar;
    case ID_VIEW_SEARCHBAR: return m_pSearchBand;
    case ID_VIEW_STATUS_BAR: return m_pMessagePane ? const_cast<CMainFrame*>(this)->statusBar() : nullptr;
    default: return nullptr;
    }
}

void CMainFrame::ToggleControlBar(unsigned id)
{
    if (QWidget* bar = ControlBar(id))
        bar->setVisible(!bar->isVisibleTo(this));
}

void CMainFrame::ShowContextMenu(unsigned menuId, const QPoint& globalPos)
{
    // Owned by the window, so that its commands are routed like the main menu's.
    QMenu* menu = KivMenus::BuildMenu(menuId, m_app.Router(), this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

QString CMainFrame::ItemCountText() const { return m_pCountPane ? m_pCountPane->text() : QString(); }

void CMainFrame::ShowItemCount(int count)
{
    // "%4d": the count right-aligned in four places; the trailing blanks go.
    QString text = KivStrings::Load(IDS_ITEM_COUNT);
    const qsizetype pos = text.indexOf(QLatin1String("%4d"));
    if (pos >= 0)
        text.replace(pos, 3, QStringLiteral("%1").arg(count, 4));
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    if (m_pCountPane)
        m_pCountPane->setText(text);
}

QString CMainFrame::GetSearchText() const
{
    return m_pSearchBar ? m_pSearchBar->GetSearchText() : QString();
}

void CMainFrame::ActivateSearchBar()
{
    if (!m_pSearchBand || !m_pSearchBar)
        return;
    m_pSearchBand->setVisible(true);
    m_pSearchBar->FocusText();
}

void CMainFrame::RequestToolBarUpdate()
{
    if (m_bToolBarUpdatePending)
        return;
    m_bToolBarUpdatePending = true;
    QTimer::singleShot(0, this, [this] {
        m_bToolBarUpdatePending = false;
        OnIdle();
    });
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // The lock keys change their lights on key presses; another program may have
    // changed them while this window was in the background.
    switch (event->type()) {
    case QEvent::KeyRelease:
        if (watched == QApplication::focusWidget())
            UpdateLockPanes();
        break;
    case QEvent::ApplicationActivate:
        UpdateLockPanes();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::UpdateToolBar()
{
    if (m_pToolBar && m_pToolBar->isVisible())
        KivMenus::UpdateActions(m_pToolBar->actions(), m_app.Router());
}

void CMainFrame::OnIdle()
{
    UpdateToolBar();
    // The document marks itself modified in many places; the title follows here.
    setWindowModified(m_doc.IsModified());
}

void CMainFrame::OnUpdateFrameTitle()
{
    // "[*]" shows as "*" while the document has unsaved changes.
    setWindowTitle(m_doc.GetTitle() + QStringLiteral("[*] - ") + KivStrings::Load(AFX_IDS_APP_TITLE));
    setWindowModified(m_doc.IsModified());
}

void CMainFrame::UpdateLockPanes()
{
    // Shown where the platform tells the lock state (X11); blank elsewhere.
#ifdef KIV_LOCK_STATE_X11
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->display())
        return;
    unsigned state = 0;
    if (XkbGetIndicatorState(x11->display(), XkbUseCoreKbd, &state) != 0)
        return;
    const char* names[3] = {"CAP", "NUM", "SCRL"};
    for (int i = 0; i < 3; ++i)
        m_pLockPanes[i]->setText((state & (1u << i)) ? QLatin1String(names[i]) : QString());
#endif
}

void CMainFrame::ApplyStoredGeometry()
{
    if (!m_app.ViewSettings().keepWndSize || m_bMaximized)
        return;
    const QString size = m_app.Profile().GetProfileString(kWndSize, QStringLiteral("MainSize"));
    if (size.isEmpty())
        return;
    // Fields that do not scan keep the window's own values, like sscanf would.
    int values[4] = {x(), y(), width(), height()};
    const QStringList parts = size.split(QLatin1Char(','));
    for (int i = 0; i < 4 && i < parts.size(); ++i) {
        bool ok = false;
        const int v = parts[i].trimmed().toInt(&ok);
        if (!ok)
            break;
        values[i] = v;
    }
    // The stored rectangle is the outer one, frame included: the frame is taken off
    // once it is known, when the window first shows.
    m_rcStored = QRect(std::max(values[0], 0), std::max(values[1], 0), values[2], values[3]);
    move(m_rcStored.topLeft());
    resize(m_rcStored.size());
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    FitStoredFrame();
}

bool CMainFrame::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    // The window manager frames the window some time after it is shown, and then
    // moves it: only from then on does the frame have a size to take off.
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
        FitStoredFrame();
    return handled;
}

void CMainFrame::FitStoredFrame()
{
    if (m_rcStored.isNull() || !isVisible())
        return;
    const QSize frame = frameGeometry().size() - geometry().size();
    if (frame.width() <= 0 && frame.height() <= 0)
        return; // not framed (yet); without a window manager it stays so, and fits
    const QRect stored = m_rcStored;
    m_rcStored = QRect();
    resize(stored.size() - frame);
    move(stored.topLeft());
}

void CMainFrame::SaveWindowState()
{
    if (isMinimized())
        return;
    CProfile& p = m_app.Profile();
    p.WriteProfileInt(kWndSize, QStringLiteral("Maximize"), isMaximized() ? 1 : 0);
    const QRect r = frameGeometry();
    p.WriteProfileString(kWndSize, QStringLiteral("MainSize"),
                         QStringLiteral("%1,%2,%3,%4").arg(r.left()).arg(r.top()).arg(r.width()).arg(r.height()));
    const int pane = m_pSplitter && m_pSplitter->count() > 0 ? m_pSplitter->widget(0)->width() : 0;
    p.WriteProfileInt(kWndSize, QStringLiteral("cxPane"), pane);
    p.WriteProfileInt(kWndSize, QStringLiteral("SearchBar"),
                      m_pSearchBand && m_pSearchBand->isVisibleTo(this) ? 1 : 0);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    SaveWindowState();
    if (!m_app.SaveModified()) {
        event->ignore();
        return;
    }
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    event->acceptProposedAction();
    activateWindow();
    // Opening may ask questions; let the drag finish first.
    QTimer::singleShot(0, this, [this, paths] { OpenDroppedFiles(paths); });
}

void CMainFrame::OpenDroppedFiles(const QStringList& paths)
{
    for (const QString& path : paths)
        if (ExtensionOf(path).compare(QLatin1String("kiv"), Qt::CaseInsensitive) == 0)
            m_app.OpenDocumentFile(path);
}
