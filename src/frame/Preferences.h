#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

// A page of a property sheet: exchanges its members with its controls.
class CPropertyPage : public QWidget
{
public:
    using QWidget::QWidget;
    // Moves the members into the controls (false) or the controls into the members (true).
    virtual void UpdateData(bool saveAndValidate) = 0;
};

// Page "General" (135): reopen the last file, keep the window size.
class CPageGeneral : public CPropertyPage
{
public:
    explicit CPageGeneral(QWidget* parent = nullptr);

    void UpdateData(bool saveAndValidate) override;

    int m_bOpenLastFile = 0;
    int m_bKeepWndSize = 0;

private:
    QCheckBox* m_pOpenLastFile;
    QCheckBox* m_pKeepWndSize;
};

// Page "Navegador" (138): new window, which browser opens bookmarks, and the
// programs of the three browsers that can be chosen.
class CPageBrowser : public CPropertyPage
{
public:
    explicit CPageBrowser(QWidget* parent = nullptr);

    void UpdateData(bool saveAndValidate) override;

    // The entries of the browser list, in the order of their "BrowserChoice" numbers.
    static QStringList BrowserNames();

    int m_bNewWindow = 0;
    int m_nBrowser = -1;  // selected entry of the list; -1 for none
    QString m_strProgram; // the path shown in the edit
    // The programs of Internet Explorer, Netscape Navigator and Opera while the
    // sheet is open, so paths set for several browsers are all kept.
    QString m_strPaths[3];

    // The two messages of the page: the "..." button and a new list selection.
    void OnBrowse();
    void OnSelChangeBrowser();

private:
    void OnProgramEdited(const QString& text);

    QCheckBox* m_pNewWindow;
    QComboBox* m_pBrowser;
    QLineEdit* m_pProgram;
    QPushButton* m_pBrowse;
};

// The preferences sheet "Preferencia": the two pages, OK and Cancel, no Apply.
class CDlgPref : public QDialog
{
public:
    explicit CDlgPref(QWidget* parent = nullptr);

    // Adds a page as the next tab, under the page's title.
    void AddPage(CPropertyPage* page, const QString& title);

    // Shows the pages' members in their controls and runs the sheet through CUi;
    // on OK every page has taken its controls back into its members.
    int DoModal();

    // OK: the pages keep what their controls show.
    void accept() override;

private:
    void UpdatePages(bool saveAndValidate);

    QTabWidget* m_pTabs;
    QList<CPropertyPage*> m_pages;
};

namespace KivPref {

// The settings the sheet shows and changes.
struct CPreferenceValues
{
    bool openLastFile = false;
    bool keepWndSize = false;
    bool newWindow = false;
    int browserChoice = 0; // the entry of CPageBrowser::BrowserNames()
    QString browsers[3];   // Internet Explorer's, Netscape Navigator's and Opera's program
};

// The preferences sheet: OK writes what it shows back into `values`, Cancel leaves
// them as they were. Returns IDOK or IDCANCEL.
int RunPreferences(CPreferenceValues& values, QWidget* parent);

// True when a path chosen with "..." names a program that can be started.
bool IsProgramFile(const QString& path);

}  // namespace KivPref
