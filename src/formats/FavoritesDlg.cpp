#include "FavoritesDlg.h"

#include "Favorites.h"
#include "framework/Ui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace KivFolderDlg {

QStringList SpecialFolders()
{
    QStringList folders;
    for (const QString& path : {FavoritesFolder(), DesktopFolder()})
        if (!path.isEmpty())
            folders << path;
    return folders;
}

QString BrowseForFolder() { return CUi::Get().BrowseForFolder(QString(), QString()); }

QComboBox* MakeFolderCombo(QWidget* parent, int id)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QStringLiteral("combo%1").arg(id));
    combo->setEditable(true);
    // A typed path is the text, not a new list entry.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(20);
    return combo;
}

QLineEdit* MakeEdit(QWidget* parent, int id)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QStringLiteral("edit%1").arg(id));
    return edit;
}

QCheckBox* MakeCheck(QWidget* parent, int id, const char* text)
{
    auto* check = new QCheckBox(QString::fromUtf8(text), parent);
    check->setObjectName(QStringLiteral("check%1").arg(id));
    return check;
}

QPushButton* MakeBrowseButton(QWidget* parent, int id)
{
    auto* button = new QPushButton(QStringLiteral("..."), parent);
    button->setObjectName(QStringLiteral("button%1").arg(id));
    button->setAutoDefault(false);
    button->setMaximumWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("...")) * 4);
    return button;
}

void FinishDialog(QDialog* dialog, int templateId, const char* caption, QLayout* body,
                  int templateWidthDlu)
{
    dialog->setObjectName(QStringLiteral("dialog%1").arg(templateId));
    dialog->setWindowTitle(QString::fromUtf8(caption));
    dialog->setModal(true);

    auto* ok = new QPushButton(QStringLiteral("Aceptar"), dialog);
    ok->setObjectName(QStringLiteral("button1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancelar"), dialog);
    cancel->setObjectName(QStringLiteral("button2"));
    cancel->setAutoDefault(false);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addSpacing(ok->fontMetrics().averageCharWidth() * 4);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(body);
    layout->addStretch();
    layout->addSpacing(dialog->fontMetrics().height() / 2);
    layout->addLayout(buttons);

    // A dialog unit across is a quarter of the average character width.
    dialog->setMinimumWidth(dialog->fontMetrics().averageCharWidth() * templateWidthDlu / 4);
}

}  // namespace KivFolderDlg

using namespace KivFolderDlg;

// ---------------------------------------------------------------------------

CImportShortcutsDlg::CImportShortcutsDlg(QWidget* parent) : QDialog(parent)
{
    m_pFolder = MakeFolderCombo(this, 1001);
    QPushButton* browse = MakeBrowseButton(this, 1002);
    m_pSubfolders = MakeCheck(this, 1003, "Incluir subcarpetas");
    m_pDelete = MakeCheck(this, 1005, "Borrar acceso directo");

    auto* label = new QLabel(QStringLiteral("Carpeta :"), this);
    label->setBuddy(m_pFolder);

    auto* grid = new QGridLayout;
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_pFolder, 0, 1);
    grid->addWidget(browse, 0, 2);
    grid->addWidget(m_pSubfolders, 1, 1);
    grid->addWidget(m_pDelete, 2, 1);
    grid->setColumnStretch(1, 1);

    connect(browse, &QPushButton::clicked, this, [this] {
        const QString path = BrowseForFolder();
        if (!path.isEmpty())
            m_pFolder->setEditText(path);
    });

    FinishDialog(this, 104, "Importar accesos directos", grid, 237);
}

void CImportShortcutsDlg::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_strFolder = m_pFolder->currentText();
        m_bSubfolders = m_pSubfolders->isChecked();
        m_bDelete = m_pDelete->isChecked();
    } else {
        m_pFolder->setEditText(m_strFolder);
        m_pSubfolders->setChecked(m_bSubfolders);
        m_pDelete->setChecked(m_bDelete);
    }
}

void CImportShortcutsDlg::accept()
{
    UpdateData(true);
    QDialog::accept();
}

int CImportShortcutsDlg::DoModal()
{
    m_pFolder->clear();
    m_pFolder->addItems(SpecialFolders());
    UpdateData(false);
    // The list offers the folders that exist; the first of them becomes the text.
    if (m_pFolder->count() > 0) {
        m_pFolder->setCurrentIndex(0);
        m_pFolder->setEditText(m_pFolder->itemText(0));
    }
    m_pFolder->setFocus();
    return CUi::Get().DoModal(*this) == QDialog::Accepted ? CUi::IDOK : CUi::IDCANCEL;
}

// ---------------------------------------------------------------------------

CExportShortcutsDlg::CExportShortcutsDlg(QWidget* parent) : QDialog(parent)
{
    m_pFolder = MakeEdit(this, 1001);
    QPushButton* browse = MakeBrowseButton(this, 1002);
    m_pRemoveOld = MakeCheck(this, 1005, "Quitar accesos directos previos");

    auto* label = new QLabel(QStringLiteral("Carpeta:"), this);
    label->setBuddy(m_pFolder);

    auto* grid = new QGridLayout;
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_pFolder, 0, 1);
    grid->addWidget(browse, 0, 2);
    grid->addWidget(m_pRemoveOld, 1, 1);
    grid->setColumnStretch(1, 1);

    connect(browse, &QPushButton::clicked, this, [this] {
        const QString path = BrowseForFolder();
        if (!path.isEmpty())
            m_pFolder->setText(path);
    });

    FinishDialog(this, 136, "Exportar accesos directos", grid, 186);
}

void CExportShortcutsDlg::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_strFolder = m_pFolder->text();
        m_bRemoveOld = m_pRemoveOld->isChecked();
    } else {
        m_pFolder->setText(m_strFolder);
        m_pRemoveOld->setChecked(m_bRemoveOld);
    }
}

void CExportShortcutsDlg::accept()
{
    UpdateData(true);
    QDialog::accept();
}

int CExportShortcutsDlg::DoModal()
{
    UpdateData(false);
    m_pFolder->setFocus();
    return CUi::Get().DoModal(*this) == QDialog::Accepted ? CUi::IDOK : CUi::IDCANCEL;
}
