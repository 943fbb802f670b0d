#pragma once

#include "framework/CmdTarget.h"
#include "framework/FileError.h"
#include "framework/Profile.h"
#include "frame/FrameHost.h"
#include "integration/AutomationServer.h"
#include "integration/DdeClient.h"
#include "UndoHistory.h"
#include "views/ViewContext.h"

#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CKivDoc;
class CKivDocCommands;
class CMainFrame;
class QLocale;
class QWidget;
class QTranslator;

// The program's one document: served to automation clients on the bus, and never
// left holding an emptied content under the old file's name. A load that breaks off
// midway outside the File commands (an automation client's Open) sets the document
// up as a new, untitled one, as the File/Open path does, so that a later save can
// never overwrite the good file with the emptied content.
class CKivAppDoc : public CServedKivDoc
{
public:
    bool OnOpenDocument(const QString& path) override;

    // Set while the File commands open a file: they set the document up again
    // themselves.
    bool m_bTemplateOpen = false;
    // Called after a load outside the File commands failed; reset tells whether
    // the content was replaced by a new, untitled document.
    std::function<void(bool reset)> m_onLoadFailed;
    uint64_t EmptiedCount() const { return m_nEmptied; }

protected:
    void DeleteContents() override;

private:
    uint64_t m_nEmptied = 0; // counts every emptying of the content
};

// The application object: the program-wide settings, start-up and exit, the
// application's commands, and the one document with its frame.
class CKivApp : public CCmdTarget, public CFrameHost
{
public:
    CKivApp();
    ~CKivApp() override;

    CKivApp(const CKivApp&) = delete;
    CKivApp& operator=(const CKivApp&) = delete;

    // Start-up: false ends the program at once. An automation start leaves no
    // window (HasMainWindow() false).
    bool InitInstance(const QStringList& arguments);
    // Writes the settings back and saves the recent-file list; the exit code.
    int ExitInstance();

    // Every help request ends here: opens the help page with the desktop.
    void WinHelp() override;

    // A file the program ships (help/kiv_index.html, Zezivezu.viv): beside the program
    // in the build tree, under ../share/kiv once installed. When neither place has it,
    // the path beside the program.
    static QString ShippedFilePath(const QString& programDir, const QString& name);

    // Starts a desktop tool (an opener, the mail program) without waiting for it;
    // when it cannot be started or ends with an error, failureText is shown. The
    // tool is never stopped by this program.
    void StartDesktopTool(const QStringList& command, const QProcessEnvironment& environment,
                          const QString& failureText);
    // How many of the started tools are still running.
    int RunningDesktopTools() const;
    // Loads the framework's own texts (buttons, file dialogs) for a language;
    // the translator installed, or null when there is none for it.
    static QTranslator* InstallFrameworkTranslations(const QLocale& locale);

    // Opens a bookmark's URL; newWindow asks the browser for a new window.
    void OpenUrl(const std::string& url, bool newWindow) override;

    // The framework's file commands, also used by the frame's drops.
    bool OpenDocumentFile(const QString& path) override; // asks to save first; false on failure
    bool NewDocument();                         // asks to save first
    // Asks whether to save a modified document: true to go on, false to stop.
    bool SaveModified() override;
    bool DoFileSave();
    bool DoSaveAs();

    CProfile& Profile() override { return *m_pProfile; }
    CRecentFileList& RecentFiles() override { return m_recentFiles; }
    CKivDoc& Document() { return *m_pDocument; }
    CMainFrame* GetMainFrame() const { return m_pMainFrame.get(); }
    // Re-reads the document's title into the frame's caption.
    void UpdateFrameTitle();
    // Shows the open and save failures collected since the last call.
    void ShowPendingErrors();
    bool HasMainWindow() const { return m_pMainFrame != nullptr; }
    CCmdRouter& Router() override { return m_router; }
    CUndoHistory& History() { return *m_pHistory; }
    bool IsAutomationStart() const { return m_bAutomation; }
    // The running document on the bus, and in an automation start the class factory
    // that hands it to the one client (null otherwise).
    CAutomationServer& AutomationServer() { return *m_pServer; }
    CAutomationClassFactory* ClassFactory() const { return m_pFactory.get(); }
    // An automation start ends when no client has asked for the document this long.
    static constexpr int kClientWaitMs = 60000;

    // The "Pref" section: read at start-up, written back at exit, in this order.
    void ReadSettings();
    void WriteSettings();

    // The settings the panes read, handed to them when the frame makes them.
    CViewSettings& ViewSettings() override { return m_viewSettings; }

    // The preferences command: the sheet with five of the settings below; OK writes
    // them back here (they reach the settings file at exit), Cancel leaves everything
    // as it was. Returns IDOK or IDCANCEL.
    int EditPreferences(QWidget* parent);

private:
    CViewSettings m_viewSettings;

public:
    // Members, in the order of the settings they hold; three of them are the panes'.
    QString m_strDefaultBrowserCmd;
    bool m_bOpenLastFile = false;
    bool& m_bNewWindow = m_viewSettings.newWindow;
    bool& m_bKeepWndSize = m_viewSettings.keepWndSize;
    int m_nBrowserChoice = 0;
    QString m_strBrowser[3];
    int& m_nListStyle = m_viewSettings.listStyle;
    bool m_bFindInName = false;
    bool m_bFindInUrl = false;
    bool m_bFindInComment = false;
    QString m_strCheckNSFile;
    QString m_strCheckOperaFile;
    QString m_strCheckPath;
    bool m_bCheckSubFolder = false;
    QString m_strHelpPath;
    // The print document shipped with the program, set at start-up like the help path.
    QString m_strPrintDocPath;
    bool m_bXptIEDel = false;

private:
    void BuildCommandMap();
    void OnFileNew();
    void OnFileOpen();
    void OnOpenRecentFile(unsigned id);
    void OnAppExit();
    void OnPrintWord();
    bool CreateMainFrame();
    void DestroyMainFrame();
    void AfterDocumentChange();
    bool SaveTo(const QString& path);
    bool StartAutomation();

    std::unique_ptr<CProfile> m_pProfile;
    CRecentFileList m_recentFiles{4};
    std::unique_ptr<CKivAppDoc> m_pDocument;
    std::unique_ptr<CKivDocCommands> m_pDocCommands;
    std::unique_ptr<CUndoHistory> m_pHistory;
    std::unique_ptr<CAutomationServer> m_pServer;      // after the document: goes first
    std::unique_ptr<CAutomationClassFactory> m_pFactory;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    CCmdRouter m_router;
    bool m_bAutomation = false;
    bool m_bLastOpenFailed = false; // the last open could not read its file
    std::vector<CFileError> m_pendingErrors;
    QObject m_toolWatch; // the started tools; their reports end with the application
    CDdeClient::MessageSink m_previousDdeSink;
    bool m_bDdeSinkInstalled = false;
};

// The one application object of the running program.
CKivApp& KivApp();
// The settings store of the running program.
CProfile& Profile();
