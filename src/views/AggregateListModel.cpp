#include "AggregateListModel.h"

#include "PercentBarDelegate.h"
#include "app/GlobalOptions.h"
#include "reports/AggregateList.h"
#include "scan/AggregateKeys.h"
#include "scan/FolderData.h"
#include "scan/Root.h"

#include <QFont>
#include <algorithm>

namespace kelvane {

using namespace viewtypes;

namespace {

// Value types of the columns after the name; the extension list adds a
// description.
constexpr int ValueColumns[] = {vt_size, vt_alloc, vt_percent, vt_files};

} // namespace

TAggregateListModel::TAggregateListModel(bool extensions, const TGlobalOptions& options, QObject* parent)
    : QAbstractTableModel(parent)
    , FExtensions(extensions)
    , FOptions(options)
{
}

const TAssocSizeArray& TAggregateListModel::Array() const
{
    return FExtensions ? static_cast<const TAssocSizeArray&>(FAggregates.Extensions) : FAggregates.Users;
}

void TAggregateListModel::SetFolder(const TFolderData* folder)
{
    beginResetModel();
    FFolder = folder;
    FAggregates = folder ? folder->SubtreeAggregates() : TFileAggregates();
    FRows = Array().Entries();
    FReference = folder ? folder->SizeData().Size : 0;
    FCompared = folder && folder->Root && folder->Root->IsCompared;
    FLimit = folder && folder->Root ? (FExtensions ? folder->Root->ExtensionFilter : folder->Root->UserFilter) : QString();
    endResetModel();
    sort(FSortColumn, FSortOrder);
}

QString TAggregateListModel::KeyAt(int row) const
{
    if (row < 0 || row >= int(FRows.size()))
        return {};
    const QString key = TAggregateKeys::KeyText(FRows[size_t(row)].Key);
    return FExtensions && key.isEmpty() ? QStringLiteral(".") : key;
}

QString TAggregateListModel::NameAt(int row) const
{
    return Array().GetColumnText(FRows[size_t(row)], vt_Name, FOptions.SizeUnit, FReference);
}

int TAggregateListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(FRows.size());
}

int TAggregateListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : (FExtensions ? 6 : 5);
}

QVariant TAggregateListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const extensionCaptions[] = {"Extension", "Size", "Allocated", "Percent", "Files", "Description"};
    static const char* const ownerCaptions[] = {"Name", "Size", "Allocated", "Percent", "Files"};
    if (section < 0 || section >= columnCount())
        return {};
    return QString::fromLatin1(FExtensions ? extensionCaptions[section] : ownerCaptions[section]);
}

QVariant TAggregateListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(FRows.size()))
        return {};
    const TAssocSizeArray::TEntry& entry = FRows[size_t(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        if (column == 0)
            return Array().GetColumnText(entry, vt_Name, FOptions.SizeUnit, FReference);
        if (column == 5)
            return ExtensionDescription(Array().GetColumnText(entry, vt_Name, FOptions.SizeUnit, FReference));
        if (ValueColumns[column - 1] == vt_percent && FCompared)
            return QString();
        return Array().GetColumnText(entry, ValueColumns[column - 1], FOptions.SizeUnit, FReference);
    case Qt::TextAlignmentRole:
        if (column >= 1 && column <= 4)
            return QVariant::fromValue(Qt::Alignment(column == 3 ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter);
        return {};
    case Qt::FontRole: {
        // The root's current limit is bold.
        if (FLimit.isEmpty() || KeyAt(index.row()).compare(FLimit, Qt::CaseInsensitive) != 0)
            return {};
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    case TPercentBarDelegate::ShareRole:
        if (column != 3 || FCompared || FReference <= 0)
            return {};
        return double(entry.Size) / double(FReference);
    default:
        return {};
    }
}

void TAggregateListModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= columnCount())
        return;
    FSortColumn = column;
    FSortOrder = order;
    beginResetModel(); // rows move: a reset keeps no stale selection
    auto texts = [this, column](const TAssocSizeArray::TEntry& e) {
        const QString name = Array().GetColumnText(e, vt_Name, FOptions.SizeUnit, FReference);
        return column == 5 ? ExtensionDescription(name) : name;
    };
    std::stable_sort(FRows.begin(), FRows.end(), [&](const auto& a, const auto& b) {
        int c = 0;
        if (column == 0 || column == 5)
            c = texts(a).compare(texts(b), Qt::CaseInsensitive);
        else
            c = a.Data().Compare(b.Data(), ValueColumns[column - 1] == vt_percent ? vt_size : ValueColumns[column - 1]);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    endResetModel();
}

} // namespace kelvane
