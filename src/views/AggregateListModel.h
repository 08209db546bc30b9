#pragma once
#include "scan/FileAggregates.h"

#include <QAbstractTableModel>
#include <vector>

namespace kelvane {

class TFolderData;
class TGlobalOptions;

// The extension or owner statistics of the current folder's branch for the
// "Extensions" and "Users" pages.
class TAggregateListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    TAggregateListModel(bool extensions, const TGlobalOptions& options, QObject* parent = nullptr);

    void SetFolder(const TFolderData* folder);
    // The key of a row as the root's limit takes it ("." for no extension).
    QString KeyAt(int row) const;
    const TAssocSizeArray::TEntry& EntryAt(int row) const { return FRows[size_t(row)]; }
    QString NameAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    const TAssocSizeArray& Array() const;

    bool FExtensions;
    const TGlobalOptions& FOptions;
    const TFolderData* FFolder = nullptr;
    TFileAggregates FAggregates; // a copy: scans may still add to the tree's
    std::vector<TAssocSizeArray::TEntry> FRows;
    int64_t FReference = 0;
    QString FLimit;
    bool FCompared = false;
    int FSortColumn = 1;
    Qt::SortOrder FSortOrder = Qt::DescendingOrder;
};

} // namespace kelvane
