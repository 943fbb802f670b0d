#include "AboutDlg.h"

#include "HyperLink.h"
#include "framework/Ui.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

const char* const CAboutDlg::kVersionLine = "Kiv Versión 1.4.0";
const char* const CAboutDlg::kContactAddress = "kiv@halvane.example";
const char* const CAboutDlg::kWebAddress = "http://www.halvane.example/kiv/";

namespace {

QLabel* MakeStatic(QWidget* parent, const char* text)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent), m_strAddress(QString::fromLatin1(kContactAddress))
{
    setObjectName(QStringLiteral("dialog100"));
    setWindowTitle(QStringLiteral("Acerca de kiv"));
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/kiv.svg")).pixmap(32, 32));

    auto* name = MakeStatic(this, "");
    name->setText(QString::fromUtf8(kVersionLine)
                  + QStringLiteral("\nTraducción al francés: Odile Marchetti"));
    auto* notice = MakeStatic(this, "(c) 1999-2026 Tomás Halvane");

    auto* ok = new QPushButton(QStringLiteral("Aceptar"), this);
    ok->setObjectName(QStringLiteral("button1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CAboutDlg::accept);

    // Selectable and copyable, but not editable.
    m_pAddress = new QLineEdit(m_strAddress, this);
    m_pAddress->setObjectName(QStringLiteral("edit1002"));
    m_pAddress->setReadOnly(true);
    m_pAddress->setFocusPolicy(Qt::StrongFocus);

    m_wndLink = new CHyperLink(QString::fromLatin1(kWebAddress), this);
    m_wndLink->setObjectName(QStringLiteral("static1009"));
    m_wndLink->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* german = MakeStatic(this, "Traducción al alemán: Jens Kolbeck <jens.kolbeck@halvane.example>");
    auto* help = MakeStatic(this, "Páginas de ayuda: Rosa Quiroga <rosa.quiroga@halvane.example>");

    auto* top = new QGridLayout;
    top->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    top->addWidget(name, 0, 1);
    top->addWidget(notice, 1, 1);
    top->addWidget(ok, 0, 2, Qt::AlignTop);
    top->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_pAddress);
    layout->addWidget(m_wndLink);
    layout->addWidget(german);
    layout->addWidget(help);

    // The template is 235 dialog units wide: about 59 average characters.
    setMinimumWidth(fontMetrics().averageCharWidth() * 59);
}

int CAboutDlg::DoModal()
{
    m_pAddress->setText(m_strAddress);
    return CUi::Get().DoModal(*this) == QDialog::Accepted ? CUi::IDOK : CUi::IDCANCEL;
}
