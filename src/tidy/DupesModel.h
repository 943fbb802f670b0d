#pragma once

#include "Duplicates.h"

#include <QAbstractItemModel>

#include <memory>

class CKivDoc;

// The duplicate groups as a tree: a group per top-level row, its members below it.
// The member to keep is the checked one; folder paths are read only for rows shown,
// so a result of many groups opens at once.
class CDupesModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum Column { COL_NAME, COL_URL, COL_FOLDERS, COL_COUNT };

    explicit CDupesModel(CKivDoc& doc, QObject* parent = nullptr);
    ~CDupesModel() override;

    // Groups the document's bookmarks again.
    void Refresh(const UrlKeyOptions& options);
    int GroupCount() const { return int(m_groups.size()); }
    const CDupeGroup& Group(int g) const { return m_groups[size_t(g)]; }
    uint32_t Keep(int g) const { return m_groups[size_t(g)].members[m_keep[size_t(g)]]; }
    void SetKeep(int g, int member);
    // The group an index belongs to (a group row or one of its members), or -1.
    int GroupOf(const QModelIndex& index) const;

    // Merges the groups into their kept members in one document change and drops
    // them from the list.
    void MergeGroups(std::vector<int> groups);
    // Merges only entries with identical URLs, in one document change.
    int MergeExact();

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    // Internal ids: 0 for group rows, group + 1 for member rows.
    CKivDoc& m_doc;
    UrlKeyOptions m_options;
    std::unique_ptr<CPlacements> m_placements;
    std::vector<CDupeGroup> m_groups;
    std::vector<uint32_t> m_keep; // position of the kept member in each group
};
