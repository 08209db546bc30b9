#include "TopFilesModel.h"

#include "scan/Root.h"
#include "scan/TopSizeFileList.h"

#include <algorithm>

namespace kelvane {

using namespace viewtypes;

namespace {

constexpr int Columns[] = {vt_Name, vt_path_without_name, vt_size, vt_LastChange, vt_LastAccess, vt_filetype, vt_Owner};
const char* const Captions[] = {"Name", "Path", "Size", "Last Change", "Last Access", "File Type", "Owner"};

} // namespace

void TTopFilesModel::SetRoot(TRoot* root)
{
    beginResetModel();
    FFiles.clear();
    if (root && !root->IsScanning() && root->TopFiles)
        FFiles = root->TopFiles->Files();
    endResetModel();
    sort(FSortColumn, FSortOrder);
}

int TTopFilesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(FFiles.size());
}

int TTopFilesModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(std::size(Columns));
}

QVariant TTopFilesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(FFiles.size()))
        return {};
    const TCustomFileData& file = FFiles[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return file.GetColumnText(Columns[index.column()]);
    case Qt::ToolTipRole:
        return file.GetHint();
    case Qt::TextAlignmentRole:
        return Columns[index.column()] == vt_size ? QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    default:
        return {};
    }
}

QVariant TTopFilesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= int(std::size(Captions)))
        return {};
    return QString::fromLatin1(Captions[section]);
}

void TTopFilesModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= int(std::size(Columns)))
        return;
    FSortColumn = column;
    FSortOrder = order;
    beginResetModel();
    std::stable_sort(FFiles.begin(), FFiles.end(), [&](const TCustomFileData& a, const TCustomFileData& b) {
        const int c = a.CompareTo(b, Columns[column]);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    endResetModel();
}

} // namespace kelvane
