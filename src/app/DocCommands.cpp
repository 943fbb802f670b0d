#include "DocCommands.h"

#include "Commands.h"
#include "KivApp.h"
#include "frame/MainFrame.h"
#include "model/KivDoc.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>

CKivDocCommands::CKivDocCommands(CKivApp& app, CKivDoc& doc) : m_app(app), m_doc(doc)
{
    OnCommand(ID_FILE_SAVE, [this] { m_app.DoFileSave(); });
    OnCommand(ID_FILE_SAVE_AS, [this] { m_app.DoSaveAs(); });

    OnCommand(ID_EDIT_FIND, [this] { OnEditFind(); });
    OnCommand(ID_FIND_NEXT, [this] { OnEditFindNext(); });

    OnCommand(ID_FILE_SEND_MAIL, [this] { OnFileSendMail(); });
    OnUpdate(ID_FILE_SEND_MAIL, [](CCmdUI* ui) { ui->Enable(CanSendMail()); });

    OnCommand(ID_EDIT_PASTE, [] {});
    OnUpdate(ID_EDIT_PASTE, [](CCmdUI* ui) {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        ui->Enable(data && data->hasFormat(QStringLiteral("Vedirodo")));
    });

    for (unsigned id : {ID_IMPORT_IE, ID_EXPORT_IE, ID_IMPORT_NETSCAPE, ID_EXPORT_NETSCAPE,
                        ID_IMPORT_OPERA, ID_EXPORT_OPERA, ID_CHECK_NEW})
        OnCommand(id, [] {});
}

bool CKivDocCommands::CanSendMail()
{
    return !QStandardPaths::findExecutable(QStringLiteral("xdg-email")).isEmpty();
}

void CKivDocCommands::OnEditFind()
{
    m_doc.m_bFindFromTop = true;
    m_doc.m_nFindPos = 0;
    if (CMainFrame* frame = m_app.GetMainFrame())
        frame->ActivateSearchBar();
}

void CKivDocCommands::OnEditFindNext() {}

void CKivDocCommands::OnFileSendMail()
{
    // The mail client gets the file as it is on disk; unsaved changes go into a copy
    // in the temporary folder so the user's file and its modified flag stay as they are.
    QString path = m_doc.GetPathName();
    if (path.isEmpty() || m_doc.IsModified()) {
        QString name = m_doc.GetTitle();
        if (QFileInfo(name).suffix().compare(QLatin1String("kiv"), Qt::CaseInsensitive) != 0)
            name += QStringLiteral(".kiv");
        path = QDir(QDir::tempPath()).filePath(name);
        const bool wasModified = m_doc.IsModified();
        const bool saved = m_doc.OnSaveDocument(path);
        m_doc.SetModifiedFlag(wasModified);
        if (!saved) {
            m_app.ShowPendingErrors();
            return;
        }
    }
    QProcess::startDetached(QStringLiteral("xdg-email"), {QStringLiteral("--attach"), path});
}
