#pragma once

#include <QAbstractTableModel>

#include <cstdint>
#include <vector>

class CFolderNode;
class CKivDoc;

// The rows of the bookmark list: row i carries the bookmark index the list was told
// for position i, as a list control's item data would; the texts are read from the
// bookmark table when shown. Columns: name, URL, comment.
class CBookmarkListModel : public QAbstractTableModel
{
public:
    enum Role { IndexRole = Qt::UserRole + 1 };
    enum Column { COL_NAME = 0, COL_URL = 1, COL_COMMENT = 2, COL_COUNT = 3 };

    explicit CBookmarkListModel(CKivDoc& doc, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // One row per position of the folder's list (none for a null folder).
    void Rebuild(const CFolderNode* folder);
    void InsertRow(int position, uint32_t index);
    // Removes rows first..last.
    void RemoveRows(int first, int last);
    // Removes the given rows (ascending) in one pass; the views are reset.
    void RemoveRowSet(const std::vector<int>& rows);
    // The texts of a row's bookmark changed.
    void RowChanged(int row);
    uint32_t IndexAt(int row) const { return m_aRows[static_cast<size_t>(row)]; }
    const std::vector<uint32_t>& Rows() const { return m_aRows; }

private:
    CKivDoc& m_doc;
    std::vector<uint32_t> m_aRows;
};
