#include "TreeOrder.h"

#include "FolderData.h"

#include <algorithm>
#include <string>
#include <string_view>

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

} // namespace

void SortChildrenOf(TFolderData* folder, TSortType sortType, int viewType)
{
    if (!folder || sortType == viewtypes::stNone || folder->Children().size() < 2)
        return;
    if (sortType == viewtypes::stName) {
        // Folders first, then the files item and file entries; by the
        // case-folded name within each. The keys share one buffer.
        std::string names;
        struct TNameKey {
            bool Special;
            uint32_t Offset;
            uint32_t Length;
        };
        std::vector<TNameKey> keys;
        keys.reserve(folder->Children().size());
        for (const TFolderData* f : folder->Children()) {
            const std::string key = f->IsFilesItem() ? std::string() : NameSortKey(f->Name);
            keys.push_back({!f->IsFolder(), uint32_t(names.size()), uint32_t(key.size())});
            names += key;
        }
        size_t next = 0; // SortByKeys takes the keys once per child, in order
        SortByKeys<TNameKey>(
            folder, [&keys, &next](const TFolderData*) { return keys[next++]; },
            [&names](const TNameKey& a, const TNameKey& b) {
                if (a.Special != b.Special)
                    return !a.Special;
                return std::string_view(names).substr(a.Offset, a.Length) < std::string_view(names).substr(b.Offset, b.Length);
            });
    } else if (IsCounterColumn(viewType)) {
        // The exact value, largest first: a total order, where comparing the
        // rounded texts would call near values equal.
        SortByKeys<double>(
            folder,
            [viewType](const TFolderData* f) {
                const TSizeData shown = f->ShownCounters();
                if (viewType == viewtypes::vt_percent)
                    return double(shown.Size);
                return shown.GetValue(viewType, viewType == viewtypes::vt_CompressionRate ? viewtypes::None : viewtypes::Kilo).first;
            },
            [](double a, double b) { return a > b; });
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
