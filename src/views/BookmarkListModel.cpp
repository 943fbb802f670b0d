#include "BookmarkListModel.h"

#include "ViewSupport.h"
#include "model/KivDoc.h"
#include "res/Strings.h"

CBookmarkListModel::CBookmarkListModel(CKivDoc& doc, QObject* parent)
    : QAbstractTableModel(parent), m_doc(doc)
{
}

int CBookmarkListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_aRows.size());
}

int CBookmarkListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : COL_COUNT;
}

QVariant CBookmarkListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const uint32_t i = m_aRows[static_cast<size_t>(index.row())];
    // The table may have been emptied by a new or opened file before the rebuild.
    if (i >= m_doc.BookmarkCount())
        return {};
    const CBookmark& b = m_doc.Bookmark(i);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        switch (index.column()) {
        case COL_NAME:
            return QString::fromStdString(b.m_strName);
        case COL_URL:
            return QString::fromStdString(b.m_strUrl);
        case COL_COMMENT:
            return QString::fromStdString(b.m_strComment);
        }
        return {};
    case Qt::DecorationRole:
        return index.column() == COL_NAME ? QVariant(KivImages::Row()) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    case IndexRole:
        return i;
    default:
        return {};
    }
}

QVariant CBookmarkListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (section) {
    case COL_NAME:
        return KivStrings::Load(IDS_COL_NAME);
    case COL_URL:
        return KivStrings::Load(IDS_COL_URL);
    case COL_COMMENT:
        return KivStrings::Load(IDS_COL_COMMENT);
    }
    return {};
}

Qt::ItemFlags CBookmarkListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
           | Qt::ItemIsDragEnabled;
}

void CBookmarkListModel::Rebuild(const CFolderNode* folder)
{
    beginResetModel();
    if (folder)
        m_aRows = folder->m_aBookmarks;
    else
        m_aRows.clear();
    endResetModel();
}

void CBookmarkListModel::InsertRow(int position, uint32_t index)
{
    position = std::clamp(position, 0, rowCount());
    beginInsertRows({}, position, position);
    m_aRows.insert(m_aRows.begin() + position, index);
    endInsertRows();
}

void CBookmarkListModel::RemoveRows(int first, int last)
{
    if (first < 0 || last < first || last >= rowCount())
        return;
    beginRemoveRows({}, first, last);
    m_aRows.erase(m_aRows.begin() + first, m_aRows.begin() + last + 1);
    endRemoveRows();
}

void CBookmarkListModel::RemoveRowSet(const std::vector<int>& rows)
{
    beginResetModel();
    size_t kept = 0, next = 0;
    for (size_t r = 0; r < m_aRows.size(); ++r) {
        if (next < rows.size() && static_cast<size_t>(rows[next]) == r) {
            ++next;
            continue;
        }
        m_aRows[kept++] = m_aRows[r];
    }
    m_aRows.resize(kept);
    endResetModel();
}

void CBookmarkListModel::RowChanged(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    emit dataChanged(index(row, 0), index(row, COL_COUNT - 1));
}
