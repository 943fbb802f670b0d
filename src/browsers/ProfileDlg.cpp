#include "ProfileDlg.h"

#include "BrowserProfiles.h"
#include "formats/FavoritesDlg.h"
#include "framework/Ui.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

CProfileDlg::CProfileDlg(const std::vector<CBrowserProfile>& profiles,
                         const std::vector<long long>& counts, QWidget* parent)
    : QDialog(parent)
    , m_pList(new QTreeWidget(this))
{
    m_pList->setObjectName(QStringLiteral("list1001"));
    m_pList->setRootIsDecorated(false);
    m_pList->setUniformRowHeights(true);
    m_pList->setAllColumnsShowFocus(true);
    m_pList->setHeaderLabels({QStringLiteral("Navegador"), QStringLiteral("Perfil"),
                              QStringLiteral("Carpeta"), QStringLiteral("Marcadores")});
    for (size_t k = 0; k < profiles.size(); ++k) {
        const long long count = k < counts.size() ? counts[k] : -1;
        auto* row = new QTreeWidgetItem(m_pList,
                                        {profiles[k].browser, profiles[k].name,
                                         QDir::toNativeSeparators(profiles[k].dir),
                                         count < 0 ? QStringLiteral("-") : QString::number(count)});
        row->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    }
    // Long folders give way in the middle, so the count stays in sight.
    m_pList->setTextElideMode(Qt::ElideMiddle);
    QHeaderView* header = m_pList->header();
    header->setStretchLastSection(false);
    for (int column : {0, 1, 3})
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(2, QHeaderView::Stretch);
    m_pList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pList->setMinimumWidth(m_pList->fontMetrics().averageCharWidth() * 90);
    connect(m_pList, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* label = new QLabel(QStringLiteral("Perfiles encontrados:"), this);
    label->setBuddy(m_pList);
    auto* body = new QVBoxLayout;
    body->addWidget(label);
    body->addWidget(m_pList);
    KivFolderDlg::FinishDialog(this, 150, "Elegir perfil", body, 320);
}

int CProfileDlg::DoModal()
{
    if (QTreeWidgetItem* row = m_pList->topLevelItem(m_nSelected))
        m_pList->setCurrentItem(row);
    m_pList->setFocus();
    return CUi::Get().DoModal(*this) == QDialog::Accepted ? CUi::IDOK : CUi::IDCANCEL;
}

void CProfileDlg::accept()
{
    const int row = m_pList->indexOfTopLevelItem(m_pList->currentItem());
    if (row < 0)
        return; // nothing chosen: the dialog stays
    m_nSelected = row;
    QDialog::accept();
}
