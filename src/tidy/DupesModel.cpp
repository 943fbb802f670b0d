#include "DupesModel.h"

#include "model/KivDoc.h"

#include <algorithm>

CDupesModel::CDupesModel(CKivDoc& doc, QObject* parent)
    : QAbstractItemModel(parent)
    , m_doc(doc)
{}

CDupesModel::~CDupesModel() = default;

void CDupesModel::Refresh(const UrlKeyOptions& options)
{
    beginResetModel();
    m_options = options;
    m_placements = std::make_unique<CPlacements>(m_doc);
    m_groups = FindDuplicates(m_doc, *m_placements, options);
    m_keep.assign(m_groups.size(), 0);
    endResetModel();
}

void CDupesModel::SetKeep(int g, int member)
{
    if (g < 0 || g >= GroupCount() || member < 0
        || size_t(member) >= m_groups[size_t(g)].members.size())
        return;
    const int old = int(m_keep[size_t(g)]);
    m_keep[size_t(g)] = uint32_t(member);
    const QModelIndex parentIndex = index(g, 0);
    for (int row : {old, member})
        emit dataChanged(index(row, 0, parentIndex), index(row, 0, parentIndex),
                         {Qt::CheckStateRole});
}

int CDupesModel::GroupOf(const QModelIndex& idx) const
{
    if (!idx.isValid())
        return -1;
    return idx.internalId() == 0 ? idx.row() : int(idx.internalId()) - 1;
}

void CDupesModel::MergeGroups(std::vector<int> groups)
{
    std::sort(groups.begin(), groups.end());
    groups.erase(std::unique(groups.begin(), groups.end()), groups.end());
    std::vector<CMergeSet> sets;
    for (int g : groups) {
        if (g < 0 || g >= GroupCount())
            continue;
        CMergeSet set{Keep(g), {}};
        for (uint32_t m : m_groups[size_t(g)].members)
            if (m != set.keep)
                set.others.push_back(m);
        sets.push_back(std::move(set));
    }
    if (sets.empty())
        return;
    m_doc.MergeBookmarks(sets);
    // Rows go from the last so the earlier positions stay right.
    for (auto it = groups.rbegin(); it != groups.rend(); ++it) {
        const int g = *it;
        if (g < 0 || g >= GroupCount())
            continue;
        beginRemoveRows({}, g, g);
        m_groups.erase(m_groups.begin() + g);
        m_keep.erase(m_keep.begin() + g);
        endRemoveRows();
    }
    // The kept bookmarks now stand in more folders.
    m_placements = std::make_unique<CPlacements>(m_doc);
}

int CDupesModel::MergeExact()
{
    const std::vector<CMergeSet> sets = ExactMergeSets(m_doc, m_groups);
    int merged = 0;
    for (const CMergeSet& s : sets)
        merged += int(s.others.size());
    if (!sets.empty()) {
        m_doc.MergeBookmarks(sets);
        Refresh(m_options);
    }
    return merged;
}

QModelIndex CDupesModel::index(int row, int column, const QModelIndex& parentIndex) const
{
    if (row < 0 || column < 0 || column >= COL_COUNT)
        return {};
    if (!parentIndex.isValid())
        return row < GroupCount() ? createIndex(row, column, quintptr(0)) : QModelIndex();
    if (parentIndex.internalId() != 0)
        return {};
    const int g = parentIndex.row();
    if (g >= GroupCount() || size_t(row) >= m_groups[size_t(g)].members.size())
        return {};
    return createIndex(row, column, quintptr(g + 1));
}

QModelIndex CDupesModel::parent(const QModelIndex& child) const
{
    if (!child.isValid() || child.internalId() == 0)
        return {};
    return createIndex(int(child.internalId()) - 1, 0, quintptr(0));
}

int CDupesModel::rowCount(const QModelIndex& parentIndex) const
{
    if (!parentIndex.isValid())
        return GroupCount();
    if (parentIndex.internalId() != 0 || parentIndex.column() != 0)
        return 0;
    return int(m_groups[size_t(parentIndex.row())].members.size());
}

int CDupesModel::columnCount(const QModelIndex&) const
{
    return COL_COUNT;
}

QVariant CDupesModel::data(const QModelIndex& idx, int role) const
{
    if (!idx.isValid())
        return {};
    if (idx.internalId() == 0) {
        const CDupeGroup& group = m_groups[size_t(idx.row())];
        if (role != Qt::DisplayRole)
            return {};
        if (idx.column() == COL_NAME)
            return QStringLiteral("%1 (%2)")
                .arg(QString::fromStdString(group.key))
                .arg(group.members.size());
        return {};
    }
    const int g = int(idx.internalId()) - 1;
    const uint32_t i = m_groups[size_t(g)].members[size_t(idx.row())];
    const CBookmark& b = m_doc.Bookmark(i);
    if (role == Qt::CheckStateRole && idx.column() == COL_NAME)
        return m_keep[size_t(g)] == uint32_t(idx.row()) ? Qt::Checked : Qt::Unchecked;
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (idx.column()) {
    case COL_NAME:
        return QString::fromStdString(b.m_strName);
    case COL_URL:
        return QString::fromStdString(b.m_strUrl);
    case COL_FOLDERS: {
        QStringList paths;
        for (const CFolderNode* f : m_placements->Folders(i))
            paths << QLatin1Char('/') + QString::fromStdString(FolderPathText(f));
        return paths.join(QStringLiteral("; "));
    }
    default:
        return {};
    }
}

bool CDupesModel::setData(const QModelIndex& idx, const QVariant& value, int role)
{
    if (!idx.isValid() || idx.internalId() == 0 || idx.column() != COL_NAME
        || role != Qt::CheckStateRole)
        return false;
    // A group keeps exactly one member: checking one is the only change allowed.
    if (value.toInt() != Qt::Checked)
        return false;
    SetKeep(int(idx.internalId()) - 1, idx.row());
    return true;
}

Qt::ItemFlags CDupesModel::flags(const QModelIndex& idx) const
{
    if (!idx.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (idx.internalId() != 0 && idx.column() == COL_NAME)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant CDupesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case COL_NAME:
        return QStringLiteral("Nombre");
    case COL_URL:
        return QStringLiteral("Url");
    case COL_FOLDERS:
        return QStringLiteral("Carpetas");
    default:
        return {};
    }
}
