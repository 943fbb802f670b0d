#pragma once

#include <QDialog>
#include <QString>

class CHyperLink;
class QLineEdit;

// The About box (dialog 100): icon, name and version, credits, the contact address
// in a read-only field and the program's web address as a link.
class CAboutDlg : public QDialog
{
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // Runs the box through CUi; nothing is read back.
    int DoModal();

    static const char* const kVersionLine;
    static const char* const kContactAddress;
    static const char* const kWebAddress;

    CHyperLink* m_wndLink;  // control 1009
    QString m_strAddress;   // control 1002

private:
    QLineEdit* m_pAddress;
};
