#pragma once

#include <QDialog>

#include <vector>

struct CBrowserProfile;
class QTreeWidget;

// The choice of one browser profile when several are found (dialog 150): one row per
// profile with the browser, the profile's name, its folder and how many bookmarks it
// holds. The caller sets m_nSelected, runs DoModal and, on OK, reads it back.
class CProfileDlg : public QDialog
{
public:
    // counts[k] belongs to profiles[k]; -1 shows that the profile could not be read.
    CProfileDlg(const std::vector<CBrowserProfile>& profiles, const std::vector<long long>& counts,
                QWidget* parent = nullptr);

    int DoModal(); // CUi::IDOK or CUi::IDCANCEL
    void accept() override;

    int m_nSelected = 0;

private:
    QTreeWidget* m_pList;
};
