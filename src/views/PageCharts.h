#pragma once
#include "scan/ViewType.h"

class QChart;

namespace kelvane {

class TFolderData;
class TRoot;

class TAggregateListModel;

// The bars below the extension and owner lists, in the list's order, each in
// the palette colour of its row.
QChart* CreateAggregateChart(const TAggregateListModel& list, bool extensions, TUnitType unit);

// The "File Ages" page: seven bars of the folder's files by age of their
// last change, file counts in the file-count view, otherwise sizes.
QChart* CreateFileAgeChart(const TFolderData& folder, int viewType, TUnitType unit);

// The "History" page: the root's size and allocated space over its scans
// (and now, when the root keeps history), on an axis that also works when
// every value is equal.
QChart* CreateHistoryChart(TRoot& root, TUnitType unit, bool showZero);

} // namespace kelvane
