#include "DupesDlg.h"

#include "Collection.h"
#include "DupesModel.h"
#include "framework/Ui.h"
#include "model/KivDoc.h"
#include "res/Strings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <set>

CDupesDlg::CDupesDlg(CKivDoc& doc, QWidget* parent)
    : QDialog(parent)
    , m_doc(doc)
    , m_model(new CDupesModel(doc, this))
{
    setObjectName(QStringLiteral("dupesDialog"));
    setWindowTitle(QStringLiteral("Buscar duplicados"));
    m_pHttp = new QCheckBox(QStringLiteral("http y https son iguales"), this);
    m_pHttp->setObjectName(QStringLiteral("httpIsHttps"));
    m_pHttp->setChecked(true);
    m_pWww = new QCheckBox(QStringLiteral("www. es igual"), this);
    m_pWww->setObjectName(QStringLiteral("wwwIsBare"));
    m_pWww->setChecked(true);
    m_pCount = new QLabel(this);
    m_pCount->setObjectName(QStringLiteral("groupCount"));

    m_pTree = new QTreeView(this);
    m_pTree->setObjectName(QStringLiteral("dupesTree"));
    m_pTree->setModel(m_model);
    m_pTree->setUniformRowHeights(true); // many groups scroll without measuring each row
    m_pTree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pTree->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTree->header()->resizeSection(CDupesModel::COL_NAME, 260);
    m_pTree->header()->resizeSection(CDupesModel::COL_URL, 300);

    m_pMerge = new QPushButton(QStringLiteral("&Fusionar"), this);
    m_pMerge->setObjectName(QStringLiteral("merge"));
    m_pExact = new QPushButton(QStringLiteral("Fusionar los &idénticos"), this);
    m_pExact->setObjectName(QStringLiteral("mergeExact"));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("Cerrar"), QDialogButtonBox::RejectRole);
    buttons->addButton(m_pMerge, QDialogButtonBox::ActionRole);
    buttons->addButton(m_pExact, QDialogButtonBox::ActionRole);

    auto* options = new QHBoxLayout;
    options->addWidget(m_pHttp);
    options->addWidget(m_pWww);
    options->addStretch();
    options->addWidget(m_pCount);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(options);
    layout->addWidget(m_pTree);
    layout->addWidget(buttons);
    resize(860, 520);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_pMerge, &QPushButton::clicked, this, &CDupesDlg::OnMerge);
    connect(m_pExact, &QPushButton::clicked, this, &CDupesDlg::OnMergeExact);
    connect(m_pHttp, &QCheckBox::toggled, this, &CDupesDlg::Regroup);
    connect(m_pWww, &QCheckBox::toggled, this, &CDupesDlg::Regroup);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &CDupesDlg::UpdateCounts);
    Regroup();
}

CDupesDlg::~CDupesDlg() = default;

int CDupesDlg::DoModal()
{
    return CUi::Get().DoModal(*this) == QDialog::Accepted ? CUi::IDOK : CUi::IDCANCEL;
}

void CDupesDlg::Regroup()
{
    CWaitCursor wait;
    m_model->Refresh(UrlKeyOptions{m_pHttp->isChecked(), m_pWww->isChecked()});
    // The first groups open so the proposal shows without a click.
    for (int g = 0; g < std::min(m_model->GroupCount(), 20); ++g)
        m_pTree->expand(m_model->index(g, 0));
    UpdateCounts();
}

void CDupesDlg::UpdateCounts()
{
    m_pCount->setText(QStringLiteral("%1 grupos").arg(m_model->GroupCount()));
    m_pMerge->setEnabled(m_model->GroupCount() > 0);
    m_pExact->setEnabled(m_model->GroupCount() > 0);
}

void CDupesDlg::OnMerge()
{
    std::set<int> groups;
    for (const QModelIndex& idx : m_pTree->selectionModel()->selectedRows())
        groups.insert(m_model->GroupOf(idx));
    if (groups.empty() && m_pTree->currentIndex().isValid())
        groups.insert(m_model->GroupOf(m_pTree->currentIndex()));
    groups.erase(-1);
    if (groups.empty())
        return;
    size_t members = 0;
    for (int g : groups)
        members += m_model->Group(g).members.size();
    // A merge reaches into many folders at once: it is confirmed first.
    const QString ask = KivStrings::Load(IDS_MERGE_ASK).arg(members).arg(groups.size());
    if (CUi::Get().MessageBox(ask, QString(), CUi::MB_YESNO, CUi::MB_ICONQUESTION) != CUi::IDYES)
        return;
    m_model->MergeGroups({groups.begin(), groups.end()});
    m_bChanged = true;
    RefreshAllViews(m_doc);
}

void CDupesDlg::OnMergeExact()
{
    if (m_model->MergeExact() == 0) {
        CUi::Get().MessageBox(KivStrings::Load(IDS_NO_DUPLICATES), QString(), CUi::MB_OK,
                              CUi::MB_ICONINFORMATION);
        return;
    }
    m_bChanged = true;
    UpdateCounts();
    RefreshAllViews(m_doc);
}
