#include "DetailsModel.h"

#include "PercentBarDelegate.h"
#include "app/GlobalOptions.h"
#include "lib/platform/DirectoryLister.h"
#include "lib/platform/OwnerNames.h"
#include "scan/AssocSizeArray.h"
#include "scan/CountFile.h"
#include "scan/FolderData.h"
#include "scan/Root.h"

#include <QApplication>
#include <QFont>
#include <QMimeDatabase>
#include <QStyle>
#include <algorithm>

namespace kelvane {

using namespace viewtypes;

namespace {

// A file passes the root's owner and extension limits.
bool PassesViewFilters(const TRoot& root, const TFindRecord& file)
{
    if (!root.UserFilter.isEmpty() && TSID2Username::Instance().Lookup(file.Uid).compare(root.UserFilter, Qt::CaseInsensitive) != 0)
        return false;
    if (root.ExtensionFilter.isEmpty())
        return true;
    return FromLocalPath(TExtensionSizeArray::KeyOf(file.Name)).compare(root.ExtensionFilter, Qt::CaseInsensitive) == 0;
}

} // namespace

TDetailsModel::TDetailsModel(TGlobalOptions& options, QObject* parent)
    : QAbstractTableModel(parent)
    , FOptions(options)
{
    FColumns = options.Columns.ColumnOrder(emDetailsView);
}

TDetailsModel::~TDetailsModel() = default;

QIcon TDetailsModel::IconOf(const TFolderData& entry) const
{
    if (!entry.IsFileItem())
        return QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    // One look-up per extension: the type database is slow for long lists.
    const QString key = FromLocalPath(TExtensionSizeArray::KeyOf(entry.Name));
    auto it = FIcons.find(key);
    if (it == FIcons.end()) {
        const QMimeType type = QMimeDatabase().mimeTypeForFile(entry.NameText(), QMimeDatabase::MatchExtension);
        QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
        if (icon.isNull())
            icon = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
        it = FIcons.insert(key, icon);
    }
    return *it;
}

void TDetailsModel::Forget()
{
    beginResetModel();
    FFolder = nullptr;
    FEntries.clear();
    FFiles.clear();
    endResetModel();
}

void TDetailsModel::SetFolder(TFolderData* folder)
{
    beginResetModel();
    FFolder = folder;
    FEntries.clear();
    FFiles.clear();
    if (folder) {
        for (TFolderData* child : folder->Children())
            if (!child->IsFilesItem())
                FEntries.push_back(child);
        TRoot* root = folder->Root;
        if (root && !root->IsLoadedReport && !root->IsCompared && !folder->IsFilesItem()) {
            TDirectoryLister lister;
            if (lister.Open(folder->GetFullPathBytes()) == 0) {
                TFindRecord record;
                TSizeData counted;
                // Files the scan did not count (excluded, filtered) are not listed either.
                while (lister.Next(record))
                    if (!record.IsDirectory() && PassesViewFilters(*root, record) && CountFile(*root, record, counted, false)) {
                        FFiles.push_back(TFolderData::FromFindRecord(folder, record, root));
                        FFiles.back()->SizeData() = counted;
                    }
            }
            for (const auto& file : FFiles)
                FEntries.push_back(file.get());
        }
    }
    endResetModel();
    if (FSortColumn >= 0)
        sort(FSortColumn, FSortOrder);
}

void TDetailsModel::ApplyColumns()
{
    beginResetModel();
    FColumns = FOptions.Columns.ColumnOrder(emDetailsView);
    endResetModel();
}

int TDetailsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(FEntries.size());
}

int TDetailsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(FColumns.size());
}

QVariant TDetailsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(FEntries.size()) || index.column() >= int(FColumns.size()))
        return {};
    const TFolderData* entry = FEntries[size_t(index.row())];
    const int type = FColumns[size_t(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        if (type == vt_percent && entry->Root && entry->Root->IsCompared)
            return QString();
        return entry->GetColumnText(type, false, false);
    case Qt::TextAlignmentRole: {
        const auto alignment = FOptions.Columns.Column(type).Alignment;
        const Qt::Alignment horizontal = alignment == TColumnLayout::alRight ? Qt::AlignRight
            : alignment == TColumnLayout::alCenter                            ? Qt::AlignHCenter
                                                                              : Qt::AlignLeft;
        return QVariant::fromValue(horizontal | Qt::AlignVCenter);
    }
    case Qt::FontRole:
        if (entry->IsFolder() && entry->IsEmphasized()) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::ToolTipRole:
        return type == vt_Name ? QVariant(entry->GetHint()) : QVariant();
    case Qt::DecorationRole:
        return type == vt_Name ? QVariant(IconOf(*entry)) : QVariant();
    case TPercentBarDelegate::ShareRole: {
        // The entry's share of its folder; no bar for comparisons or while the folder fills.
        if (type != vt_percent || !FFolder || FFolder->IsScanning() || (entry->Root && entry->Root->IsCompared))
            return {};
        const double whole = double(FFolder->SizeData().Size);
        return whole > 0 ? QVariant(double(entry->ShownCounters().Size) / whole) : QVariant(0.0);
    }
    default:
        return {};
    }
}

QVariant TDetailsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= int(FColumns.size()))
        return {};
    if (role == Qt::DisplayRole)
        return FOptions.Columns.Header(FColumns[size_t(section)]);
    return {};
}

void TDetailsModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= int(FColumns.size()))
        return;
    FSortColumn = column;
    FSortOrder = order;
    const int type = FColumns[size_t(column)];
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList old = persistentIndexList();
    std::vector<TFolderData*> before;
    for (const QModelIndex& index : old)
        before.push_back(FEntries[size_t(index.row())]);
    std::stable_sort(FEntries.begin(), FEntries.end(), [type, order](const TFolderData* a, const TFolderData* b) {
        const int c = a->Compare(*b, type);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    QModelIndexList now;
    for (size_t i = 0; i < before.size(); ++i) {
        const auto it = std::find(FEntries.begin(), FEntries.end(), before[i]);
        now.append(index(int(it - FEntries.begin()), old[int(i)].column()));
    }
    changePersistentIndexList(old, now);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace kelvane
