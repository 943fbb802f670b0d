#include "ItemDialog.h"

#include "framework/TextRules.h"
#include "framework/Ui.h"
#include "res/Strings.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>

#include <limits>

namespace {

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

QLineEdit* MakeEdit(QWidget* parent, int id)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QStringLiteral("edit%1").arg(id));
    // Qt's default limit would cut long data: URLs and bookmarklets without a word.
    edit->setMaxLength(std::numeric_limits<int>::max());
    return edit;
}

}  // namespace

CItemDlg::CItemDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dialog130"));
    setWindowTitle(QStringLiteral("Elemento"));
    setModal(true);

    m_pName = MakeEdit(this, 1000);
    m_pUrl = MakeEdit(this, 1001);
    m_pComment = MakeEdit(this, 1002);

    auto* grid = new QGridLayout;
    const auto addRow = [&](int row, const char* text, QLineEdit* edit) {
        auto* label = new QLabel(QString::fromUtf8(text), this);
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
    };
    addRow(0, "Nombre:", m_pName);
    addRow(1, "Url:", m_pUrl);
    addRow(2, "Comentario:", m_pComment);

    auto* ok = new QPushButton(QStringLiteral("Aceptar"), this);
    ok->setObjectName(QStringLiteral("button1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancelar"), this);
    cancel->setObjectName(QStringLiteral("button2"));
    connect(ok, &QPushButton::clicked, this, &CItemDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CItemDlg::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    setTabOrder(m_pName, m_pUrl);
    setTabOrder(m_pUrl, m_pComment);
    setTabOrder(m_pComment, ok);
    setTabOrder(ok, cancel);

    // The template is 233 dialog units wide: about 58 average characters.
    setMinimumWidth(fontMetrics().averageCharWidth() * 58);
}

void CItemDlg::UpdateData(bool saveAndValidate)
{
    // A field that still shows what it was given gives back the member's own bytes,
    // so a plain OK changes nothing, whatever the edit could not show exactly.
    const auto exchange = [saveAndValidate](QLineEdit* edit, QString& shown, std::string& member) {
        if (!saveAndValidate) {
            shown = ToQt(member);
            edit->setText(shown);
        } else if (edit->text() != shown) {
            member = edit->text().toStdString();
        }
    };
    exchange(m_pName, m_shown[0], m_strName);
    exchange(m_pUrl, m_shown[1], m_strUrl);
    exchange(m_pComment, m_shown[2], m_strComment);
}

void CItemDlg::accept()
{
    UpdateData(true);
    QDialog::accept();
}

int CItemDlg::DoModal()
{
    UpdateData(false);
    m_pName->setFocus();
    return CUi::Get().DoModal(*this) == QDialog::Accepted ? CUi::IDOK : CUi::IDCANCEL;
}

namespace KivItem {

std::string UrlFromClipboardText(std::string_view text)
{
    if (text.size() >= 100)
        return {};
    // Today's addresses are mostly https.
    if (text.find("http://") == std::string_view::npos
        && text.find("https://") == std::string_view::npos
        && text.find("ftp://") == std::string_view::npos)
        return {};
    return KivText::Trim(text);
}

std::string UrlFromClipboard()
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data || !data->hasText())
        return {};
    return UrlFromClipboardText(data->text().toStdString());
}

}  // namespace KivItem
