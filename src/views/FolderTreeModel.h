#pragma once
#include <QAbstractItemModel>
#include <unordered_map>

namespace kelvane {

class TFolderData;
class TGlobalOptions;
class TRoot;
class TRoots;

// The scanned trees for the tree view, straight on the engine's folder
// nodes: no copy, no proxy. Child order and the expanded marks live in the
// nodes, so exports and windowless runs see the tree the window shows.
class TFolderTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum TRole {
        ShareRole = Qt::UserRole + 1, // the node's value over its root's, 0..1
        FolderRole,                   // the node itself
    };

    TFolderTreeModel(TRoots& roots, const TGlobalOptions& options, QObject* parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;

    static TFolderData* FolderOf(const QModelIndex& index);
    QModelIndex IndexOf(const TFolderData* folder) const;

    // Orders one folder's children, or every tree, by the sort type.
    void SortChildren(TFolderData* folder);
    void SortAll();
    // Values changed (a scan is running, the unit or view type changed).
    void RefreshValues();

private:
    int RowOf(const TFolderData* folder) const;
    int RootRow(const TRoot* root) const;
    void ReorderPersistentIndexes();

    TRoots& FRoots;
    const TGlobalOptions& FOptions;
    // Where a node was last found among its siblings: parent() is asked
    // often, and folders may hold many thousands of children.
    mutable std::unordered_map<const TFolderData*, int> FRowHints;
    bool FPendingRemoval = false;
};

} // namespace kelvane
