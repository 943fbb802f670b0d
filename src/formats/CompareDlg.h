#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLineEdit;

// The compare sources (dialog 137): a favorites folder with or without its
// subfolders, a Netscape bookmark file and an Opera hotlist. The caller loads the
// members from the remembered settings, runs DoModal and, on OK, reads them back.
class CCompareDlg : public QDialog
{
public:
    explicit CCompareDlg(QWidget* parent = nullptr);

    // Shows the members, then lists the folders that exist (favorites, then desktop)
    // without changing the folder text, and runs the dialog through CUi.
    int DoModal();
    void UpdateData(bool saveAndValidate);
    void accept() override;

    QString m_strFolder;
    bool m_bSubfolders = false;
    QString m_strNetscapeFile;
    QString m_strOperaFile;

private:
    QComboBox* m_pFolder;
    QCheckBox* m_pSubfolders;
    QLineEdit* m_pNetscapeFile;
    QLineEdit* m_pOperaFile;
};
