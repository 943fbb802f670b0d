#include "KivApp.h"

#include "res/Commands.h"
#include "DocCommands.h"
#include "ShellFileTypes.h"
#include "frame/AboutDlg.h"
#include "frame/MainFrame.h"
#include "frame/Preferences.h"
#include "framework/Ui.h"
#include "model/KivDoc.h"
#include "res/Strings.h"
#include "views/KivView.h"
#include "views/LeftView.h"

#include "integration/AutomationService.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QProcess>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

#include <algorithm>
#include <iterator>

#if __has_include("integration/XdgBrowser.h") && __has_include("integration/UrlOpener.h")
#include "integration/UrlOpener.h"
#include "integration/XdgBrowser.h"
#define KIV_HAVE_BROWSER_INTEGRATION 1
#endif

namespace {

CKivApp* g_pApp = nullptr;

const QString kPref = QStringLiteral("Pref");
const QString kWndSize = QStringLiteral("WndSize");
const QString kKivFilter = QStringLiteral("Kiv Files (*.kiv)|*.kiv||");

enum class Argument { path, automation, shellFlag };

// The automation flags and the framework's shell flags (print, print to, DDE,
// registration), with "-" or "/", any case. Nothing else is a flag.
Argument ClassifyArgument(const QString& arg)
{
    if (arg.size() < 2 || (arg[0] != QLatin1Char('-') && arg[0] != QLatin1Char('/')))
        return Argument::path;
    const QString name = arg.mid(1);
    const auto is = [&name](const char* flag) {
        return name.compare(QLatin1String(flag), Qt::CaseInsensitive) == 0;
    };
    if (is("Automation") || is("Embedding"))
        return Argument::automation;
    for (const char* flag : {"p", "pt", "dde", "Unregister", "Unregserver", "RegServer"})
        if (is(flag))
            return Argument::shellFlag;
    return Argument::path;
}

}  // namespace

CKivApp& KivApp()
{
    Q_ASSERT(g_pApp);
    return *g_pApp;
}

CProfile& Profile() { return KivApp().Profile(); }

// --- the program's document ----------------------------------------------------------

void CKivAppDoc::DeleteContents()
{
    ++m_nEmptied;
    CServedKivDoc::DeleteContents();
}

bool CKivAppDoc::OnOpenDocument(const QString& path)
{
    const uint64_t emptied = m_nEmptied;
    if (CServedKivDoc::OnOpenDocument(path))
        return true;
    if (m_bTemplateOpen)
        return false;
    const bool reset = m_nEmptied != emptied;
    if (reset) {
        // The old content is gone and the file did not load: keep neither the old
        // name nor a half-read tree.
        SetPathName(QString());
        OnNewDocument();
    }
    if (m_onLoadFailed)
        m_onLoadFailed(reset);
    return false;
}

// --- the application ----------------------------------------------------------------

CKivApp::CKivApp()
    : m_pProfile(std::make_unique<CProfile>()),
      m_pDocument(std::make_unique<CKivAppDoc>()),
      m_pDocCommands(std::make_unique<CKivDocCommands>(*this, *m_pDocument)),
      m_pServer(std::make_unique<CAutomationServer>(*m_pDocument))
{
    g_pApp = this;
    m_viewSettings.profile = m_pProfile.get();
    m_router.m_pDocument = m_pDocCommands.get();
    m_router.m_pApp = this;
    // Every command's changes are one step of the history; changes made outside a
    // command (drops, in-place renames, automation clients) are one step per turn
    // of the event loop.
    m_pHistory = std::make_unique<CUndoHistory>(*m_pDocument);
    m_router.m_beforeCommand = [this](unsigned id) { m_pHistory->BeginCommand(id); };
    m_router.m_afterCommand = [this](unsigned) { m_pHistory->EndCommand(); };
    m_pHistory->m_onLooseStep = [this] {
        QTimer::singleShot(0, m_pServer.get(), [this] { m_pHistory->CloseLooseStep(); });
    };
    m_pHistory->m_selection = [this] {
        const CKivView* list = m_pMainFrame ? m_pMainFrame->GetRightPane() : nullptr;
        return list ? list->SelectedBookmarks() : std::vector<uint32_t>();
    };
    m_pHistory->m_onReplayed = [this](CFolderNode* current, const std::vector<uint32_t>& selection) {
        if (!HasMainWindow())
            return;
        // The folders open before stay open: only the changed ones should move.
        CLeftView* tree = m_pMainFrame->GetLeftPane();
        const std::vector<const CFolderNode*> open
            = tree ? tree->ExpandedFolders() : std::vector<const CFolderNode*>();
        m_pDocument->SendInitialUpdate();
        if (tree)
            tree->ExpandFolders(open);
        if (current)
            m_pDocument->UpdateAllViews(nullptr, CHint{HINT_SELECT_FOLDER, current});
        if (CKivView* list = m_pMainFrame->GetRightPane())
            list->SelectBookmarks(selection);
        UpdateFrameTitle();
    };
    // Open and save failures are collected while the document changes and shown once
    // the views agree with it again, so no message box runs over a half-loaded tree.
    m_pDocument->SetErrorSink([this](const CFileError& error) { m_pendingErrors.push_back(error); });
    m_pDocument->SetServer(m_pServer.get());
    m_pServer->SetMessageSink([](const QString& text) { CUi::Get().MessageBox(text); });
    // A client's Open gives the document a new name: the caption follows.
    QObject::connect(&m_pServer->Hub(), &CAutomationHub::DocumentOpened, m_pServer.get(),
                     [this] { UpdateFrameTitle(); });
    m_pDocument->m_onLoadFailed = [this](bool reset) {
        if (reset)
            AfterDocumentChange();
        // Shown once the client has its answer: a message box must not hold up its
        // call.
        QTimer::singleShot(0, m_pServer.get(), [this] { ShowPendingErrors(); });
    };
    BuildCommandMap();
}

CKivApp::~CKivApp()
{
    // A tool that has ended is freed here; one still running keeps running (it may be
    // the mail program itself): its handle is let go, never destroyed, as destroying
    // it would kill the tool.
    for (QProcess* process : m_toolWatch.findChildren<QProcess*>(Qt::FindDirectChildrenOnly)) {
        process->disconnect(&m_toolWatch);
        if (process->state() == QProcess::NotRunning || process->waitForFinished(0))
            delete process;
        else
            process->setParent(nullptr);
    }
    m_router.m_pFrame = nullptr;
    m_router.m_activeView = nullptr;
    m_pMainFrame.reset();
    m_pFactory.reset();
    m_pDocument->SetServer(nullptr);
    m_pServer.reset();
    if (m_bDdeSinkInstalled)
        CDdeClient::SetMessageSink(std::move(m_previousDdeSink));
    if (g_pApp == this)
        g_pApp = nullptr;
}

namespace {
// An Edit menu text: the step's name, or the bare verb when there is none; the verb
// comes first in every language and keeps the menu's mnemonic.
QString MenuText(QString text, unsigned verbId, const QString& key)
{
    if (text.isEmpty()) {
        text = KivStrings::Load(verbId).arg(QString());
        while (text.endsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char(':')))
            text.chop(1);
    }
    return QLatin1Char('&') + text + QLatin1Char('\t') + key;
}
} // namespace

void CKivApp::BuildCommandMap()
{
    OnCommand(ID_FILE_NEW, [this] { OnFileNew(); });
    OnCommand(ID_FILE_OPEN, [this] { OnFileOpen(); });
    OnCommandRange(ID_FILE_MRU_FILE1, ID_FILE_MRU_LAST, [this](unsigned id) { OnOpenRecentFile(id); });
    OnUpdateRange(ID_FILE_MRU_FILE1, ID_FILE_MRU_LAST, [this](CCmdUI* ui) {
        ui->Enable(int(ui->m_nID - ID_FILE_MRU_FILE1) < m_recentFiles.Entries().size());
    });
    OnCommand(ID_APP_EXIT, [this] { OnAppExit(); });
    OnCommand(ID_EDIT_UNDO, [this] { m_pHistory->Undo(); });
    OnUpdate(ID_EDIT_UNDO, [this](CCmdUI* ui) {
        ui->Enable(m_pHistory->CanUndo());
        ui->SetText(MenuText(m_pHistory->UndoText(), IDS_UNDO_ACTION, QStringLiteral("Ctrl+Z")));
    });
    OnCommand(ID_EDIT_REDO, [this] { m_pHistory->Redo(); });
    OnUpdate(ID_EDIT_REDO, [this](CCmdUI* ui) {
        ui->Enable(m_pHistory->CanRedo());
        ui->SetText(MenuText(m_pHistory->RedoText(), IDS_REDO_ACTION, QStringLiteral("Ctrl+Y")));
    });
    OnCommand(ID_APP_ABOUT, [this] {
        CAboutDlg about(m_pMainFrame.get());
        about.DoModal();
    });
    OnCommand(ID_PREFERENCES, [this] { EditPreferences(m_pMainFrame.get()); });
    OnCommand(ID_PRINT_WORD, [this] { OnPrintWord(); });

    // The search options of the search bar's menu.
    struct Toggle
    {
        unsigned id;
        bool CKivApp::*member;
    };
    for (const Toggle& t : {Toggle{ID_SEARCH_NAME, &CKivApp::m_bFindInName},
                            Toggle{ID_SEARCH_URL, &CKivApp::m_bFindInUrl},
                            Toggle{ID_SEARCH_COMMENT, &CKivApp::m_bFindInComment}}) {
        OnCommand(t.id, [this, t] { this->*t.member = !(this->*t.member); });
        OnUpdate(t.id, [this, t](CCmdUI* ui) { ui->SetCheck(this->*t.member ? 1 : 0); });
    }
}

void CKivApp::ReadSettings()
{
    const CProfile& p = *m_pProfile;
    auto flag = [&p](const char* name, int defaultValue) {
        return p.GetProfileInt(kPref, QLatin1String(name), defaultValue) == 1;
    };
    m_bOpenLastFile = flag("OpenLastFile", 0);
    m_bNewWindow = flag("NewWindow", 1);
    m_bKeepWndSize = flag("KeepWndSize", 0);
    m_nBrowserChoice = p.GetProfileInt(kPref, QStringLiteral("BrowserChoice"), 0);
    for (int i = 0; i < 3; ++i)
        m_strBrowser[i] = p.GetProfileString(kPref, QStringLiteral("Browser%1").arg(i + 1));
    // Read as unsigned, so a negative number counts as a large one.
    const unsigned style = static_cast<unsigned>(p.GetProfileInt(kPref, QStringLiteral("ListStyle"), 1));
    m_nListStyle = style >= 3 ? 3 : static_cast<int>(style);
    m_strCheckNSFile = p.GetProfileString(kPref, QStringLiteral("CheckNSFile"));
    m_strCheckOperaFile = p.GetProfileString(kPref, QStringLiteral("CheckOperaFile"));
    m_strCheckPath = p.GetProfileString(kPref, QStringLiteral("CheckPath"));
    m_bCheckSubFolder = flag("CheckSubFolder", 1);
    m_bXptIEDel = flag("XptIEDel", 0);
}

void CKivApp::WriteSettings()
{
    CProfile& p = *m_pProfile;
    p.WriteProfileInt(kPref, QStringLiteral("OpenLastFile"), m_bOpenLastFile ? 1 : 0);
    p.WriteProfileInt(kPref, QStringLiteral("NewWindow"), m_bNewWindow ? 1 : 0);
    p.WriteProfileInt(kPref, QStringLiteral("KeepWndSize"), m_bKeepWndSize ? 1 : 0);
    p.WriteProfileInt(kPref, QStringLiteral("BrowserChoice"), m_nBrowserChoice);
    for (int i = 0; i < 3; ++i)
        p.WriteProfileString(kPref, QStringLiteral("Browser%1").arg(i + 1), m_strBrowser[i]);
    p.WriteProfileInt(kPref, QStringLiteral("ListStyle"), m_nListStyle);
    p.WriteProfileString(kPref, QStringLiteral("CheckNSFile"), m_strCheckNSFile);
    p.WriteProfileString(kPref, QStringLiteral("CheckOperaFile"), m_strCheckOperaFile);
    p.WriteProfileString(kPref, QStringLiteral("CheckPath"), m_strCheckPath);
    p.WriteProfileInt(kPref, QStringLiteral("CheckSubFolder"), m_bCheckSubFolder ? 1 : 0);
    p.WriteProfileInt(kPref, QStringLiteral("XptIEDel"), m_bXptIEDel ? 1 : 0);
}

bool CKivApp::InitInstance(const QStringList& arguments)
{
    // The recent-file list, then the settings, in the order they are stored.
    m_recentFiles.ReadList(*m_pProfile);
    ReadSettings();
    m_bFindInName = true;
    m_bFindInUrl = true;
    m_bFindInComment = false;

    static const bool translated = [] {
        InstallFrameworkTranslations(QLocale());
        return true;
    }();
    Q_UNUSED(translated);

    const QString programDir = QCoreApplication::applicationDirPath();
    m_strHelpPath = ShippedFilePath(programDir, QStringLiteral("help/kiv_index.html"));
    m_strPrintDocPath = ShippedFilePath(programDir, QStringLiteral("Zezivezu.viv"));

    CDocument::SetUntitledName(KivStrings::Load(AFX_IDS_UNTITLED));

#ifdef KIV_HAVE_BROWSER_INTEGRATION
    std::string browserCmd;
    GetDefaultBrowserCommand(browserCmd);
    m_strDefaultBrowserCmd = QString::fromStdString(browserCmd);
#endif

    // The command line: only the known flags are flags, in "-" or "/" form; every
    // other argument is a path (an absolute one begins with "/"). The first one is
    // the file to open.
    QString fileName;
    for (const QString& arg : arguments) {
        switch (ClassifyArgument(arg)) {
        case Argument::automation:
            m_bAutomation = true;
            break;
        case Argument::shellFlag:
            break;
        case Argument::path:
            if (fileName.isEmpty())
                fileName = arg;
            break;
        }
    }
    // A browser that does not answer is reported in a message box.
    m_previousDdeSink = CDdeClient::SetMessageSink([](const QString& text, const QString& caption) {
        CUi::Get().MessageBox(text, caption);
    });
    m_bDdeSinkInstalled = true;

    // Started by an automation client: no window; the client drives the document.
    if (m_bAutomation)
        return StartAutomation();

    // An installed program has its file types and bus service in the system's folders;
    // copies in the user's folders would only shadow them.
    if (!KivShellFileTypes::InstalledSystemWide(QCoreApplication::applicationFilePath())) {
        // The user-level desktop files: ".kiv" documents, and the print document with
        // the print companion beside the program as its handler.
        const QString printProgram = QDir(QCoreApplication::applicationDirPath())
                                         .filePath(QStringLiteral("kiv-print"));
        KivShellFileTypes::Register(KivShellFileTypes::DataHome(),
                                    QCoreApplication::applicationFilePath(),
                                    QFileInfo(printProgram).isExecutable() ? printProgram : QString());
        // The bus starts this program for automation clients through the user's
        // service file.
        KivAutomation::WriteUserServiceFile(QCoreApplication::applicationFilePath());
    }

    // Reopen the last file when asked to and nothing else was named.
    if (fileName.isEmpty() && m_bOpenLastFile && !m_recentFiles.Entries().isEmpty()
        && !m_recentFiles.Entries().first().isEmpty())
        OnOpenRecentFile(ID_FILE_MRU_FILE1);

    if (!HasMainWindow()) {
        if (!CreateMainFrame())
            return false;
        const bool ok = fileName.isEmpty() ? NewDocument() : OpenDocumentFile(fileName);
        if (!ok) {
            // The first frame goes with its failed document, and the program ends.
            DestroyMainFrame();
            return false;
        }
    }

    // The search bar starts hidden unless the window state is kept and it was shown.
    if (!m_bKeepWndSize || m_pProfile->GetProfileInt(kWndSize, QStringLiteral("SearchBar"), 1) == 0)
        m_pMainFrame->ToggleControlBar(ID_VIEW_SEARCHBAR);

    if (m_bKeepWndSize && m_pMainFrame->m_bMaximized)
        m_pMainFrame->showMaximized();
    else
        m_pMainFrame->show();
    m_pMainFrame->setAcceptDrops(true);
    return true;
}

bool CKivApp::StartAutomation()
{
    // The client's document is untitled and empty until it opens a file. It is not
    // the running document: the user is not in control of this copy.
    m_pServer->SetUserControl(false);
    m_pDocument->OnNewDocument();
    m_pFactory = std::make_unique<CAutomationClassFactory>(*m_pServer);
    // Nobody could reach a copy that cannot take the name.
    if (!m_pFactory->RegisterAll())
        return false;
    QObject::connect(m_pFactory.get(), &CAutomationClassFactory::ClientDone,
                     QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
    // A client that started the program but never asks for the document.
    QTimer::singleShot(kClientWaitMs, m_pFactory.get(), [this] {
        if (!m_pFactory->Served())
            QCoreApplication::quit();
    });
    return true;
}

int CKivApp::ExitInstance()
{
    // The window goes first: its views put their display style and column widths
    // into the settings as they close.
    if (m_pMainFrame)
        DestroyMainFrame();
    // Closing gives the running document's name up.
    m_pDocument->OnCloseDocument();
    WriteSettings();
    m_recentFiles.WriteList(*m_pProfile);
    m_pProfile->Sync();
    return 0;
}

int CKivApp::EditPreferences(QWidget* parent)
{
    KivPref::CPreferenceValues values;
    values.openLastFile = m_bOpenLastFile;
    values.keepWndSize = m_bKeepWndSize;
    values.newWindow = m_bNewWindow;
    values.browserChoice = m_nBrowserChoice;
    std::copy(std::begin(m_strBrowser), std::end(m_strBrowser), std::begin(values.browsers));
    const int result = KivPref::RunPreferences(values, parent);
    if (result != CUi::IDOK)
        return result;
    m_bOpenLastFile = values.openLastFile;
    m_bKeepWndSize = values.keepWndSize;
    m_nBrowserChoice = values.browserChoice;
    m_bNewWindow = values.newWindow;
    std::copy(std::begin(values.browsers), std::end(values.browsers), std::begin(m_strBrowser));
    return result;
}

QString CKivApp::ShippedFilePath(const QString& programDir, const QString& name)
{
    const QString beside = QDir(programDir).filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    const QString shared =
        QDir::cleanPath(programDir + QStringLiteral("/../share/kiv/") + name);
    return QFileInfo::exists(shared) ? shared : beside;
}

void CKivApp::WinHelp()
{
    // A missing page is the desktop's business; the program says nothing.
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_strHelpPath));
}

void CKivApp::OnPrintWord()
{
    // The print document beside the program reads the open collection and lays it
    // out; only its absence is reported.
    if (!QFileInfo::exists(m_strPrintDocPath)) {
        CUi::Get().MessageBox(KivStrings::Load(IDS_NO_PRINT_DOC));
        return;
    }
    // The handler prints the collection of this copy, whichever copy owns the
    // document's well-known name.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString busName = m_pServer->UniqueBusName();
    if (busName.isEmpty())
        environment.remove(QStringLiteral("KIV_DOCUMENT_BUS_NAME"));
    else
        environment.insert(QStringLiteral("KIV_DOCUMENT_BUS_NAME"), busName);
    StartDesktopTool(KivShellFileTypes::OpenCommand(m_strPrintDocPath), environment,
                     KivStrings::Load(IDS_PRINT_NOT_STARTED)
                         .replace(QLatin1String("%1"), m_strPrintDocPath));
}

void CKivApp::StartDesktopTool(const QStringList& command, const QProcessEnvironment& environment,
                               const QString& failureText)
{
    const auto fail = [failureText] {
        CUi::Get().MessageBox(failureText, QString(), CUi::MB_OK, CUi::MB_ICONWARNING);
    };
    if (command.isEmpty()) {
        fail();
        return;
    }
    auto* process = new QProcess(&m_toolWatch);
    process->setProcessEnvironment(environment);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(process, &QProcess::errorOccurred, &m_toolWatch,
                     [process, fail](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         process->deleteLater();
                         fail();
                     });
    QObject::connect(process, &QProcess::finished, &m_toolWatch,
                     [process, fail](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (status != QProcess::NormalExit || exitCode != 0)
                             fail();
                     });
    process->start(command.first(), command.mid(1));
}

int CKivApp::RunningDesktopTools() const
{
    int running = 0;
    for (const QProcess* process : m_toolWatch.findChildren<QProcess*>(Qt::FindDirectChildrenOnly))
        running += process->state() != QProcess::NotRunning;
    return running;
}

QTranslator* CKivApp::InstallFrameworkTranslations(const QLocale& locale)
{
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator.release();
}

void CKivApp::OpenUrl(const std::string& url, bool newWindow)
{
#ifdef KIV_HAVE_BROWSER_INTEGRATION
    if (UrlReadsAsOption(url)) {
        CUi::Get().MessageBox(KivStrings::Load(IDS_URL_IS_OPTION), QString(), CUi::MB_OK,
                              CUi::MB_ICONWARNING);
        return;
    }
    CBrowserSettings settings;
    settings.m_nBrowserChoice = m_nBrowserChoice;
    for (int i = 0; i < 3; ++i)
        settings.m_strBrowser[i] = m_strBrowser[i].toStdString();
    settings.m_bNewWindow = m_bNewWindow;
    settings.m_strDefaultBrowserCmd = m_strDefaultBrowserCmd.toStdString();
    CUrlOpener().OpenUrl(settings, url, newWindow);
#else
    Q_UNUSED(newWindow);
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
#endif
}

bool CKivApp::CreateMainFrame()
{
    auto frame = std::make_unique<CMainFrame>(*this, *m_pDocument);
    if (!frame->Create())
        return false;
    m_pMainFrame = std::move(frame);
    m_router.m_pFrame = m_pMainFrame.get();
    m_router.m_activeView = [this] { return m_pMainFrame ? m_pMainFrame->GetActiveView() : nullptr; };
    m_router.m_redirects[ID_EDIT_SELECT_ALL] = [this]() -> CCmdTarget* {
        return m_pMainFrame ? m_pMainFrame->GetRightPaneTarget() : nullptr;
    };
    return true;
}

void CKivApp::DestroyMainFrame()
{
    m_router.m_pFrame = nullptr;
    m_router.m_activeView = nullptr;
    m_router.m_redirects.clear();
    m_pMainFrame.reset();
}

void CKivApp::ShowPendingErrors()
{
    const std::vector<CFileError> errors = std::move(m_pendingErrors);
    m_pendingErrors.clear();
    for (const CFileError& error : errors)
        CUi::Get().MessageBox(KivStrings::FileErrorText(error), QString(), CUi::MB_OK,
                              CUi::MB_ICONWARNING);
}

void CKivApp::AfterDocumentChange()
{
    m_pDocument->SendInitialUpdate();
    UpdateFrameTitle();
}

void CKivApp::UpdateFrameTitle()
{
    if (m_pMainFrame)
        m_pMainFrame->OnUpdateFrameTitle();
}

bool CKivApp::SaveModified()
{
    if (!m_pDocument->IsModified())
        return true;
    const QString text = KivStrings::Load(AFX_IDP_ASK_TO_SAVE).replace(QLatin1String("%1"),
                                                                       m_pDocument->GetTitle());
    switch (CUi::Get().MessageBox(text, QString(), CUi::MB_YESNOCANCEL, CUi::MB_ICONWARNING)) {
    case CUi::IDYES:
        return DoFileSave();
    case CUi::IDNO:
        return true;
    default:
        return false;
    }
}

bool CKivApp::NewDocument()
{
    if (!SaveModified())
        return false;
    m_pDocument->SetPathName(QString());
    if (!m_pDocument->OnNewDocument())
        return false;
    AfterDocumentChange();
    return true;
}

bool CKivApp::OpenDocumentFile(const QString& path)
{
    m_bLastOpenFailed = false;
    if (!SaveModified())
        return false;
    // The File/Open path sets the document up again itself after a broken file.
    m_pDocument->m_bTemplateOpen = true;
    const uint64_t emptied = m_pDocument->EmptiedCount();
    const bool ok = m_pDocument->OpenDocumentFile(path);
    m_pDocument->m_bTemplateOpen = false;
    m_bLastOpenFailed = !ok;
    if (ok)
        m_recentFiles.Add(m_pDocument->GetPathName());
    // The views show what the document now holds: the loaded file, or a fresh empty
    // one after a file that broke off midway. A file that was refused changed
    // nothing, so the views keep their expanded folders and their current folder.
    if (HasMainWindow() && (ok || m_pDocument->EmptiedCount() != emptied))
        AfterDocumentChange();
    ShowPendingErrors();
    return ok;
}

bool CKivApp::DoFileSave()
{
    const QString path = m_pDocument->GetPathName();
    if (path.isEmpty() || (QFileInfo::exists(path) && !QFileInfo(path).isWritable()))
        return DoSaveAs();
    return SaveTo(path);
}

bool CKivApp::DoSaveAs()
{
    QString initial = m_pDocument->GetPathName();
    if (initial.isEmpty())
        initial = m_pDocument->GetTitle() + QStringLiteral(".kiv");
    const QString path = CUi::Get().GetSaveFileName(kKivFilter, QStringLiteral(".kiv"), initial);
    if (path.isEmpty())
        return false;
    return SaveTo(path);
}

bool CKivApp::SaveTo(const QString& path)
{
    const bool ok = m_pDocument->DoSave(path);
    if (ok) {
        m_recentFiles.Add(m_pDocument->GetPathName());
        UpdateFrameTitle();
    }
    ShowPendingErrors();
    return ok;
}

void CKivApp::OnFileNew() { NewDocument(); }

void CKivApp::OnFileOpen()
{
    const QString path = CUi::Get().GetOpenFileName(kKivFilter, QStringLiteral(".kiv"));
    if (!path.isEmpty())
        OpenDocumentFile(path);
}

void CKivApp::OnOpenRecentFile(unsigned id)
{
    const int index = static_cast<int>(id - ID_FILE_MRU_FILE1);
    if (index < 0 || index >= m_recentFiles.Entries().size())
        return;
    const QString path = m_recentFiles.Entries().at(index);
    const bool newFrame = !HasMainWindow();
    if (newFrame && !CreateMainFrame())
        return;
    if (!OpenDocumentFile(path)) {
        // A file that cannot be opened leaves the list; only a failure to open the
        // file at all counts, a cancelled save prompt does not.
        if (m_bLastOpenFailed)
            m_recentFiles.Remove(m_recentFiles.Entries().indexOf(path));
        if (newFrame)
            DestroyMainFrame();
    }
}

void CKivApp::OnAppExit()
{
    if (m_pMainFrame)
        m_pMainFrame->close();
}
