#pragma once

#include "FileError.h"

#include <QPoint>
#include <QString>

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

class CArchive;
class CDocument;
class CFolderNode;

// Relay messages between views (the list view passes drag positions to the tree).
enum : unsigned {
    WM_USER_BASE = 0x400,
    WM_TREE_QUERY = WM_USER_BASE + 200,
    WM_TREE_DRAGOVER = WM_USER_BASE + 201,
    WM_TREE_DROP = WM_USER_BASE + 203,
};

// What an update tells the views: the hint's number and the folder or row it names.
struct CHint
{
    int code = 0;
    CFolderNode* folder = nullptr; // the folder a folder hint names
    int row = -1;                  // the row a row hint names
};

// A view's answer to a relay message: whether it is the tree (WM_TREE_QUERY) and the
// folder under the point (WM_TREE_DROP; null over empty space).
struct CRelayAnswer
{
    bool tree = false;
    CFolderNode* folder = nullptr;
};

// What a view must offer its document: initial fill, updates with a hint, relays.
class CView
{
public:
    virtual ~CView() = default;
    virtual void OnInitialUpdate() {}
    virtual void OnUpdate(CView* sender, const CHint& hint) = 0;
    // Answers the relay messages above; nothing for a message the view does not handle.
    virtual CRelayAnswer OnRelay(unsigned message, const QPoint& screenPoint) { return {}; }
};

// The document half of the framework: path, title, modified flag, views, and the
// new/open/save paths. It knows nothing of windows; failures go to an error sink
// that the application points at its message boxes.
class CDocument
{
public:
    CDocument();
    virtual ~CDocument();

    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    const QString& GetPathName() const { return m_strPathName; }
    const QString& GetTitle() const { return m_strTitle; }
    void SetPathName(const QString& path);
    void SetTitle(const QString& title);

    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true) { m_bModified = modified; }

    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& Views() const { return m_views; }
    // Every view but the sender hears of a change; a folder or a row goes with hints
    // that name one.
    void UpdateAllViews(CView* sender, int hint = 0, CFolderNode* folder = nullptr);
    void UpdateAllViews(CView* sender, int hint, int row);
    void UpdateAllViews(CView* sender, const CHint& hint);
    // The list's drags reach the tree through these: the view that answers
    // WM_TREE_QUERY gets WM_TREE_DRAGOVER, and WM_TREE_DROP names the folder under
    // the point (null when none or no view is the tree).
    void RelayDragOver(const QPoint& screenPoint);
    CFolderNode* RelayDrop(const QPoint& screenPoint);
    void SendInitialUpdate();

    // The framework's overridables.
    virtual void Serialize(CArchive& ar) = 0;
    virtual void DeleteContents() {}
    virtual bool OnNewDocument();
    virtual bool OnOpenDocument(const QString& path);
    virtual bool OnSaveDocument(const QString& path);
    virtual void OnCloseDocument();
    // The first bytes of a file about to be opened (up to 16; fewer when the file is
    // shorter), seen before anything of the document is emptied: a cause other than
    // none refuses the file and leaves the document as it was.
    virtual CFileError::Cause CheckFileHeader(std::string_view head) const
    {
        (void)head;
        return CFileError::none;
    }

    // The single-document template's open: on success the path and title follow the
    // file; when the file could not be opened the document stays as it was; when
    // reading failed midway it becomes a new, untitled, empty document.
    bool OpenDocumentFile(const QString& path);
    // Save under a path (the save-as dialog is the caller's business).
    bool DoSave(const QString& path);
    // Called after every save under the document's name.
    std::function<void()> m_onSaved;

    // Where open and save failures are reported (a message box in the window, a line
    // on standard error in kivtool). The last one is also kept.
    using ErrorSink = std::function<void(const CFileError&)>;
    void SetErrorSink(ErrorSink sink) { m_errorSink = std::move(sink); }
    const CFileError& LastFileError() const { return m_lastError; }

    // The framework's name for an untitled document.
    static void SetUntitledName(const QString& name);
    static const QString& UntitledName();

protected:
    void ReportFileError(CFileError error);

private:
    QString m_strPathName;
    QString m_strTitle;
    bool m_bModified = false;
    std::vector<CView*> m_views;
    ErrorSink m_errorSink;
    CFileError m_lastError;
};
