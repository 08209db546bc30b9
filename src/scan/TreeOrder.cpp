#include "TreeOrder.h"

#include "FolderData.h"

namespace kelvane {

void SortChildrenOf(TFolderData* folder, TSortType sortType, int viewType)
{
    if (!folder || sortType == viewtypes::stNone)
        return;
    if (sortType == viewtypes::stName)
        folder->SortChildren([](const TFolderData* a, const TFolderData* b) { return a->Compare(*b, viewtypes::vt_Name) < 0; });
    else
        folder->SortChildren([viewType](const TFolderData* a, const TFolderData* b) { return a->Compare(*b, viewType) > 0; });
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
