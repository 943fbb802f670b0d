#include "Document.h"

#include "Archive.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>

namespace {
QString& UntitledStorage()
{
    static QString name = QStringLiteral("Untitled");
    return name;
}

CFileError::Cause CauseOf(QFileDevice::FileError error, const QString& path, bool loading)
{
    switch (error) {
    case QFileDevice::OpenError:
        if (loading && !QFileInfo::exists(path))
            return CFileError::fileNotFound;
        return CFileError::accessDenied;
    case QFileDevice::PermissionsError:
        return CFileError::accessDenied;
    case QFileDevice::ResourceError:
        return CFileError::diskFull;
    case QFileDevice::ReadError:
        return CFileError::genericRead;
    case QFileDevice::WriteError:
        return errno == ENOSPC ? CFileError::diskFull : CFileError::genericWrite;
    default:
        return loading ? CFileError::genericRead : CFileError::genericWrite;
    }
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

void CDocument::UpdateAllViews(CView* sender, int hint, void* object)
{
    // A view may remove itself while updating; walk a copy.
    const std::vector<CView*> views = m_views;
    for (CView* view : views)
        if (view != sender)
            view->OnUpdate(sender, hint, object);
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
    QFile file(path);
    if (path.isEmpty()) {
        ReportFileError({CFileError::invalidPath, path, true});
        return false;
    }
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        const CFileError::Cause cause = QFileInfo(path).isDir()
                                            ? CFileError::accessDenied
                                            : CauseOf(file.error(), path, true);
        ReportFileError({cause, path, true});
        return false;
    }
    DeleteContents();
    m_bModified = true;  // stays set while reading
    try {
        if (file.size() > 0) {
            CArchive ar(&file, CArchive::load);
            Serialize(ar);
        }
    } catch (const CArchiveException& e) {
        DeleteContents();
        ReportFileError({e.cause() == CArchiveException::WriteFailed ? CFileError::genericRead
                                                                     : CFileError::badFormat,
                         path, true});
        return false;
    }
    if (file.error() != QFileDevice::NoError) {
        DeleteContents();
        ReportFileError({CFileError::genericRead, path, true});
        return false;
    }
    m_bModified = false;
    return true;
}

bool CDocument::OnSaveDocument(const QString& path)
{
    m_lastError = {};
    // Writes go to a temporary file beside the target, renamed over it only when
    // everything was written: a failed save never destroys the last good copy.
    QSaveFile file(path);
    if (path.isEmpty() || QFileInfo(path).isDir()) {
        ReportFileError({path.isEmpty() ? CFileError::invalidPath : CFileError::accessDenied, path,
                         false});
        return false;
    }
    if (!file.open(QIODevice::WriteOnly)) {
        ReportFileError({CauseOf(file.error(), path, false), path, false});
        return false;
    }
    try {
        CArchive ar(&file, CArchive::store);
        Serialize(ar);
        ar.Flush();
    } catch (const CArchiveException&) {
        const CFileError::Cause cause = CauseOf(file.error(), path, false);
        file.cancelWriting();
        ReportFileError({cause, path, false});
        return false;
    }
    if (!file.commit()) {
        ReportFileError({CauseOf(file.error(), path, false), path, false});
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
