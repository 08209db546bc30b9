#include "TreeOrder.h"

#include "FolderData.h"

#include <algorithm>

namespace kelvane {

namespace {

// Keys are taken once per child: comparing nodes directly would decode names
// or sum filtered statistics again for every comparison.
template <typename Key, typename MakeKey, typename Less>
void SortByKeys(TFolderData* folder, MakeKey makeKey, Less less)
{
    std::vector<std::pair<Key, TFolderData*>> keyed;
    keyed.reserve(folder->Children().size());
    for (TFolderData* child : folder->Children())
        keyed.emplace_back(makeKey(child), child);
    std::stable_sort(keyed.begin(), keyed.end(), [&less](const auto& a, const auto& b) { return less(a.first, b.first); });
    std::vector<TFolderData*> ordered;
    ordered.reserve(keyed.size());
    for (auto& [key, child] : keyed)
        ordered.push_back(child);
    folder->SetChildOrder(std::move(ordered));
}

bool IsCounterColumn(int viewType)
{
    using namespace viewtypes;
    switch (viewType) {
    case vt_size:
    case vt_alloc:
    case vt_percent:
    case vt_wasted:
    case vt_CDSize:
    case vt_files:
    case vt_Folders:
    case vt_CompressionRate:
    case vt_average_file_size:
        return true;
    default:
        return false;
    }
}

} // namespace

void SortChildrenOf(TFolderData* folder, TSortType sortType, int viewType)
{
    if (!folder || sortType == viewtypes::stNone || folder->Children().size() < 2)
        return;
    if (sortType == viewtypes::stName) {
        // Folders first, then the files item and file entries; by name within each.
        using TNameKey = std::pair<bool, std::string>;
        SortByKeys<TNameKey>(
            folder, [](const TFolderData* f) { return TNameKey(!f->IsFolder(), f->IsFilesItem() ? std::string() : NameSortKey(f->Name)); },
            [](const TNameKey& a, const TNameKey& b) {
                if (a.first != b.first)
                    return !a.first;
                return a.second < b.second;
            });
    } else if (IsCounterColumn(viewType)) {
        SortByKeys<TSizeData>(
            folder, [](const TFolderData* f) { return f->ShownCounters(); },
            [viewType](const TSizeData& a, const TSizeData& b) { return a.Compare(b, viewType) > 0; });
    } else {
        folder->SortChildren([viewType](const TFolderData* a, const TFolderData* b) { return a->Compare(*b, viewType) > 0; });
    }
}

void SortBranch(TFolderData* folder, TSortType sortType, int viewType)
{
    if (!folder || sortType == viewtypes::stNone)
        return;
    SortChildrenOf(folder, sortType, viewType);
    for (TFolderData* child : folder->Children())
        SortBranch(child, sortType, viewType);
}

} // namespace kelvane
