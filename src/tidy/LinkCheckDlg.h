#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class CFolderNode;
class CKivDoc;
class CLinkCache;
class CLinkChecker;
class CLinkResultsFilter;
class CLinkResultsModel;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableView;
struct CLinkResult;

// Checks the links of the current folder (with its subfolders) or of the whole
// collection while the window stays usable, and acts on the results.
class CLinkCheckDlg : public QDialog
{
    Q_OBJECT
public:
    CLinkCheckDlg(CKivDoc& doc, CFolderNode* current, QWidget* parent = nullptr);
    ~CLinkCheckDlg() override;

    int DoModal();
    // How links are opened; nothing is opened without it.
    std::function<void(const std::string&)> m_openUrl;

    CLinkChecker& Checker() { return *m_checker; }
    CLinkResultsModel& Results() { return *m_results; }
    CLinkResultsFilter& Filter() { return *m_filter; }
    // Where results are kept; tests point it at their own file before starting.
    CLinkCache& Cache() { return *m_cache; }

    void OnStart();
    void OnCancel();
    void OnTrashDead();
    void OnCheckFolder();
    void OnUpdateRedirects();
    void OnOpen();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnResult(const CLinkResult& result);
    void OnFinished();
    void UpdateProgress();
    // The rows the actions work on: the selected ones, else every row shown.
    std::vector<int> ActionRows() const;
    void UpdateButtons();

    CKivDoc& m_doc;
    CFolderNode* m_pCurrent;
    CLinkChecker* m_checker;
    CLinkCache* m_cache;
    CLinkResultsModel* m_results;
    CLinkResultsFilter* m_filter;
    QRadioButton* m_pFolder;
    QRadioButton* m_pAll;
    QSpinBox* m_pMaxAge;
    QPushButton* m_pStart;
    QPushButton* m_pCancel;
    QProgressBar* m_pProgress;
    QLabel* m_pCounts;
    QComboBox* m_pKind;
    QLineEdit* m_pText;
    QTableView* m_pTable;
    QPushButton* m_pTrash;
    QPushButton* m_pCheck;
    QPushButton* m_pUpdate;
    QPushButton* m_pOpen;
    int m_nReached = 0;
    int m_nDead = 0;
    int m_nNotChecked = 0;
};
