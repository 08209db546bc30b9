#pragma once
#include <QSettings>
#include <QString>

namespace kelvane {

// The main window's own values in the settings (pane sizes, margins, toolbar
// and chart switches), read when the window is created and written when it
// closes after an interactive run.
struct TWindowValues {
    int SplitterV4 = -1; // -1: a third of the window's width
    int DriveListHeight = 160;
    int MarginLeft = 800;
    int MarginTop = 800;
    int MarginBot = 800;
    int MarginRight = 800;
    int MinimumExpandSize = 10;
    bool UpdateRightPane = false;
    bool ChartTool = true;
    bool Chart3D = false;
    bool ChartLegend = true;
    bool ChartPatterns = false;
    bool UsePlainNumbers = false;
    bool DetailsToolBar = true;
    bool ExtensionsToolBar = true;
    bool FileAgesToolbar = true;
    bool Top100FilesToolBar = true;
    bool HistoryToolBar = true;
    bool ScanningToolbarVisible = true;
    bool DataToolbarVisible = true;
    bool OverviewPanelVisible = true;
    bool ExtensionsChart = true;
    bool UsersChart = true; // read from "UsersToolBar", written as "UsersChart"
    bool PieSeriesActive = true;
    int ActivePage = 0;
    bool ToolBarBreak = false;
    int ToolBar1WidthV3 = 480;
    int UnitType2 = 2; // written only

    // Returns the first problem met, or an empty text; values read before it
    // are kept, the rest keep their defaults.
    QString Load(QSettings& settings);
    void Save(QSettings& settings) const;
};

} // namespace kelvane
