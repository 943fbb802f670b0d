#include "CompareDlg.h"

#include "FavoritesDlg.h"
#include "framework/Ui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace KivFolderDlg;

CCompareDlg::CCompareDlg(QWidget* parent) : QDialog(parent)
{
    m_pFolder = MakeFolderCombo(this, 1001);
    QPushButton* browseFolder = MakeBrowseButton(this, 1002);
    m_pSubfolders = MakeCheck(this, 1003, "Incluir subcarpetas");
    m_pNetscapeFile = MakeEdit(this, 1004);
    QPushButton* browseNetscape = MakeBrowseButton(this, 1005);
    m_pOperaFile = MakeEdit(this, 1006);
    QPushButton* browseOpera = MakeBrowseButton(this, 1007);

    auto* grid = new QGridLayout;
    const auto addLabel = [&](int row, const char* text, QWidget* buddy) {
        auto* label = new QLabel(QString::fromUtf8(text), this);
        label->setBuddy(buddy);
        grid->addWidget(label, row, 0);
    };
    addLabel(0, "Carpeta IE:", m_pFolder);
    grid->addWidget(m_pFolder, 0, 1);
    grid->addWidget(browseFolder, 0, 2);
    grid->addWidget(m_pSubfolders, 1, 1);
    addLabel(2, "Archivo Netscape:", m_pNetscapeFile);
    grid->addWidget(m_pNetscapeFile, 2, 1);
    grid->addWidget(browseNetscape, 2, 2);
    addLabel(3, "Archivo Opera:", m_pOperaFile);
    grid->addWidget(m_pOperaFile, 3, 1);
    grid->addWidget(browseOpera, 3, 2);
    grid->setColumnStretch(1, 1);
    // The template leaves a gap between the folder block and the file rows.
    grid->setRowMinimumHeight(1, m_pSubfolders->sizeHint().height() * 3 / 2);

    connect(browseFolder, &QPushButton::clicked, this, [this] {
        const QString path = BrowseForFolder();
        if (!path.isEmpty())
            m_pFolder->setEditText(path);
    });
    const auto browseFile = [](QLineEdit* edit, const char* filter, const char* ext) {
        const QString path = CUi::Get().GetOpenFileName(QString::fromLatin1(filter),
                                                        QString::fromLatin1(ext));
        if (!path.isEmpty())
            edit->setText(path);
    };
    connect(browseNetscape, &QPushButton::clicked, this, [this, browseFile] {
        browseFile(m_pNetscapeFile, "Bookmark Files (*.htm)|*.htm||", "htm");
    });
    connect(browseOpera, &QPushButton::clicked, this, [this, browseFile] {
        browseFile(m_pOperaFile, "Opera Files (*.adr)|*.adr||", "adr");
    });

    FinishDialog(this, 137, "Comparar", grid, 237);
}

void CCompareDlg::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_strFolder = m_pFolder->currentText();
        m_bSubfolders = m_pSubfolders->isChecked();
        m_strNetscapeFile = m_pNetscapeFile->text();
        m_strOperaFile = m_pOperaFile->text();
    } else {
        m_pFolder->setEditText(m_strFolder);
        m_pSubfolders->setChecked(m_bSubfolders);
        m_pNetscapeFile->setText(m_strNetscapeFile);
        m_pOperaFile->setText(m_strOperaFile);
    }
}

void CCompareDlg::accept()
{
    UpdateData(true);
    QDialog::accept();
}

int CCompareDlg::DoModal()
{
    // The list offers the folders that exist; the remembered folder stays the text.
    m_pFolder->clear();
    m_pFolder->addItems(SpecialFolders());
    UpdateData(false);
    m_pFolder->setFocus();
    return CUi::Get().DoModal(*this) == QDialog::Accepted ? CUi::IDOK : CUi::IDCANCEL;
}
