#pragma once

#include "framework/CmdTarget.h"

#include <QObject>
#include <QString>

#include <functional>

struct FormatResult;
class CKivApp;
class CKivDoc;

// The document's command map: imports, exports, compare, paste, find, save and mail.
// Handlers use the document's operations and talk to the user through CUi.
class CKivDocCommands : public CCmdTarget
{
public:
    CKivDocCommands(CKivApp& app, CKivDoc& doc);

    // Mail needs a program that hands a file to the user's mail client.
    static bool CanSendMail();

private:
    void OnEditPaste();
    void OnEditFind();
    void OnEditFindNext();
    void OnFileSendMail();
    // Favorites import and export, compare: each asks for its options in a dialog.
    void OnImportIE();
    void OnExportIE();
    void OnCompare();
    // Firefox or the Chromium family (a CBrowserProfile::Family): the one profile
    // found, the user's choice among several, or a file the user names.
    void OnImportBrowser(int family);
    // Duplicates and link checks, each in its dialog.
    void OnEditDuplicates();
    void OnEditCheckLinks();
    // Runs an import and refreshes the views (hints 10 with the root, then 0).
    void AfterImport(const std::function<FormatResult()>& import);
    static void ShowResult(const FormatResult& result);

    CKivApp& m_app;
    CKivDoc& m_doc;
    int m_nClipboardHasPayload = -1; // -1: not asked since the clipboard last changed
    QObject m_clipboardWatch;        // ends the clipboard connection with this object
};
