#pragma once

#include <QDialog>

class CDupesModel;
class CKivDoc;
class QCheckBox;
class QLabel;
class QPushButton;
class QTreeView;

// Lists the groups of bookmarks that name one page and merges them, a group (or the
// selected groups) at a time or every identical URL at once.
class CDupesDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CDupesDlg(CKivDoc& doc, QWidget* parent = nullptr);
    ~CDupesDlg() override;

    CDupesModel& Model() { return *m_model; }
    // Runs through CUi; the document has changed when it returns true.
    int DoModal();
    bool Changed() const { return m_bChanged; }

    void OnMerge();
    void OnMergeExact();

private:
    void Regroup();
    void UpdateCounts();

    CKivDoc& m_doc;
    CDupesModel* m_model;
    QTreeView* m_pTree;
    QCheckBox* m_pHttp;
    QCheckBox* m_pWww;
    QLabel* m_pCount;
    QPushButton* m_pMerge;
    QPushButton* m_pExact;
    bool m_bChanged = false;
};
