#pragma once
#include "WindowValues.h"
#include "app/BraskForm.h"

#include <QColor>

class QComboBox;
class QLabel;
class QSplitter;
class QTabWidget;
class QTreeView;
class QTimer;
class QChart;
class QChartView;
class QScrollBar;
class QToolBar;
class QAction;
class QActionGroup;
class QModelIndex;

namespace kelvane {

class TAggregateListModel;
class TDetailsModel;
class TTopFilesModel;
class TFolderData;
class TFolderTreeModel;
class TGlobalOptions;
class TProgramRun;
class TProgressDialog;
class TRoot;
class TRoots;

// The caption: the application title, and for a current folder the header of
// the tree's value column and the root's report caption.
QString MainCaption(const QString& title, const QString& valueHeader, const QString& reportCaption);

// The main window: the scanned trees on the left, the pages of the current
// folder on the right, the scanning and data toolbars and the status bar.
class TMainForm : public TBRASKForm {
    Q_OBJECT
public:
    TMainForm(TGlobalOptions& options, TProgramRun& run, TRoots* roots = nullptr, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Called once, after construction: applies the command line.
    void ProcessCommandLine();

    const TWindowValues& WindowValues() const { return FValues; }
    bool IsRestricted() const { return FRestricted; }
    QComboBox* PathBox() const { return FPathBox; }
    QTabWidget* RightPane() const { return FRightPane; }
    void UpdateCaption(const QString& reportCaption = {});

    QTreeView* Tree() const { return FTree; }
    QTreeView* Details() const { return FDetails; }
    TFolderTreeModel* TreeModel() const { return FTreeModel; }
    TDetailsModel* DetailsModel() const { return FDetailsModel; }
    TProgressDialog* Progress() const { return FProgress; }
    QChartView* ChartView() const { return FChartView; }
    TAggregateListModel* ExtensionModel() const { return FExtensionModel; }
    TAggregateListModel* OwnerModel() const { return FOwnerModel; }
    TTopFilesModel* TopFilesModel() const { return FTopFilesModel; }
    QChartView* FileAgeView() const { return FFileAgeView; }
    QChartView* HistoryView() const { return FHistoryView; }
    // The folder the right pane shows; null for none.
    TFolderData* CurrentFolder() const { return FCurrent; }
    void SetCurrentFolder(TFolderData* folder);
    // Scans the path as a new root (the path box, dropped folders).
    void ScanPath(const QString& path);
    void RefreshAllViews();
    // The tree opens what the nodes' expanded marks say.
    void SyncExpansion();
    // The deepest folder below the current one (the first in tree order
    // among equally deep ones) becomes current.
    void FindDeepestNesting();
    // The parent becomes current; at a root, its parent folder may be scanned.
    void GoUp();
    // Takes folders below the minimum expand size out of the current branch
    // (the totals and the disk stay).
    void RemoveSmallFolders();

protected:
    QSettings& FormSettings() override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreatePanes();
    void CreateStatusBar();
    void ApplyRestrictedMode();
    void ApplyWindowValues();
    void CollectWindowValues();
    void CreateViewActions(QMenu* view);
    void ConnectModels();
    void RefreshStatusBar();
    void RefreshOverview();
    void RebuildChart();
    void ShowChartPage(int first);
    void ApplyChartLooks(QChart* chart);
    void ZoomChart(int step);
    void RefreshPageCharts();
    QWidget* CreateAggregatePage(bool extensions);
    void SetLimit(bool extensions, const QString& key);
    void AskForGrouping();
    // Whether the right pane shows the page holding this widget.
    bool IsPageShown(const QWidget* content) const;
    void SetChartForm(bool pie);
    void SaveChart();
    void ShowDetailsHeaderMenu(const QPoint& at);
    void ShowTreeMenu(const QPoint& at);
    void ShowSelectionSummary();
    void UpdateSizeActionCaptions();
    void AskMinimumExpandSize();
    void SaveDetailsList();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void SortDetailsByViewType();
    void SetViewType(int viewType);
    void SetSizeUnit(int unit);
    void SetSortType(int sortType);
    void ExpandCurrent(int levels, int minimumMB);
    TRoot* CurrentRoot() const;
    void OpenReport();
    void SaveReport();
    void CompareReport();
    void ExportCurrent(bool html);
    void SyncExpansion(const QModelIndex& parent);

    TGlobalOptions& FOptions;
    TProgramRun& FRun;
    TRoots* FRoots;
    TWindowValues FValues;
    bool FRestricted = false;

    QComboBox* FPathBox = nullptr;
    QSplitter* FSplitter = nullptr;
    QTreeView* FTree = nullptr;
    QWidget* FDriveList = nullptr;
    QTabWidget* FRightPane = nullptr;
    QToolBar* FScanningToolBar = nullptr;
    QToolBar* FDataToolBar = nullptr;
    QTreeView* FDetails = nullptr;
    TFolderTreeModel* FTreeModel = nullptr;
    TDetailsModel* FDetailsModel = nullptr;
    TProgressDialog* FProgress = nullptr;
    TFolderData* FCurrent = nullptr;
    int FDetailsSortSection = -1;
    QLabel* FFreeSpaceText = nullptr;
    QLabel* FFilesText = nullptr;
    QLabel* FExcludedText = nullptr;
    QLabel* FStatusText = nullptr;
    QLabel* FOverview = nullptr;
    QChartView* FChartView = nullptr;
    QTreeView* FExtensionList = nullptr;
    QTreeView* FOwnerList = nullptr;
    TAggregateListModel* FExtensionModel = nullptr;
    TAggregateListModel* FOwnerModel = nullptr;
    QTreeView* FTopFiles = nullptr;
    TTopFilesModel* FTopFilesModel = nullptr;
    QChartView* FFileAgeView = nullptr;
    QChartView* FHistoryView = nullptr;
    bool FPieChart = true;
    bool FChartLegend = true;
    bool FChartVerticalGrid = true;
    bool FChartHorizontalGrid = true;
    bool FChartPatterns = false;
    int FChartZoom = 100;
    QColor FChartColour; // valid while the next click colours a slice or bar
    QScrollBar* FChartScroll = nullptr;
    int FChartBars = 0;
    int FChartBarsPerPage = 10;
    bool FAskingForGrouping = false;
    bool FChartShowsOther = true; // false for one rebuild after "Other" was double-clicked
    QAction* FPieAction = nullptr;
    QAction* FBarAction = nullptr;
    QActionGroup* FViewTypeGroup = nullptr;
    QActionGroup* FUnitGroup = nullptr;
    QActionGroup* FSortGroup = nullptr;
    QAction* FStopScanAction = nullptr;
    QAction* FExpandOverAction = nullptr;
    QAction* FRemoveSmallAction = nullptr;
    QAction* FSaveListAction = nullptr;
    QTimer* FDisplayTimer = nullptr;
    QAction* FRemoveRootAction = nullptr;

    QAction* FStartScanAction = nullptr;
    QAction* FSelectFolderAction = nullptr;
    QAction* FOptionsAction = nullptr;
    QAction* FOpenReportAction = nullptr;
    QAction* FSaveReportAction = nullptr;
    QAction* FCompareReportAction = nullptr;
    QAction* FExportTextAction = nullptr;
    QAction* FExportHtmlAction = nullptr;
    QAction* FExitAction = nullptr;
};

} // namespace kelvane
