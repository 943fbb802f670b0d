#pragma once

#include "ItemName.h"

#include <QDialog>

#include <string>
#include <string_view>

class QLineEdit;

// The form in which one bookmark's name, URL and comment are typed or changed
// (dialog 130). The caller fills the three members, runs DoModal and, on OK, reads
// them back exactly as typed; the dialog itself checks nothing.
class CItemDlg : public QDialog
{
public:
    explicit CItemDlg(QWidget* parent = nullptr);

    // Shows the dialog through CUi; IDOK (1) or IDCANCEL (2).
    int DoModal();

    // Moves the members into the edits (false) or the edits into the members (true).
    void UpdateData(bool saveAndValidate);

    // OK takes the edited texts before closing.
    void accept() override;

    std::string m_strName;
    std::string m_strUrl;
    std::string m_strComment;

private:
    QLineEdit* m_pName;
    QLineEdit* m_pUrl;
    QLineEdit* m_pComment;
    QString m_shown[3]; // what the three edits were given
};

namespace KivItem {

// The default URL of a new bookmark: clipboard text shorter than 100 bytes that
// holds "http://" or "ftp://", without surrounding blanks; empty otherwise.
std::string UrlFromClipboard();
// The same rule applied to a text already taken from the clipboard.
std::string UrlFromClipboardText(std::string_view text);

}  // namespace KivItem
