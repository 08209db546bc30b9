#pragma once
#include "scan/CustomFileData.h"

#include <QAbstractTableModel>
#include <vector>

namespace kelvane {

class TRoot;

// The "Top 100 Files" page: the largest files of the current root.
class TTopFilesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Null, or a root still being scanned, empties the list.
    void SetRoot(TRoot* root);
    const TCustomFileData& FileAt(int row) const { return FFiles[size_t(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    std::vector<TCustomFileData> FFiles; // a copy: the root's list is locked only to take it
    int FSortColumn = 2;
    Qt::SortOrder FSortOrder = Qt::DescendingOrder;
};

} // namespace kelvane
