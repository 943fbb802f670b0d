#include "Document.h"

#include "Archive.h"
#include "FileWriter.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {
QString& UntitledStorage()
{
    static QString name = QStringLiteral("Untitled");
    return name;
}

}  // namespace

CDocument::CDocument() = default;
CDocument::~CDocument() = default;

void CDocument::SetUntitledName(const QString& name) { UntitledStorage() = name; }
const QString& CDocument::UntitledName() { return UntitledStorage(); }

void CDocument::SetPathName(const QString& path)
{
    m_strPathName = path;
    m_strTitle = path.isEmpty() ? UntitledName() : QFileInfo(path).fileName();
}

void CDocument::SetTitle(const QString& title) { m_strTitle = title; }

void CDocument::AddView(CView* view)
{
    if (std::find(m_views.begin(), m_views.end(), view) == m_views.end())
        m_views.push_back(view);
}

void CDocument::RemoveView(CView* view)
{
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

void CDocument::UpdateAllViews(CView* sender, int hint, CFolderNode* folder)
{
    UpdateAllViews(sender, CHint{hint, folder, -1});
}

void CDocument::UpdateAllViews(CView* sender, int hint, int row)
{
    UpdateAllViews(sender, CHint{hint, nullptr, row});
}

void CDocument::UpdateAllViews(CView* sender, const CHint& hint)
{
    // A view may remove itself while updating; walk a copy.
    const std::vector<CView*> views = m_views;
    for (CView* view : views)
        if (view != sender)
            view->OnUpdate(sender, hint);
}

void CDocument::RelayDragOver(const QPoint& screenPoint)
{
    for (CView* view : Views())
        if (view->OnRelay(WM_TREE_QUERY, QPoint()).tree)
            view->OnRelay(WM_TREE_DRAGOVER, screenPoint);
}

CFolderNode* CDocument::RelayDrop(const QPoint& screenPoint)
{
    for (CView* view : Views())
        if (view->OnRelay(WM_TREE_QUERY, QPoint()).tree)
            return view->OnRelay(WM_TREE_DROP, screenPoint).folder;
    return nullptr;
}

void CDocument::SendInitialUpdate()
{
    const std::vector<CView*> views = m_views;
    for (CView* view : views)
        view->OnInitialUpdate();
}

void CDocument::ReportFileError(CFileError error)
{
    m_lastError = error;
    if (m_errorSink)
        m_errorSink(m_lastError);
}

bool CDocument::OnNewDocument()
{
    DeleteContents();
    m_bModified = false;
    m_strPathName.clear();
    return true;
}

bool CDocument::OnOpenDocument(const QString& path)
{
    m_lastError = {};
    QFile file;
    if (const CFileError::Cause cause = OpenRegularFile(path, file)) {
        ReportFileError({cause, path, true});
        return false;
    }
    if (file.size() > 0) {
        const QByteArray head = file.peek(16);
        const CFileError::Cause cause
            = CheckFileHeader(std::string_view(head.constData(), size_t(head.size())));
        if (cause != CFileError::none) {
            ReportFileError({cause, path, true});
            return false;
        }
    }
    DeleteContents();
    m_bModified = true;  // stays set while reading
    CFileError::Cause failure = CFileError::none;
    try {
        if (file.size() > 0) {
            CArchive ar(&file, CArchive::load);
            Serialize(ar);
        }
    } catch (const CArchiveException& e) {
        failure = e.cause() == CArchiveException::WriteFailed ? CFileError::genericRead
                                                              : CFileError::badFormat;
    } catch (const std::bad_alloc&) {
        // A file may claim more than memory holds; that is its failure, not ours.
        failure = CFileError::outOfMemory;
    }
    if (failure == CFileError::none && file.error() != QFileDevice::NoError)
        failure = CFileError::genericRead;
    if (failure != CFileError::none) {
        DeleteContents();
        ReportFileError({failure, path, true});
        return false;
    }
    m_bModified = false;
    return true;
}

bool CDocument::OnSaveDocument(const QString& path)
{
    m_lastError = {};
    // A failed save never destroys the last good copy: see CFileWriter.
    CFileWriter file(path);
    if (!file.Open()) {
        ReportFileError(file.Error());
        return false;
    }
    try {
        CArchive ar(&file);
        Serialize(ar);
        ar.Flush();
    } catch (const std::exception& e) {
        // Whatever stopped the writing, the partial content never replaces the file.
        CFileError error = file.Error();
        if (!error)
            error = {dynamic_cast<const std::bad_alloc*>(&e) ? CFileError::outOfMemory
                                                              : CFileError::genericWrite,
                     path, false};
        file.Discard();
        ReportFileError(error);
        return false;
    }
    if (!file.Commit()) {
        ReportFileError(file.Error());
        return false;
    }
    m_bModified = false;
    return true;
}

void CDocument::OnCloseDocument() { DeleteContents(); }

bool CDocument::OpenDocumentFile(const QString& path)
{
    const bool wasModified = m_bModified;
    m_bModified = false;
    if (!OnOpenDocument(path)) {
        if (!m_bModified) {
            // The file could not be opened at all: the document is untouched.
            m_bModified = wasModified;
        } else {
            // Reading failed after the content had been emptied: start afresh.
            SetPathName(QString());
            OnNewDocument();
        }
        return false;
    }
    SetPathName(QFileInfo(path).absoluteFilePath());
    return true;
}

bool CDocument::DoSave(const QString& path)
{
    if (!OnSaveDocument(path))
        return false;
    SetPathName(QFileInfo(path).absoluteFilePath());
    if (m_onSaved)
        m_onSaved();
    return true;
}
