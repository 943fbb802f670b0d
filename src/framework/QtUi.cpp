#include "QtUi.h"

#include "res/Strings.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

int CQtUi::MessageBox(const QString& text, const QString& caption, int buttons, int icon)
{
    QMessageBox box(m_pMainWnd);
    box.setWindowTitle(caption.isEmpty() ? KivStrings::Load(AFX_IDS_APP_TITLE) : caption);
    box.setText(text);
    switch (icon) {
    case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    switch (buttons) {
    case MB_OKCANCEL: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MB_YESNOCANCEL:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MB_YESNO: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
    }
    CModalScope modal;
    switch (box.exec()) {
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Ok: return IDOK;
    default: return buttons == MB_OK ? IDOK : IDCANCEL;
    }
}

namespace {
QString WithExtension(QString path, const QString& defaultExt)
{
    if (!path.isEmpty() && !defaultExt.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += defaultExt.startsWith(QLatin1Char('.')) ? defaultExt : QLatin1Char('.') + defaultExt;
    return path;
}
}  // namespace

QString CQtUi::GetOpenFileName(const QString& filter, const QString&, const QString& initialPath)
{
    QFileDialog dialog(m_pMainWnd, QString(), initialPath, QtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    CModalScope modal;
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

QString CQtUi::GetSaveFileName(const QString& filter, const QString& defaultExt,
                               const QString& initialPath)
{
    QFileDialog dialog(m_pMainWnd, QString(), initialPath, QtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QString suffix = defaultExt;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    // A dialog of the desktop may add the extension only after its own check for an
    // existing file, and so ask about a name that is not the one written: ask here,
    // once, about the final name.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    CModalScope modal;
    for (;;) {
        if (dialog.exec() != QDialog::Accepted)
            return {};
        const QString path = WithExtension(dialog.selectedFiles().value(0), defaultExt);
        if (path.isEmpty())
            return {};
        const QFileInfo info(path);
        if (!info.exists() && !info.isSymLink())
            return path;
        const QString question = KivStrings::Load(IDS_REPLACE_FILE)
                                     .replace(QLatin1String("%1"), info.fileName());
        if (MessageBox(question, QString(), MB_YESNO, MB_ICONWARNING) == IDYES)
            return path;
        // Back to the dialog with the name still there, as if the user had not pressed OK.
        dialog.selectFile(path);
    }
}

QString CQtUi::BrowseForFolder(const QString& title, const QString& initialPath)
{
    CModalScope modal;
    return QFileDialog::getExistingDirectory(m_pMainWnd, title, initialPath);
}

int CQtUi::DoModal(QDialog& dialog)
{
    CModalScope modal;
    return dialog.exec();
}

bool CQtUi::RunsModalLoop() const
{
    return QApplication::activeModalWidget() || QApplication::activePopupWidget();
}

void CQtUi::BeginWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void CQtUi::EndWaitCursor() { QApplication::restoreOverrideCursor(); }
