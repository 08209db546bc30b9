#pragma once
#include "ListText.h"

namespace kelvane {

class TFolderData;

// The extension list and the owner list of a folder's branch as the pages
// show them: "Extension", "Size", "Allocated", "Percent", "Files",
// "Description" (or "Name" ... "Files" for owners), in the size unit of the
// options, ordered as the tree's sort type orders these lists (largest size
// first, by name, or in key order).
TListTable ExtensionList(const TFolderData& folder);
TListTable OwnerList(const TFolderData& folder);

// Saves such a list: a ".csv" file with the list separator and quotes,
// any other with tabs and no quotes; header and all rows. Returns an empty
// text or the error.
QString SaveAggregateList(const TListTable& list, const QString& fileName);

// What a file type is called, for the extension list: "No file extension"
// for ".", empty and "(none)".
QString ExtensionDescription(const QString& extension);

} // namespace kelvane
