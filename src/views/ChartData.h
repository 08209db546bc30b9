#pragma once
#include "scan/ViewType.h"

#include <QString>
#include <vector>

namespace kelvane {

class TFolderData;

// What the main chart shows of a folder: one slice or bar per subfolder
// (in the tree's order), or per file when the folder has no subfolders. No
// widgets here: the same data draws the chart page and the chart images of
// unattended runs.
struct TChartItem {
    QString Label;
    double Value = 0;  // in the chart's unit (or files)
    double Wasted = 0; // bars: the stacked wasted space
    int ColourIndex = 0;
    bool IsFreeSpace = false;
    bool IsOther = false;
    TFolderData* Folder = nullptr; // the subfolder it stands for
    QString FilePath;              // or the file
};

struct TChartSettings {
    bool Pie = true;
    int ViewType = viewtypes::vt_size;
    TUnitType Unit = viewtypes::Mega; // mixed is charted in MB
    TSortType SortType = viewtypes::stSize;
    bool ShowFreeSpace = true;
    bool ShowOther = true; // double-clicking "Other" shows every slice
    int ChartHeight = 600; // for the bars per page
};

struct TMainChartData {
    QString Title;
    bool Pie = true;
    bool WastedSeries = false; // bars: size and wasted stacked
    QString Suffix;            // " MB", " Files" ...
    int Decimals = 0;
    int BarsPerPage = 10;
    bool Paging = false;
    std::vector<TChartItem> Items;
    double OtherBelowPercent = 0; // slices below this share are in "Other" (0: none)
};

TMainChartData BuildMainChart(const TFolderData& folder, const TChartSettings& settings);

// Slice colours, blue-green-red values; the free-space slice has its own.
int ChartPaletteColour(int index);
inline constexpr int FreeSpaceColour = 0xC000C0;

} // namespace kelvane
