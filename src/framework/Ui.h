#pragma once

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

// Every conversation with the user goes through here: message boxes, file dialogs,
// the folder picker, modal dialogs and the wait cursor. The window installs the Qt
// implementation; tests install a scripted one that answers without waiting.
class CUi
{
public:
    // Message box buttons and results, with the framework's numbers.
    enum Buttons { MB_OK = 0, MB_OKCANCEL = 1, MB_YESNOCANCEL = 3, MB_YESNO = 4 };
    enum Icon { MB_ICONNONE = 0, MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20,
                MB_ICONWARNING = 0x30, MB_ICONINFORMATION = 0x40 };
    enum Result { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

    virtual ~CUi() = default;

    // Caption empty = the application's title.
    virtual int MessageBox(const QString& text, const QString& caption = QString(),
                           int buttons = MB_OK, int icon = MB_ICONNONE) = 0;
    // filter is in the framework's form "Text (*.x)|*.x|All (*.*)|*.*||".
    // An empty result means the user cancelled.
    virtual QString GetOpenFileName(const QString& filter, const QString& defaultExt,
                                    const QString& initialPath = QString()) = 0;
    virtual QString GetSaveFileName(const QString& filter, const QString& defaultExt,
                                    const QString& initialPath = QString()) = 0;
    virtual QString BrowseForFolder(const QString& title, const QString& initialPath) = 0;
    // Runs a modal dialog; returns QDialog::Accepted or QDialog::Rejected.
    virtual int DoModal(QDialog& dialog) = 0;
    virtual void BeginWaitCursor() {}
    virtual void EndWaitCursor() {}

    // The one installed instance (never null: a quiet default answers "cancel").
    static CUi& Get();
    // Installs ui (not owned) and returns the previous one.
    static CUi* Install(CUi* ui);

    // "Text (*.x)|*.x;*.y|All (*.*)|*.*||" -> "Text (*.x *.y);;All (*)"; a list
    // without an entry for every file gets one.
    static QString QtFilter(const QString& mfcFilter);

    // True while a modal dialog, a message box, a file dialog or a drag runs its own
    // event loop. Calls from other programs that arrive meanwhile must not change the
    // document under the handler that waits for that loop to end.
    static bool ModalInProgress();

protected:
    // A modal loop the implementation sees beyond the CModalScopes (a dialog or a
    // menu that some other code opened).
    virtual bool RunsModalLoop() const { return false; }
};

// Marks a modal loop (dialog, message box, drag) for the length of a scope.
class CModalScope
{
public:
    CModalScope();
    ~CModalScope();
    CModalScope(const CModalScope&) = delete;
    CModalScope& operator=(const CModalScope&) = delete;
};

// Waits for the duration of a scope.
class CWaitCursor
{
public:
    CWaitCursor() { CUi::Get().BeginWaitCursor(); }
    ~CWaitCursor() { CUi::Get().EndWaitCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
