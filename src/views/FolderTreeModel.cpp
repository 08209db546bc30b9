#include "FolderTreeModel.h"

#include "BgrColor.h"
#include "app/GlobalOptions.h"
#include "scan/FolderData.h"
#include "scan/Root.h"
#include "scan/Roots.h"
#include "scan/TreeOrder.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace kelvane {

using namespace viewtypes;

namespace {

// The state picture of a root being scanned: a disc filled in 16 steps.
QIcon ProgressIcon(int step)
{
    static std::array<QIcon, 16> icons;
    QIcon& icon = icons[size_t(std::clamp(step, 0, 15))];
    if (icon.isNull()) {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QColor(40, 90, 160));
        painter.setBrush(QColor(230, 238, 250));
        painter.drawEllipse(1, 1, 14, 14);
        painter.setBrush(QColor(60, 130, 220));
        painter.drawPie(QRect(1, 1, 14, 14), 90 * 16, -int(std::lround(360.0 * 16 * step / 15)));
        icon = QIcon(pixmap);
    }
    return icon;
}

// A folder with a mark in its corner: work under way below it.
QIcon BusyFolderIcon()
{
    static QIcon icon;
    if (icon.isNull()) {
        QPixmap pixmap = QApplication::style()->standardIcon(QStyle::SP_DirIcon).pixmap(16, 16);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 140, 0));
        painter.drawEllipse(9, 9, 6, 6);
        icon = QIcon(pixmap);
    }
    return icon;
}

} // namespace

TFolderTreeModel::TFolderTreeModel(TRoots& roots, const TGlobalOptions& options, QObject* parent)
    : QAbstractItemModel(parent)
    , FRoots(roots)
    , FOptions(options)
{
    connect(&roots, &TRoots::RootAboutToBeAdded, this, [this] {
        const int row = int(FRoots.Items().size());
        beginInsertRows({}, row, row);
    });
    connect(&roots, &TRoots::RootAdded, this, [this] { endInsertRows(); });
    connect(&roots, &TRoots::RootAboutToBeRemoved, this, [this](TRoot* root) {
        const int row = RootRow(root);
        FRowHints.clear();
        beginRemoveRows({}, row, row);
    });
    connect(&roots, &TRoots::RootRemoved, this, [this] { endRemoveRows(); });
    connect(&roots, &TRoots::ChildrenAboutToBeInserted, this,
            [this](TFolderData* parent, int first, int last) { beginInsertRows(IndexOf(parent), first, last); });
    connect(&roots, &TRoots::ChildrenInserted, this, [this] { endInsertRows(); });
    connect(&roots, &TRoots::ChildrenAboutToBeRemoved, this, [this](TFolderData* parent) {
        FRowHints.clear();
        const int count = int(parent->Children().size());
        if (count > 0)
            beginRemoveRows(IndexOf(parent), 0, count - 1);
        FPendingRemoval = count > 0;
    });
    connect(&roots, &TRoots::ChildrenRemoved, this, [this] {
        if (std::exchange(FPendingRemoval, false))
            endRemoveRows();
    });
    connect(&roots, &TRoots::NodeAboutToBeRemoved, this, [this](TFolderData* node) {
        const int row = RowOf(node);
        FRowHints.clear();
        beginRemoveRows(IndexOf(node->Parent), row, row);
    });
    connect(&roots, &TRoots::NodeRemoved, this, [this] { endRemoveRows(); });
    // Sizes settle when a scan ends: the tree takes its final order.
    connect(&roots, &TRoots::ScanEnded, this, [this] { SortAll(); });
}

TFolderData* TFolderTreeModel::FolderOf(const QModelIndex& index)
{
    return index.isValid() ? static_cast<TFolderData*>(index.internalPointer()) : nullptr;
}

int TFolderTreeModel::RootRow(const TRoot* root) const
{
    const auto& items = FRoots.Items();
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].get() == root)
            return int(i);
    return -1;
}

int TFolderTreeModel::RowOf(const TFolderData* folder) const
{
    if (!folder->Parent)
        return RootRow(folder->Root);
    const auto& siblings = folder->Parent->Children();
    const auto hint = FRowHints.find(folder);
    if (hint != FRowHints.end() && hint->second < int(siblings.size()) && siblings[size_t(hint->second)] == folder)
        return hint->second;
    // A miss learns the rows of all siblings at once: the next look-ups
    // among many thousands of them cost nothing.
    int row = -1;
    for (size_t i = 0; i < siblings.size(); ++i) {
        FRowHints[siblings[i]] = int(i);
        if (siblings[i] == folder)
            row = int(i);
    }
    return row;
}

QModelIndex TFolderTreeModel::IndexOf(const TFolderData* folder) const
{
    if (!folder)
        return {};
    const int row = RowOf(folder);
    return row < 0 ? QModelIndex() : createIndex(row, 0, const_cast<TFolderData*>(folder));
}

QModelIndex TFolderTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid()) {
        const auto& items = FRoots.Items();
        return row < int(items.size()) ? createIndex(row, 0, items[size_t(row)]->RootFolder.get()) : QModelIndex();
    }
    const TFolderData* folder = FolderOf(parent);
    if (row >= int(folder->Children().size()))
        return {};
    return createIndex(row, 0, folder->Children()[size_t(row)]);
}

QModelIndex TFolderTreeModel::parent(const QModelIndex& child) const
{
    const TFolderData* folder = FolderOf(child);
    return folder ? IndexOf(folder->Parent) : QModelIndex();
}

int TFolderTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return int(FRoots.Items().size());
    return int(FolderOf(parent)->Children().size());
}

int TFolderTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool TFolderTreeModel::hasChildren(const QModelIndex& parent) const
{
    return rowCount(parent) > 0;
}

QVariant TFolderTreeModel::data(const QModelIndex& index, int role) const
{
    const TFolderData* folder = FolderOf(index);
    if (!folder)
        return {};
    const int viewType = qMax(int(vt_size), int(FOptions.ViewType));
    switch (role) {
    case Qt::DisplayRole:
        return folder->GetColumnText(viewType, false, true) + folder->GetDisplayName();
    case Qt::EditRole:
        return folder->GetDisplayName();
    case Qt::ToolTipRole:
        return FOptions.ShowLongTooltips ? QVariant(folder->GetHint()) : QVariant();
    case Qt::FontRole:
        if (folder->IsEmphasized()) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::ForegroundRole: {
        if (folder->Root && folder->Root->IsCompared) {
            const double mb = folder->GetValue(viewType, Mega).first;
            return mb > 0 ? QVariant(BgrColor(0x0000BB)) : mb < 0 ? QVariant(BgrColor(0x009900)) : QVariant();
        }
        const uint32_t compression = folder->SizeData().Compression;
        if (!FOptions.ColorForCompressed || !(compression & cfCompressed))
            return {};
        return compression & cfUncompressed ? BgrColor(0xA00000) : BgrColor(0xFF2020);
    }
    case Qt::DecorationRole: {
        QStyle* style = QApplication::style();
        if (folder->IsFilesItem())
            return style->standardIcon(QStyle::SP_FileIcon);
        if (!folder->Parent && folder->Root && folder->Root->IsScanning())
            return ProgressIcon(int(std::lround(folder->Root->GetProgressPercent() / 100.0 * 15)));
        if (folder->Error != 0)
            return style->standardIcon(QStyle::SP_MessageBoxWarning);
        if (!folder->Parent)
            return style->standardIcon(QStyle::SP_DriveHDIcon);
        if (folder->IsLink())
            return style->standardIcon(QStyle::SP_DirLinkIcon);
        if (folder->Root && folder->Root->IsScanning() && const_cast<TFolderData*>(folder)->IsBranchBusy())
            return BusyFolderIcon();
        return style->standardIcon(QStyle::SP_DirIcon);
    }
    case ShareRole: {
        const TFolderData* top = folder->Root ? folder->Root->RootFolder.get() : nullptr;
        const double whole = top ? top->GetValue(viewType, Byte).first : 0.0;
        if (!(whole > 0.0))
            return 0.0;
        return std::clamp(folder->GetValue(viewType, Byte).first / whole, 0.0, 1.0);
    }
    case FolderRole:
        return QVariant::fromValue(static_cast<void*>(const_cast<TFolderData*>(folder)));
    default:
        return {};
    }
}

void TFolderTreeModel::ReorderPersistentIndexes()
{
    const QModelIndexList old = persistentIndexList();
    QModelIndexList now;
    now.reserve(old.size());
    for (const QModelIndex& index : old)
        now.append(IndexOf(FolderOf(index)));
    changePersistentIndexList(old, now);
}

void TFolderTreeModel::SortChildren(TFolderData* folder)
{
    if (FOptions.SortType == stNone)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    FRowHints.clear();
    const int viewType = qMax(int(vt_size), int(FOptions.ViewType));
    if (folder)
        SortChildrenOf(folder, FOptions.SortType, viewType);
    else
        for (const auto& root : FRoots.Items())
            SortBranch(root->RootFolder.get(), FOptions.SortType, viewType);
    ReorderPersistentIndexes();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TFolderTreeModel::SortAll()
{
    SortChildren(nullptr);
}

void TFolderTreeModel::RefreshValues()
{
    const int roots = rowCount();
    if (roots > 0)
        emit dataChanged(index(0, 0), index(roots - 1, 0));
}

} // namespace kelvane
