#include "DocCommands.h"

#include "res/Commands.h"
#include "KivApp.h"
#include "browsers/BrowserProfiles.h"
#include "browsers/ChromiumBookmarks.h"
#include "browsers/FirefoxPlaces.h"
#include "browsers/ProfileDlg.h"
#include "browsers/Xbel.h"
#include "frame/MainFrame.h"
#include "formats/Compare.h"
#include "formats/CompareDlg.h"
#include "formats/Favorites.h"
#include "formats/FavoritesDlg.h"
#include "formats/Netscape.h"
#include "formats/Opera.h"
#include "framework/Ui.h"
#include "model/KivDoc.h"
#include "res/Strings.h"
#include "tidy/DupesDlg.h"
#include "tidy/DupesModel.h"
#include "tidy/LinkCheckDlg.h"
#include "views/Clipboard.h"
#include "formats/Find.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <unistd.h>

CKivDocCommands::CKivDocCommands(CKivApp& app, CKivDoc& doc) : m_app(app), m_doc(doc)
{
    OnCommand(ID_FILE_SAVE, [this] { m_app.DoFileSave(); });
    OnCommand(ID_FILE_SAVE_AS, [this] { m_app.DoSaveAs(); });

    OnCommand(ID_EDIT_FIND, [this] { OnEditFind(); });
    OnCommand(ID_FIND_NEXT, [this] { OnEditFindNext(); });

    OnCommand(ID_FILE_SEND_MAIL, [this] { OnFileSendMail(); });
    OnUpdate(ID_FILE_SEND_MAIL, [](CCmdUI* ui) { ui->Enable(CanSendMail()); });

    // Paste goes into the current folder whichever view has the focus. The clipboard
    // is asked for its state only when it changes, not at every toolbar update.
    OnCommand(ID_EDIT_PASTE, [this] { OnEditPaste(); });
    OnUpdate(ID_EDIT_PASTE, [this](CCmdUI* ui) {
        if (m_nClipboardHasPayload < 0)
            m_nClipboardHasPayload = KivClipboard::OffersPayload(QGuiApplication::clipboard()->mimeData());
        ui->Enable(m_nClipboardHasPayload == 1);
    });
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, &m_clipboardWatch,
                     [this] { m_nClipboardHasPayload = -1; });

    // The file formats' commands: ask for the file, then read it in or write it out.
    const auto importCommand = [this](unsigned id, QString filter, QString ext,
                                      FormatResult (*read)(CKivDoc&, const QString&)) {
        OnCommand(id, [this, filter, ext, read] {
            const QString path = CUi::Get().GetOpenFileName(filter, ext);
            if (!path.isEmpty())
                AfterImport([&] { return read(m_doc, path); });
        });
    };
    const auto exportCommand = [this](unsigned id, QString filter, QString ext,
                                      FormatResult (*write)(const CKivDoc&, const QString&)) {
        OnCommand(id, [this, filter, ext, write] {
            const QString path = CUi::Get().GetSaveFileName(filter, ext);
            if (!path.isEmpty()) {
                CWaitCursor wait;
                ShowResult(write(m_doc, path));
            }
        });
    };
    importCommand(ID_IMPORT_NETSCAPE, QStringLiteral("Bookmark Files (*.htm)|*.htm||"),
                  QStringLiteral("htm"), &ImportNetscape);
    exportCommand(ID_EXPORT_NETSCAPE,
                  QStringLiteral("Html Files (*.html;*.htm)|*.html; *.htm||"),
                  QStringLiteral("html"), &ExportNetscape);
    importCommand(ID_IMPORT_OPERA, QStringLiteral("Opera Files (*.adr)|*.adr||"),
                  QStringLiteral("adr"), &ImportOpera);
    exportCommand(ID_EXPORT_OPERA, QStringLiteral("Hotlist (*.adr)|*.adr||"),
                  QStringLiteral("adr"),
                  [](const CKivDoc& doc, const QString& path) { return ExportOpera(doc, path); });
    OnCommand(ID_IMPORT_FIREFOX, [this] { OnImportBrowser(CBrowserProfile::firefox); });
    OnCommand(ID_IMPORT_CHROMIUM, [this] { OnImportBrowser(CBrowserProfile::chromium); });
    importCommand(ID_IMPORT_XBEL,
                  QStringLiteral("XBEL Files (*.xbel)|*.xbel|All Files (*)|*||"),
                  QStringLiteral("xbel"), &ImportXbel);
    exportCommand(ID_EXPORT_XBEL, QStringLiteral("XBEL Files (*.xbel)|*.xbel||"),
                  QStringLiteral("xbel"), &ExportXbel);
    OnCommand(ID_IMPORT_IE, [this] { OnImportIE(); });
    OnCommand(ID_EXPORT_IE, [this] { OnExportIE(); });
    OnCommand(ID_CHECK_NEW, [this] { OnCompare(); });
    OnCommand(ID_EDIT_DUPLICATES, [this] { OnEditDuplicates(); });
    OnCommand(ID_EDIT_CHECK_LINKS, [this] { OnEditCheckLinks(); });
}

// The tidy dialogs open once their command has returned: what the user does in them
// (each merge, each action on the checked links) is then a change of its own, not a
// part of the command that opened the dialog.
void CKivDocCommands::OnEditDuplicates()
{
    QTimer::singleShot(0, m_app.GetMainFrame(), [this] {
        CDupesDlg dlg(m_doc, m_app.GetMainFrame());
        if (dlg.Model().GroupCount() == 0) {
            CUi::Get().MessageBox(KivStrings::Load(IDS_NO_DUPLICATES), QString(), CUi::MB_OK,
                                  CUi::MB_ICONINFORMATION);
            return;
        }
        dlg.DoModal();
    });
}

void CKivDocCommands::OnEditCheckLinks()
{
    QTimer::singleShot(0, m_app.GetMainFrame(), [this] {
        CLinkCheckDlg dlg(m_doc, m_doc.m_pCurFolder, m_app.GetMainFrame());
        dlg.m_openUrl = [this](const std::string& url) { m_app.OpenUrl(url, false); };
        dlg.DoModal();
    });
}

void CKivDocCommands::OnImportIE()
{
    CImportShortcutsDlg dlg(m_app.GetMainFrame());
    if (dlg.DoModal() != CUi::IDOK)
        return;
    FormatResult result;
    {
        CWaitCursor wait;
        // A folder that cannot be listed adds nothing; the views catch up all the same.
        result = ImportShortcuts(m_doc, dlg.m_strFolder, dlg.m_bSubfolders, dlg.m_bDelete);
        m_doc.UpdateAllViews(nullptr, HINT_SYNC_FOLDER, &m_doc.m_root);
        m_doc.UpdateAllViews(nullptr, HINT_REFRESH);
    }
    m_doc.UpdateAllViews(nullptr, HINT_NEW_FAVORITES);
    ShowResult(result); // a shortcut too large to read
}

void CKivDocCommands::OnImportBrowser(int family)
{
    const bool firefox = family == CBrowserProfile::firefox;
    const std::vector<CBrowserProfile> profiles = FindBrowserProfiles(
        CBrowserProfile::Family(family), CProfileRoots::FromEnvironment());
    QString path;
    if (profiles.empty()) {
        // Nothing where the browsers keep their profiles: the user may know better.
        CUi::Get().MessageBox(KivStrings::Load(IDS_NO_PROFILES));
        path = CUi::Get().GetOpenFileName(
            firefox ? QStringLiteral("Firefox (places.sqlite)|places.sqlite|All Files (*)|*||")
                    : QStringLiteral("Chromium (Bookmarks)|Bookmarks|All Files (*)|*||"),
            QString());
    } else if (profiles.size() == 1) {
        path = profiles.front().file;
    } else {
        std::vector<long long> counts;
        {
            CWaitCursor wait;
            for (const CBrowserProfile& p : profiles)
                counts.push_back(CountProfileBookmarks(p));
        }
        CProfileDlg dlg(profiles, counts, m_app.GetMainFrame());
        if (dlg.DoModal() != CUi::IDOK)
            return;
        path = profiles[size_t(dlg.m_nSelected)].file;
    }
    if (path.isEmpty())
        return;
    AfterImport([&] { return firefox ? ImportFirefox(m_doc, path) : ImportChromium(m_doc, path); });
}

void CKivDocCommands::OnExportIE()
{
    CExportShortcutsDlg dlg(m_app.GetMainFrame());
    // Without a favorites folder the dialog starts empty and the user picks one.
    dlg.m_strFolder = FavoritesFolder();
    dlg.m_bRemoveOld = m_app.m_bXptIEDel;
    if (dlg.DoModal() != CUi::IDOK)
        return;
    m_app.m_bXptIEDel = dlg.m_bRemoveOld;
    FormatResult result;
    {
        CWaitCursor wait;
        result = ExportShortcuts(m_doc, dlg.m_strFolder, m_app.m_bXptIEDel);
    }
    ShowResult(result); // a shortcut that could not be written, a full disk
}

void CKivDocCommands::OnCompare()
{
    CCompareDlg dlg(m_app.GetMainFrame());
    dlg.m_strFolder = m_app.m_strCheckPath;
    dlg.m_bSubfolders = m_app.m_bCheckSubFolder;
    dlg.m_strNetscapeFile = m_app.m_strCheckNSFile;
    dlg.m_strOperaFile = m_app.m_strCheckOperaFile;
    if (dlg.DoModal() != CUi::IDOK)
        return;
    std::vector<FormatResult> results;
    {
        CWaitCursor wait;
        m_app.m_strCheckPath = dlg.m_strFolder;
        m_app.m_strCheckNSFile = dlg.m_strNetscapeFile;
        m_app.m_strCheckOperaFile = dlg.m_strOperaFile;
        m_app.m_bCheckSubFolder = dlg.m_bSubfolders;
        results = RunCompare(m_doc, CompareSources{dlg.m_strFolder, dlg.m_bSubfolders,
                                                   dlg.m_strNetscapeFile, dlg.m_strOperaFile});
    }
    // Messages come without the wait cursor over them, in the order of the sources.
    for (const FormatResult& result : results)
        ShowResult(result);
    m_doc.UpdateAllViews(nullptr, HINT_SELECT_FOLDER, &m_doc.m_check);
    m_doc.UpdateAllViews(nullptr, HINT_REFRESH);
}

void CKivDocCommands::ShowResult(const FormatResult& result)
{
    if (result.status == FormatResult::wrongType && result.messageId != 0)
        CUi::Get().MessageBox(KivStrings::Load(result.messageId), QString(), CUi::MB_OK,
                              CUi::MB_ICONWARNING);
    else if (result.status == FormatResult::fileError)
        CUi::Get().MessageBox(KivStrings::FileErrorText(result.error), QString(), CUi::MB_OK,
                              CUi::MB_ICONWARNING);
}

void CKivDocCommands::AfterImport(const std::function<FormatResult()>& import)
{
    FormatResult result;
    {
        CWaitCursor wait;
        result = import();
    }
    // Whatever was read before a failure is in the tree: the views catch up first.
    if (result.status == FormatResult::done || result.status == FormatResult::fileError) {
        m_doc.UpdateAllViews(nullptr, HINT_SYNC_FOLDER, &m_doc.m_root);
        m_doc.UpdateAllViews(nullptr, HINT_REFRESH);
    }
    ShowResult(result);
}

bool CKivDocCommands::CanSendMail()
{
    return !QStandardPaths::findExecutable(QStringLiteral("xdg-email")).isEmpty();
}

void CKivDocCommands::OnEditPaste()
{
    if (!m_doc.m_pCurFolder)
        return;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!KivClipboard::OffersPayload(data))
        return;
    const QByteArray bytes = data->data(QString::fromLatin1(KivClipboard::kFormatName));
    const KivClipboard::CPasteResult result =
        KivClipboard::PastePayload(m_doc, m_doc.m_pCurFolder, bytes);
    KivClipboard::SendPasteHints(m_doc, result);
    if (result.messageId != 0)
        CUi::Get().MessageBox(KivStrings::Load(result.messageId), QString(), CUi::MB_OK,
                              CUi::MB_ICONWARNING);
}

void CKivDocCommands::OnEditFind()
{
    BeginFind(m_doc);
    if (CMainFrame* frame = m_app.GetMainFrame())
        frame->ActivateSearchBar();
}

void CKivDocCommands::OnEditFindNext()
{
    CMainFrame* frame = m_app.GetMainFrame();
    const std::string text = frame ? frame->GetSearchText().toStdString() : std::string();
    const FindFields fields{m_app.m_bFindInName, m_app.m_bFindInUrl, m_app.m_bFindInComment};
    const FindStep step = FindNext(m_doc, text, fields);
    switch (step.outcome) {
    case FindStep::hit:
        m_doc.UpdateAllViews(nullptr, HINT_SELECT_FOLDER, step.folder);
        m_doc.UpdateAllViews(nullptr, HINT_SELECT_ROW, step.position);
        break;
    case FindStep::notFound:
        CUi::Get().MessageBox(QString::fromLatin1(kItemNotFound));
        break;
    case FindStep::nothing:
        break;
    }
}

namespace {
// A folder only this user can enter, for the copies handed to the mail client.
QString MailFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty())
        base = QDir::tempPath() + QStringLiteral("/kiv-") + QString::number(getuid());
    const QString folder = base + QStringLiteral("/kiv-mail");
    if (!QDir().mkpath(folder))
        return {};
    for (const QString& dir : {base, folder}) {
        const QFileInfo info(dir);
        if (info.isSymLink() || !info.isDir() || info.ownerId() != getuid())
            return {};
    }
    if (!QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                           | QFileDevice::ExeOwner))
        return {};
    return folder;
}
}  // namespace

void CKivDocCommands::OnFileSendMail()
{
    // The mail client gets the file as it is on disk; unsaved changes go into a copy
    // so the user's file and its modified flag stay as they are. The copy lives in the
    // user's own runtime folder, not in the shared temporary folder where others
    // could read it or take its name first.
    QString path = m_doc.GetPathName();
    if (path.isEmpty() || m_doc.IsModified()) {
        QString name = m_doc.GetTitle();
        if (QFileInfo(name).suffix().compare(QLatin1String("kiv"), Qt::CaseInsensitive) != 0)
            name += QStringLiteral(".kiv");
        const QString folder = MailFolder();
        if (folder.isEmpty()) {
            CUi::Get().MessageBox(KivStrings::Load(IDS_MAIL_NOT_STARTED)
                                      .replace(QLatin1String("%1"), m_doc.GetTitle()),
                                  QString(), CUi::MB_OK, CUi::MB_ICONWARNING);
            return;
        }
        path = QDir(folder).filePath(name);
        const bool wasModified = m_doc.IsModified();
        const bool saved = m_doc.OnSaveDocument(path);
        m_doc.SetModifiedFlag(wasModified);
        if (!saved) {
            m_app.ShowPendingErrors();
            return;
        }
    }
    // Without a mail program xdg-email fails: that is said, not only written to stderr.
    m_app.StartDesktopTool({QStringLiteral("xdg-email"), QStringLiteral("--attach"), path},
                           QProcessEnvironment::systemEnvironment(),
                           KivStrings::Load(IDS_MAIL_NOT_STARTED)
                               .replace(QLatin1String("%1"), QFileInfo(path).fileName()));
}
