#pragma once

#include "LinkStatus.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QSortFilterProxyModel>

#include <cstdint>
#include <vector>

class CKivDoc;

// The results of a link check, one row per URL with the bookmarks that hold it.
class CLinkResultsModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { COL_STATUS, COL_NAME, COL_URL, COL_FINAL, COL_TIME, COL_COUNT };
    static constexpr int StatusRole = Qt::UserRole + 1; // the LinkStatus as an int

    explicit CLinkResultsModel(const CKivDoc& doc, QObject* parent = nullptr);

    // The URLs to be checked and their bookmarks; clears earlier results.
    void SetTargets(const std::vector<uint32_t>& bookmarks);
    QStringList Urls() const;
    // Records a result for its URL's row, if there is one.
    void AddResult(const CLinkResult& result);

    const CLinkResult& Result(int row) const { return m_rows[size_t(row)].result; }
    bool HasResult(int row) const { return m_rows[size_t(row)].done; }
    const std::vector<uint32_t>& Bookmarks(int row) const { return m_rows[size_t(row)].bookmarks; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Row
    {
        QString url;
        std::vector<uint32_t> bookmarks;
        CLinkResult result;
        bool done = false;
    };
    const CKivDoc& m_doc;
    std::vector<Row> m_rows;
    QHash<QString, int> m_rowOfUrl;
};

// Shows the rows of one kind and those whose name or URL hold a text.
class CLinkResultsFilter : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    enum Kind { All, Dead, Redirected, Reached, NotChecked, Pending };
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void SetKind(Kind kind);
    void SetText(const QString& text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    Kind m_kind = All;
    QString m_text;
};

// The words shown for a status in the current string table.
QString LinkStatusText(LinkStatus status);
