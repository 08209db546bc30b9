#include "TreeOrder.h"

#include "FolderData.h"

namespace kelvane {

void SortBranch(TFolderData* folder, TSortType sortType, int viewType)
{
    if (!folder || sortType == viewtypes::stNone)
        return;
    if (sortType == viewtypes::stName)
        folder->SortChildren([](const TFolderData* a, const TFolderData* b) { return a->Compare(*b, viewtypes::vt_Name) < 0; });
    else
        folder->SortChildren([viewType](const TFolderData* a, const TFolderData* b) { return a->Compare(*b, viewType) > 0; });
    for (TFolderData* child : folder->Children())
        SortBranch(child, sortType, viewType);
}

} // namespace kelvane
