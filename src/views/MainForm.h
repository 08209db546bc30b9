#pragma once
#include "WindowValues.h"
#include "app/BraskForm.h"

class QComboBox;
class QLabel;
class QSplitter;
class QTabWidget;
class QTreeView;
class QToolBar;
class QAction;

namespace kelvane {

class TGlobalOptions;
class TProgramRun;
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

protected:
    QSettings& FormSettings() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreatePanes();
    void CreateStatusBar();
    void ApplyRestrictedMode();
    void ApplyWindowValues();
    void CollectWindowValues();

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
    QLabel* FStatusText = nullptr;

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
