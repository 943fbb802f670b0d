#pragma once

#include <QString>

#include <string>

class CCmdRouter;
class CProfile;
class CRecentFileList;
struct CViewSettings;

// What the main window needs of the program that makes it. The application
// implements it; the frame reaches nothing else above it, so its library links
// without the application's.
class CFrameHost
{
public:
    virtual ~CFrameHost() = default;

    virtual CProfile& Profile() = 0;
    // Every command of the menus, the toolbar and the accelerators goes through it.
    virtual CCmdRouter& Router() = 0;
    virtual CRecentFileList& RecentFiles() = 0;
    // The settings the panes read, handed to them when the frame makes them.
    virtual CViewSettings& ViewSettings() = 0;
    virtual void OpenUrl(const std::string& url, bool newWindow) = 0;
    // Asks to save first; false on failure.
    virtual bool OpenDocumentFile(const QString& path) = 0;
    // Asks whether to save a modified document: true to go on, false to stop.
    virtual bool SaveModified() = 0;
    virtual void WinHelp() = 0;

protected:
    CFrameHost() = default;
    CFrameHost(const CFrameHost&) = default;
    CFrameHost& operator=(const CFrameHost&) = default;
};
