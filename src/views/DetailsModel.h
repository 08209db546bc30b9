#pragma once
#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <memory>
#include <vector>

namespace kelvane {

class TFolderData;
class TGlobalOptions;

// The details list: the subfolders of the current folder from the tree and,
// for a live scan, its files read from the disk when the list is filled.
// Columns are the details list's medium of the column layout.
class TDetailsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TDetailsModel(TGlobalOptions& options, QObject* parent = nullptr);
    ~TDetailsModel() override;

    // Fills the list for a folder (null empties it).
    void SetFolder(TFolderData* folder);
    TFolderData* Folder() const { return FFolder; }
    // The folder went away: forget it without touching it.
    void Forget();
    // The column layout changed.
    void ApplyColumns();
    const std::vector<int>& Columns() const { return FColumns; }
    TFolderData* EntryAt(int row) const { return FEntries[size_t(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    QIcon IconOf(const TFolderData& entry) const;

    TGlobalOptions& FOptions;
    mutable QHash<QString, QIcon> FIcons; // by extension
    TFolderData* FFolder = nullptr;
    std::vector<int> FColumns;
    std::vector<TFolderData*> FEntries;                // subfolders, then files
    std::vector<std::unique_ptr<TFolderData>> FFiles; // the file entries, owned here
    int FSortColumn = -1;
    Qt::SortOrder FSortOrder = Qt::DescendingOrder;
};

} // namespace kelvane
