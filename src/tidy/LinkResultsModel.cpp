#include "LinkResultsModel.h"

#include "model/KivDoc.h"
#include "res/Strings.h"

CLinkResultsModel::CLinkResultsModel(const CKivDoc& doc, QObject* parent)
    : QAbstractTableModel(parent)
    , m_doc(doc)
{}

void CLinkResultsModel::SetTargets(const std::vector<uint32_t>& bookmarks)
{
    beginResetModel();
    m_rows.clear();
    m_rowOfUrl.clear();
    for (uint32_t i : bookmarks) {
        const QString url = QString::fromStdString(m_doc.Bookmark(i).m_strUrl);
        auto it = m_rowOfUrl.constFind(url);
        if (it == m_rowOfUrl.constEnd()) {
            it = m_rowOfUrl.insert(url, int(m_rows.size()));
            m_rows.push_back(Row{url, {}, {}, false});
        }
        m_rows[size_t(*it)].bookmarks.push_back(i);
    }
    endResetModel();
}

QStringList CLinkResultsModel::Urls() const
{
    QStringList urls;
    urls.reserve(qsizetype(m_rows.size()));
    for (const Row& r : m_rows)
        urls << r.url;
    return urls;
}

void CLinkResultsModel::AddResult(const CLinkResult& result)
{
    const auto it = m_rowOfUrl.constFind(result.url);
    if (it == m_rowOfUrl.constEnd())
        return;
    Row& row = m_rows[size_t(*it)];
    row.result = result;
    row.done = true;
    emit dataChanged(index(*it, 0), index(*it, COL_COUNT - 1));
}

int CLinkResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CLinkResultsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : COL_COUNT;
}

QVariant CLinkResultsModel::data(const QModelIndex& idx, int role) const
{
    if (!idx.isValid())
        return {};
    const Row& row = m_rows[size_t(idx.row())];
    if (role == StatusRole)
        return row.done ? int(row.result.status) : 0;
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (idx.column()) {
    case COL_STATUS:
        if (!row.done)
            return QString();
        if (row.result.httpStatus)
            return QStringLiteral("%1 (%2)")
                .arg(LinkStatusText(row.result.status))
                .arg(row.result.httpStatus);
        return LinkStatusText(row.result.status);
    case COL_NAME:
        return QString::fromStdString(m_doc.Bookmark(row.bookmarks.front()).m_strName);
    case COL_URL:
        return row.url;
    case COL_FINAL:
        return row.result.finalUrl;
    case COL_TIME:
        // Numbers sort as numbers.
        return row.done && row.result.status != LinkStatus::NotChecked
                   ? QVariant(row.result.elapsedMs)
                   : QVariant();
    default:
        return {};
    }
}

QVariant CLinkResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case COL_STATUS:
        return QStringLiteral("Estado");
    case COL_NAME:
        return QStringLiteral("Nombre");
    case COL_URL:
        return QStringLiteral("Url");
    case COL_FINAL:
        return QStringLiteral("Url final");
    case COL_TIME:
        return QStringLiteral("Tiempo (ms)");
    default:
        return {};
    }
}

void CLinkResultsFilter::SetKind(Kind kind)
{
    m_kind = kind;
    invalidateFilter();
}

void CLinkResultsFilter::SetText(const QString& text)
{
    m_text = text;
    invalidateFilter();
}

bool CLinkResultsFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    const QAbstractItemModel* m = sourceModel();
    const int status
        = m->index(sourceRow, 0, sourceParent).data(CLinkResultsModel::StatusRole).toInt();
    const LinkStatus s = LinkStatus(status);
    bool kindOk = true;
    switch (m_kind) {
    case All:
        break;
    case Dead:
        kindOk = status != 0 && IsDead(s);
        break;
    case Redirected:
        kindOk = s == LinkStatus::Redirected;
        break;
    case Reached:
        kindOk = IsReached(s);
        break;
    case NotChecked:
        kindOk = s == LinkStatus::NotChecked;
        break;
    case Pending:
        kindOk = status == 0;
        break;
    }
    if (!kindOk)
        return false;
    if (m_text.isEmpty())
        return true;
    for (int c :
         {CLinkResultsModel::COL_NAME, CLinkResultsModel::COL_URL, CLinkResultsModel::COL_FINAL})
        if (m->index(sourceRow, c, sourceParent)
                .data()
                .toString()
                .contains(m_text, Qt::CaseInsensitive))
            return true;
    return false;
}

QString LinkStatusText(LinkStatus status)
{
    const int k = int(status);
    if (k < int(LinkStatus::Ok) || k > int(LinkStatus::NotChecked))
        return QString();
    return KivStrings::Load(IDS_LINK_STATUS_FIRST + unsigned(k) - 1);
}
