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
    return QFileDialog::getOpenFileName(m_pMainWnd, QString(), initialPath, QtFilter(filter));
}

QString CQtUi::GetSaveFileName(const QString& filter, const QString& defaultExt,
                               const QString& initialPath)
{
    return WithExtension(
        QFileDialog::getSaveFileName(m_pMainWnd, QString(), initialPath, QtFilter(filter)),
        defaultExt);
}

QString CQtUi::BrowseForFolder(const QString& title, const QString& initialPath)
{
    return QFileDialog::getExistingDirectory(m_pMainWnd, title, initialPath);
}

int CQtUi::DoModal(QDialog& dialog) { return dialog.exec(); }

void CQtUi::BeginWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void CQtUi::EndWaitCursor() { QApplication::restoreOverrideCursor(); }
