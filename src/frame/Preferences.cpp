#include "Preferences.h"

#include "framework/Ui.h"
#include "res/Strings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// Dialog units of the page templates, turned into pixels of the dialog font.
QSize TemplateSize(const QWidget* page, int widthDlu, int heightDlu)
{
    const QFontMetrics metrics(page->font());
    return {metrics.averageCharWidth() * widthDlu / 4, metrics.height() * heightDlu / 8};
}

QCheckBox* MakeCheck(QWidget* parent, int id, const char* text)
{
    auto* check = new QCheckBox(QString::fromUtf8(text), parent);
    check->setObjectName(QStringLiteral("check%1").arg(id));
    return check;
}

QPushButton* MakeButton(QWidget* parent, int id, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QStringLiteral("button%1").arg(id));
    button->setAutoDefault(false);
    return button;
}

// What "..." offers. Windows programs end in .exe; elsewhere a program is any file
// that may be executed, which a name pattern cannot tell, so every file is listed
// and the choice is checked afterwards.
#ifdef Q_OS_WIN
const QString kProgramFilter = QStringLiteral("Exe Files (*.exe)|*.exe||");
const QString kProgramExt = QStringLiteral("exe");
#else
const QString kProgramFilter = QStringLiteral("Programas (*)|*||");
const QString kProgramExt;
#endif

}  // namespace

// ---------------------------------------------------------------------------

CPageGeneral::CPageGeneral(QWidget* parent) : CPropertyPage(parent)
{
    setObjectName(QStringLiteral("page135"));
    m_pOpenLastFile = MakeCheck(this, 1001, "Abrir con el último archivo abierto");
    m_pKeepWndSize = MakeCheck(this, 1003, "Mantener tamaño de ventana");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pOpenLastFile);
    layout->addWidget(m_pKeepWndSize);
    layout->addStretch();
    setMinimumSize(TemplateSize(this, 186, 81));
}

void CPageGeneral::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_bOpenLastFile = m_pOpenLastFile->isChecked() ? 1 : 0;
        m_bKeepWndSize = m_pKeepWndSize->isChecked() ? 1 : 0;
    } else {
        m_pOpenLastFile->setChecked(m_bOpenLastFile != 0);
        m_pKeepWndSize->setChecked(m_bKeepWndSize != 0);
    }
}

// ---------------------------------------------------------------------------

QStringList CPageBrowser::BrowserNames()
{
    const QString first = KivStrings::CurrentLanguage() == KivStrings::Lang1036
                              ? QStringLiteral("Défaut")
                              : QStringLiteral("Default");
    return {first, QStringLiteral("Internet Explorer"), QStringLiteral("Netscape Navigator"),
            QStringLiteral("Opera")};
}

CPageBrowser::CPageBrowser(QWidget* parent) : CPropertyPage(parent)
{
    setObjectName(QStringLiteral("page138"));
    m_pNewWindow = MakeCheck(this, 1002, "Abrir marcador en una nueva ventana");

    m_pBrowser = new QComboBox(this);
    m_pBrowser->setObjectName(QStringLiteral("combo1009"));
    m_pBrowser->addItems(BrowserNames()); // unsorted: the index is the browser's number
    m_pBrowser->setCurrentIndex(-1);

    m_pProgram = new QLineEdit(this);
    m_pProgram->setObjectName(QStringLiteral("edit1010"));
    m_pBrowse = MakeButton(this, 1011, QStringLiteral("..."));
    m_pBrowse->setMaximumWidth(m_pBrowse->fontMetrics().horizontalAdvance(QStringLiteral("...")) * 4);

    auto* openWith = new QLabel(QStringLiteral("Abrir con : "), this);
    openWith->setBuddy(m_pBrowser);
    auto* program = new QLabel(QStringLiteral("Programa :"), this);
    program->setBuddy(m_pProgram);

    auto* grid = new QGridLayout;
    grid->addWidget(openWith, 0, 0);
    grid->addWidget(m_pBrowser, 0, 1, 1, 2);
    grid->addWidget(program, 1, 0);
    grid->addWidget(m_pProgram, 1, 1);
    grid->addWidget(m_pBrowse, 1, 2);
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pNewWindow);
    layout->addLayout(grid);
    layout->addStretch();
    setMinimumSize(TemplateSize(this, 216, 82));

    // Only what the user does counts: a selection made by the program (showing the
    // members) is no selection change.
    connect(m_pBrowser, &QComboBox::activated, this, [this] { OnSelChangeBrowser(); });
    connect(m_pBrowse, &QPushButton::clicked, this, [this] { OnBrowse(); });
    connect(m_pProgram, &QLineEdit::textEdited, this, &CPageBrowser::OnProgramEdited);
}

void CPageBrowser::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_bNewWindow = m_pNewWindow->isChecked() ? 1 : 0;
        m_nBrowser = m_pBrowser->currentIndex();
        m_strProgram = m_pProgram->text();
    } else {
        m_pNewWindow->setChecked(m_bNewWindow != 0);
        // A number the list does not have leaves it without a selection.
        m_pBrowser->setCurrentIndex(m_nBrowser >= 0 && m_nBrowser < m_pBrowser->count() ? m_nBrowser
                                                                                       : -1);
        m_pProgram->setText(m_strProgram);
    }
}

void CPageBrowser::OnBrowse()
{
    const QString path = CUi::Get().GetOpenFileName(kProgramFilter, kProgramExt);
    if (path.isEmpty())
        return;
    if (!KivPref::IsProgramFile(path)) {
        CUi::Get().MessageBox(QStringLiteral("%1\nno es un programa.").arg(path), QString(),
                              CUi::MB_OK, CUi::MB_ICONWARNING);
        return;
    }
    CWaitCursor wait;
    UpdateData(true);
    if (m_nBrowser >= 1 && m_nBrowser <= 3) {
        m_strPaths[m_nBrowser - 1] = path;
        m_pProgram->setText(path);
    } else if (m_nBrowser == 0) {
        // Shown, but "Default" has no program of its own to keep it in.
        m_strProgram = path;
        m_pProgram->setText(path);
    }
}

void CPageBrowser::OnSelChangeBrowser()
{
    UpdateData(true);
    const bool program = m_nBrowser >= 1 && m_nBrowser <= 3;
    m_pProgram->setText(program ? m_strPaths[m_nBrowser - 1] : QString());
    // The enabled state changes only here: when the sheet opens both are enabled.
    m_pProgram->setEnabled(m_nBrowser != 0);
    m_pBrowse->setEnabled(m_nBrowser != 0);
}

void CPageBrowser::OnProgramEdited(const QString& text)
{
    // A path typed for a browser is that browser's program, as if chosen with "...".
    const int index = m_pBrowser->currentIndex();
    if (index >= 1 && index <= 3)
        m_strPaths[index - 1] = text;
}

// ---------------------------------------------------------------------------

CDlgPref::CDlgPref(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("sheetPreferences"));
    setWindowTitle(KivStrings::Load(IDS_PREFERENCES));
    setModal(true);

    m_pTabs = new QTabWidget(this);
    m_pTabs->setObjectName(QStringLiteral("tabs"));

    // OK and Cancel only: the settings change when the sheet closes, never before.
    auto* ok = MakeButton(this, 1, QStringLiteral("Aceptar"));
    ok->setDefault(true);
    auto* cancel = MakeButton(this, 2, QStringLiteral("Cancelar"));
    connect(ok, &QPushButton::clicked, this, &CDlgPref::accept);
    connect(cancel, &QPushButton::clicked, this, &CDlgPref::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTabs);
    layout->addLayout(buttons);
}

void CDlgPref::AddPage(CPropertyPage* page, const QString& title)
{
    m_pages.append(page);
    m_pTabs->addTab(page, title);
}

void CDlgPref::UpdatePages(bool saveAndValidate)
{
    for (CPropertyPage* page : std::as_const(m_pages))
        page->UpdateData(saveAndValidate);
}

int CDlgPref::DoModal()
{
    m_pTabs->setCurrentIndex(0);
    UpdatePages(false);
    return CUi::Get().DoModal(*this) == QDialog::Accepted ? CUi::IDOK : CUi::IDCANCEL;
}

void CDlgPref::accept()
{
    UpdatePages(true);
    QDialog::accept();
}

// ---------------------------------------------------------------------------

namespace KivPref {

bool IsProgramFile(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

int RunPreferences(CPreferenceValues& values, QWidget* parent)
{
    CDlgPref sheet(parent);
    auto* general = new CPageGeneral;
    auto* browser = new CPageBrowser;
    sheet.AddPage(general, QStringLiteral("General"));
    sheet.AddPage(browser, QStringLiteral("Navegador"));

    general->m_bOpenLastFile = values.openLastFile ? 1 : 0;
    general->m_bKeepWndSize = values.keepWndSize ? 1 : 0;
    browser->m_bNewWindow = values.newWindow ? 1 : 0;
    browser->m_nBrowser = values.browserChoice;
    for (int i = 0; i < 3; ++i)
        browser->m_strPaths[i] = values.browsers[i];
    if (values.browserChoice >= 1 && values.browserChoice <= 3)
        browser->m_strProgram = values.browsers[values.browserChoice - 1];

    const int result = sheet.DoModal();
    if (result != CUi::IDOK)
        return result;

    values.openLastFile = general->m_bOpenLastFile == 1;
    values.keepWndSize = general->m_bKeepWndSize == 1;
    values.browserChoice = browser->m_nBrowser;
    values.newWindow = browser->m_bNewWindow == 1;
    for (int i = 0; i < 3; ++i)
        values.browsers[i] = browser->m_strPaths[i];
    return result;
}

}  // namespace KivPref
