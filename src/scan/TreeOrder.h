#pragma once
#include "ViewType.h"

namespace kelvane {

class TFolderData;

// Orders the children of every folder of a branch as the tree shows them:
// by name ignoring case (folders before the files item), by the view type's
// value largest first, or in scan order. Exports and windowless runs walk
// the tree in this order. User-interface thread only.
void SortBranch(TFolderData* folder, TSortType sortType, int viewType);
// The same for the children of one folder only.
void SortChildrenOf(TFolderData* folder, TSortType sortType, int viewType);

} // namespace kelvane
