#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QCheckBox;
class QLayout;
class QComboBox;
class QLineEdit;
class QPushButton;

// The favorites import (dialog 104) and export (dialog 136) options. The caller fills
// the members, runs DoModal and, on OK, reads them back; the dialogs check nothing.
// Controls carry their numbers as object names ("combo1001", "button1002" ...).

class CImportShortcutsDlg : public QDialog
{
public:
    explicit CImportShortcutsDlg(QWidget* parent = nullptr);

    // Shows the members, lists the folders that exist (favorites, then desktop) with
    // the first one selected, and runs the dialog through CUi; IDOK or IDCANCEL.
    int DoModal();
    // Moves the members into the controls (false) or the controls into the members (true).
    void UpdateData(bool saveAndValidate);
    void accept() override;

    QString m_strFolder;
    bool m_bSubfolders = false;
    bool m_bDelete = false;

private:
    QComboBox* m_pFolder;
    QCheckBox* m_pSubfolders;
    QCheckBox* m_pDelete;
};

class CExportShortcutsDlg : public QDialog
{
public:
    explicit CExportShortcutsDlg(QWidget* parent = nullptr);

    int DoModal();
    void UpdateData(bool saveAndValidate);
    void accept() override;

    QString m_strFolder;
    bool m_bRemoveOld = false;

private:
    QLineEdit* m_pFolder;
    QCheckBox* m_pRemoveOld;
};

// Pieces the favorites dialogs share with the compare dialog.
namespace KivFolderDlg {

// The favorites folder, then the desktop, each only when it exists.
QStringList SpecialFolders();
// Asks CUi for a folder (empty title); empty when none was chosen.
QString BrowseForFolder();

QComboBox* MakeFolderCombo(QWidget* parent, int id); // editable drop-down list
QLineEdit* MakeEdit(QWidget* parent, int id);
QCheckBox* MakeCheck(QWidget* parent, int id, const char* text);
QPushButton* MakeBrowseButton(QWidget* parent, int id); // a narrow "..."
// Sets the caption and object name ("dialog<id>"), puts "Aceptar" (default,
// "button1") and "Cancelar" ("button2") centred below `body`, and keeps the
// dialog at least as wide as its template.
void FinishDialog(QDialog* dialog, int templateId, const char* caption, QLayout* body,
                  int templateWidthDlu);

}  // namespace KivFolderDlg
