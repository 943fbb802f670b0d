#include "LinkCheckDlg.h"

#include "Collection.h"
#include "LinkCache.h"
#include "LinkChecker.h"
#include "LinkResultsModel.h"
#include "framework/Ui.h"
#include "model/KivDoc.h"
#include "res/Strings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

#include <set>

CLinkCheckDlg::CLinkCheckDlg(CKivDoc& doc, CFolderNode* current, QWidget* parent)
    : QDialog(parent)
    , m_doc(doc)
    , m_pCurrent(current)
    , m_checker(new CLinkChecker(this))
    , m_cache(new CLinkCache)
    , m_results(new CLinkResultsModel(doc, this))
    , m_filter(new CLinkResultsFilter(this))
{
    setObjectName(QStringLiteral("linkCheckDialog"));
    setWindowTitle(QStringLiteral("Comprobar enlaces"));
    const bool folderUsable = current && !doc.IsTrash(current);
    m_pFolder = new QRadioButton(QStringLiteral("Carpeta actual y sus subcarpetas"), this);
    m_pFolder->setObjectName(QStringLiteral("scopeFolder"));
    m_pFolder->setEnabled(folderUsable);
    m_pAll = new QRadioButton(QStringLiteral("Toda la colección"), this);
    m_pAll->setObjectName(QStringLiteral("scopeAll"));
    (folderUsable ? m_pFolder : m_pAll)->setChecked(true);
    m_pMaxAge = new QSpinBox(this);
    m_pMaxAge->setObjectName(QStringLiteral("maxAge"));
    m_pMaxAge->setRange(0, 365);
    const auto daySuffix = [this](int days) {
        m_pMaxAge->setSuffix(days == 1 ? QStringLiteral(" día") : QStringLiteral(" días"));
    };
    connect(m_pMaxAge, &QSpinBox::valueChanged, this, daySuffix);
    m_pMaxAge->setValue(1);
    daySuffix(1);
    m_pStart = new QPushButton(QStringLiteral("&Comprobar"), this);
    m_pStart->setObjectName(QStringLiteral("start"));
    m_pCancel = new QPushButton(QStringLiteral("Ca&ncelar"), this);
    m_pCancel->setObjectName(QStringLiteral("cancel"));
    m_pCancel->setEnabled(false);
    m_pProgress = new QProgressBar(this);
    m_pProgress->setObjectName(QStringLiteral("progress"));
    // At 0% rather than reset: a reset bar draws as an empty box that reads as a text field.
    m_pProgress->setRange(0, 1);
    m_pProgress->setValue(0);
    m_pCounts = new QLabel(this);
    m_pCounts->setObjectName(QStringLiteral("counts"));

    m_pKind = new QComboBox(this);
    m_pKind->setObjectName(QStringLiteral("kind"));
    m_pKind->addItem(QStringLiteral("Todos"), CLinkResultsFilter::All);
    m_pKind->addItem(QStringLiteral("Muertos"), CLinkResultsFilter::Dead);
    m_pKind->addItem(QStringLiteral("Redirigidos"), CLinkResultsFilter::Redirected);
    m_pKind->addItem(QStringLiteral("Accesibles"), CLinkResultsFilter::Reached);
    m_pKind->addItem(QStringLiteral("Sin comprobar"), CLinkResultsFilter::NotChecked);
    m_pKind->addItem(QStringLiteral("Pendientes"), CLinkResultsFilter::Pending);
    m_pText = new QLineEdit(this);
    m_pText->setObjectName(QStringLiteral("filterText"));
    m_pText->setPlaceholderText(QStringLiteral("Filtrar"));

    m_filter->setSourceModel(m_results);
    m_filter->setSortRole(Qt::DisplayRole);
    m_pTable = new QTableView(this);
    m_pTable->setObjectName(QStringLiteral("results"));
    m_pTable->setModel(m_filter);
    m_pTable->setSortingEnabled(true);
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->verticalHeader()->hide();
    m_pTable->verticalHeader()->setDefaultSectionSize(m_pTable->fontMetrics().height() + 6);
    m_pTable->horizontalHeader()->setStretchLastSection(false);
    m_pTable->horizontalHeader()->resizeSection(CLinkResultsModel::COL_STATUS, 160);
    m_pTable->horizontalHeader()->resizeSection(CLinkResultsModel::COL_NAME, 180);
    m_pTable->horizontalHeader()->resizeSection(CLinkResultsModel::COL_URL, 260);
    m_pTable->horizontalHeader()->resizeSection(CLinkResultsModel::COL_FINAL, 200);

    m_pTrash = new QPushButton(QStringLiteral("Muertos a la &papelera"), this);
    m_pTrash->setObjectName(QStringLiteral("trashDead"));
    m_pCheck = new QPushButton(QStringLiteral("A la carpeta Compro&bar"), this);
    m_pCheck->setObjectName(QStringLiteral("toCheckFolder"));
    m_pUpdate = new QPushButton(QStringLiteral("Actualizar &redirecciones permanentes"), this);
    m_pUpdate->setObjectName(QStringLiteral("updateRedirects"));
    m_pOpen = new QPushButton(QStringLiteral("&Abrir"), this);
    m_pOpen->setObjectName(QStringLiteral("open"));
    auto* close = new QDialogButtonBox(this);
    close->addButton(QStringLiteral("Cerrar"), QDialogButtonBox::RejectRole);

    auto* scope = new QGridLayout;
    scope->addWidget(m_pFolder, 0, 0);
    scope->addWidget(m_pAll, 1, 0);
    scope->addWidget(new QLabel(QStringLiteral("Omitir los comprobados hace menos de"), this), 0,
                     1);
    scope->addWidget(m_pMaxAge, 0, 2);
    scope->addWidget(m_pStart, 0, 3);
    scope->addWidget(m_pCancel, 1, 3);
    auto* progress = new QHBoxLayout;
    progress->addWidget(m_pProgress);
    progress->addWidget(m_pCounts);
    auto* filter = new QHBoxLayout;
    filter->addWidget(m_pKind);
    filter->addWidget(m_pText);
    auto* actions = new QHBoxLayout;
    actions->addWidget(m_pTrash);
    actions->addWidget(m_pCheck);
    actions->addWidget(m_pUpdate);
    actions->addWidget(m_pOpen);
    actions->addStretch();
    actions->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(scope);
    layout->addLayout(progress);
    layout->addLayout(filter);
    layout->addWidget(m_pTable);
    layout->addLayout(actions);
    resize(960, 560);

    connect(m_pStart, &QPushButton::clicked, this, &CLinkCheckDlg::OnStart);
    connect(m_pCancel, &QPushButton::clicked, this, &CLinkCheckDlg::OnCancel);
    connect(m_pTrash, &QPushButton::clicked, this, &CLinkCheckDlg::OnTrashDead);
    connect(m_pCheck, &QPushButton::clicked, this, &CLinkCheckDlg::OnCheckFolder);
    connect(m_pUpdate, &QPushButton::clicked, this, &CLinkCheckDlg::OnUpdateRedirects);
    connect(m_pOpen, &QPushButton::clicked, this, &CLinkCheckDlg::OnOpen);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_pKind, &QComboBox::currentIndexChanged, this, [this] {
        m_filter->SetKind(CLinkResultsFilter::Kind(m_pKind->currentData().toInt()));
    });
    connect(m_pText, &QLineEdit::textChanged, m_filter, &CLinkResultsFilter::SetText);
    connect(m_checker, &CLinkChecker::resultReady, this, &CLinkCheckDlg::OnResult);
    connect(m_checker, &CLinkChecker::finished, this, &CLinkCheckDlg::OnFinished);
    connect(m_pTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CLinkCheckDlg::UpdateButtons);
    UpdateButtons();
}

CLinkCheckDlg::~CLinkCheckDlg()
{
    // Nothing keeps running once the dialog is gone.
    m_checker->blockSignals(true);
    m_checker->Cancel();
    delete m_cache;
}

int CLinkCheckDlg::DoModal()
{
    return CUi::Get().DoModal(*this) == QDialog::Accepted ? CUi::IDOK : CUi::IDCANCEL;
}

void CLinkCheckDlg::OnStart()
{
    if (m_checker->IsRunning())
        return;
    if (!m_cache->IsOpen() && !m_cache->Open()) {
        CUi::Get().MessageBox(KivStrings::Load(IDS_LINK_CACHE_FAILED).arg(m_cache->LastError()),
                              QString(), CUi::MB_OK, CUi::MB_ICONWARNING);
    }
    const CFolderNode* scope = m_pFolder->isChecked() && m_pCurrent ? m_pCurrent : &m_doc.m_root;
    m_results->SetTargets(BookmarksBelow(m_doc, scope));
    m_nReached = m_nDead = m_nNotChecked = 0;
    CLinkChecker::Options options;
    options.maxAgeDays = m_pMaxAge->value();
    m_checker->SetOptions(options);
    m_checker->SetCache(m_cache->IsOpen() ? m_cache : nullptr);
    m_pStart->setEnabled(false);
    m_pCancel->setEnabled(true);
    m_pProgress->setRange(0, std::max(1, m_results->rowCount()));
    m_pProgress->setValue(0);
    m_checker->Start(m_results->Urls());
    UpdateProgress();
}

void CLinkCheckDlg::keyPressEvent(QKeyEvent* event)
{
    // Return is the start button's everywhere else; in the filter or on the results it
    // would start the check over and drop what it found.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        QWidget* focus = focusWidget();
        if (focus == m_pTable) {
            OnOpen();
            return;
        }
        if (focus == m_pText || focus == m_pKind) {
            m_pTable->setFocus();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void CLinkCheckDlg::OnCancel()
{
    m_checker->Cancel();
}

void CLinkCheckDlg::OnResult(const CLinkResult& result)
{
    m_results->AddResult(result);
    if (IsReached(result.status))
        ++m_nReached;
    else if (IsDead(result.status))
        ++m_nDead;
    else
        ++m_nNotChecked;
    UpdateProgress();
}

void CLinkCheckDlg::OnFinished()
{
    m_pStart->setEnabled(true);
    m_pCancel->setEnabled(false);
    UpdateProgress();
    UpdateButtons();
}

void CLinkCheckDlg::UpdateProgress()
{
    m_pProgress->setValue(m_checker->Done());
    m_pCounts->setText(KivStrings::Load(IDS_LINKS_PROGRESS)
                           .arg(m_checker->Done())
                           .arg(m_results->rowCount())
                           .arg(m_nReached)
                           .arg(m_nDead)
                           .arg(m_nNotChecked));
}

std::vector<int> CLinkCheckDlg::ActionRows() const
{
    std::vector<int> rows;
    const QModelIndexList selected = m_pTable->selectionModel()->selectedRows();
    if (!selected.isEmpty()) {
        for (const QModelIndex& idx : selected)
            rows.push_back(m_filter->mapToSource(idx).row());
    } else {
        for (int r = 0; r < m_filter->rowCount(); ++r)
            rows.push_back(m_filter->mapToSource(m_filter->index(r, 0)).row());
    }
    return rows;
}

void CLinkCheckDlg::UpdateButtons()
{
    const bool any = m_results->rowCount() > 0;
    m_pTrash->setEnabled(any);
    m_pCheck->setEnabled(any);
    m_pUpdate->setEnabled(any);
    m_pOpen->setEnabled(m_pTable->selectionModel()->hasSelection() && m_openUrl != nullptr);
}

void CLinkCheckDlg::OnTrashDead()
{
    std::set<uint32_t> bookmarks;
    for (int row : ActionRows())
        if (m_results->HasResult(row) && IsDead(m_results->Result(row).status))
            for (uint32_t i : m_results->Bookmarks(row))
                bookmarks.insert(i);
    if (bookmarks.empty())
        return;
    const QString ask = KivStrings::Load(IDS_TRASH_DEAD_ASK).arg(bookmarks.size());
    if (CUi::Get().MessageBox(ask, QString(), CUi::MB_YESNO, CUi::MB_ICONQUESTION) != CUi::IDYES)
        return;
    if (m_doc.TrashBookmarks({bookmarks.begin(), bookmarks.end()}) > 0)
        RefreshAllViews(m_doc);
}

void CLinkCheckDlg::OnCheckFolder()
{
    std::set<uint32_t> bookmarks;
    for (int row : ActionRows())
        if (m_results->HasResult(row) && IsDead(m_results->Result(row).status))
            for (uint32_t i : m_results->Bookmarks(row))
                bookmarks.insert(i);
    const size_t listed
        = m_doc.LinkBookmarks(&m_doc.m_check, {bookmarks.begin(), bookmarks.end()});
    if (listed > 0) {
        // Not a compare, though it fills the same folder.
        m_doc.NameStep(CDocStep::Kind::CopyToCheck, listed);
        RefreshAllViews(m_doc);
    }
}

void CLinkCheckDlg::OnUpdateRedirects()
{
    std::vector<std::pair<uint32_t, std::string>> updates;
    for (int row : ActionRows()) {
        if (!m_results->HasResult(row))
            continue;
        const CLinkResult& r = m_results->Result(row);
        // A web page moved to a local file or a script is no place a browser follows it
        // to: the bookmark keeps its address.
        if (r.status != LinkStatus::Redirected || !r.permanent || !IsCheckable(r.finalUrl))
            continue;
        for (uint32_t i : m_results->Bookmarks(row))
            updates.emplace_back(i, r.finalUrl.toStdString());
    }
    if (updates.empty())
        return;
    const QString ask = KivStrings::Load(IDS_UPDATE_REDIRECTS_ASK).arg(updates.size());
    if (CUi::Get().MessageBox(ask, QString(), CUi::MB_YESNO, CUi::MB_ICONQUESTION) != CUi::IDYES)
        return;
    for (auto& [i, url] : updates) {
        const CBookmark& b = m_doc.Bookmark(i);
        m_doc.EditBookmark(i, b.m_strName, std::move(url), b.m_strComment, nullptr);
    }
    m_doc.NameStep(CDocStep::Kind::UpdateUrls, updates.size());
    RefreshAllViews(m_doc);
}

void CLinkCheckDlg::OnOpen()
{
    if (!m_openUrl)
        return;
    for (const QModelIndex& idx : m_pTable->selectionModel()->selectedRows()) {
        const int row = m_filter->mapToSource(idx).row();
        m_openUrl(m_doc.Bookmark(m_results->Bookmarks(row).front()).m_strUrl);
    }
}
