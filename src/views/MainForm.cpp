#include "MainForm.h"

#include "ClipboardActions.h"
#include "app/ApplicationInfo.h"
#include "app/EventLog.h"
#include "app/GlobalOptions.h"
#include "app/ProgramRun.h"
#include "scan/Roots.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace kelvane {

QString MainCaption(const QString& title, const QString& valueHeader, const QString& reportCaption)
{
    if (reportCaption.isEmpty())
        return title;
    return title + QStringLiteral(" - ") + valueHeader + QStringLiteral(" - ") + reportCaption;
}

TMainForm::TMainForm(TGlobalOptions& options, TProgramRun& run, TRoots* roots, QWidget* parent)
    : TBRASKForm(parent)
    , FOptions(options)
    , FRun(run)
    , FRoots(roots)
    , FRestricted(run.Run().Restricted)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(ApplicationTitle());
    resize(1100, 720);
    SetKeepsState(run.SavesSettings());

    CreateActions();
    CreateMenus();
    CreateToolBars();
    CreatePanes();
    CreateStatusBar();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        FValues.ToolBarBreak = screen->availableGeometry().width() <= 1600;
    if (const QString error = FValues.Load(options.Settings()); !error.isEmpty())
        ShowMessage(EEventType::Error, QStringLiteral("An error occured while reading application settings: ") + error);
    ApplyWindowValues();

    if (FRestricted)
        ApplyRestrictedMode();
    else
        FPathBox->setEnabled(!run.NoWindow());

    FOptions.SetSpaceWidth(fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    UpdateCaption();
}

TMainForm::~TMainForm() = default;

QSettings& TMainForm::FormSettings()
{
    return FOptions.Settings();
}

void TMainForm::CreateActions()
{
    FStartScanAction = new QAction(tr("&Start Scanning"), this);
    FSelectFolderAction = new QAction(tr("Select &Directory..."), this);
    FOptionsAction = new QAction(tr("&Options..."), this);
    FOpenReportAction = new QAction(tr("&Open XML Report..."), this);
    FSaveReportAction = new QAction(tr("&Save XML Report..."), this);
    FCompareReportAction = new QAction(tr("&Compare with XML Report..."), this);
    FExportTextAction = new QAction(tr("Export as &Text..."), this);
    FExportHtmlAction = new QAction(tr("Export as &HTML..."), this);
    FExitAction = new QAction(tr("E&xit"), this);
    FExitAction->setShortcut(QKeySequence::Quit);
    connect(FExitAction, &QAction::triggered, this, &QWidget::close);
}

void TMainForm::CreateMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(FSelectFolderAction);
    file->addSeparator();
    file->addAction(FOpenReportAction);
    file->addAction(FSaveReportAction);
    file->addAction(FCompareReportAction);
    file->addSeparator();
    file->addAction(FExportTextAction);
    file->addAction(FExportHtmlAction);
    file->addSeparator();
    file->addAction(FExitAction);
    QMenu* tools = menuBar()->addMenu(tr("&Tools"));
    tools->addAction(FOptionsAction);
}

void TMainForm::CreateToolBars()
{
    FScanningToolBar = addToolBar(tr("Scanning"));
    FScanningToolBar->setObjectName(QStringLiteral("ScanningToolbar"));
    FPathBox = new QComboBox(FScanningToolBar);
    FPathBox->setObjectName(QStringLiteral("PathComboBox"));
    FPathBox->setEditable(true);
    FPathBox->setMinimumWidth(320);
    FPathBox->setToolTip(tr("Folder, mount point or server to scan"));
    FScanningToolBar->addWidget(FPathBox);
    FScanningToolBar->addAction(FStartScanAction);
    FScanningToolBar->addAction(FSelectFolderAction);

    FDataToolBar = addToolBar(tr("Data"));
    FDataToolBar->setObjectName(QStringLiteral("DataToolbar"));
    FDataToolBar->addAction(FOpenReportAction);
    FDataToolBar->addAction(FSaveReportAction);
    FDataToolBar->addAction(FExportHtmlAction);
}

void TMainForm::CreatePanes()
{
    FSplitter = new QSplitter(Qt::Horizontal, this);
    FSplitter->setObjectName(QStringLiteral("MainSplitter"));

    auto* left = new QSplitter(Qt::Vertical, FSplitter);
    FTree = new QTreeView(left);
    FTree->setObjectName(QStringLiteral("DirectoryTree"));
    FTree->setHeaderHidden(true);
    FDriveList = new QWidget(left);
    FDriveList->setObjectName(QStringLiteral("DriveList"));

    FRightPane = new QTabWidget(FSplitter);
    FRightPane->setObjectName(QStringLiteral("RightPane"));
    for (const QString& page : {tr("Details"), tr("Chart"), tr("Extensions"), tr("Users"), tr("Top 100 Files"), tr("File Ages"), tr("History")})
        FRightPane->addTab(new QWidget(FRightPane), page);
    setCentralWidget(FSplitter);
}

void TMainForm::CreateStatusBar()
{
    FStatusText = new QLabel(this);
    statusBar()->addWidget(FStatusText, 1);
    FStatusText->setText(tr("Ready"));
}

void TMainForm::ApplyRestrictedMode()
{
    FPathBox->clear();
    const QString allowed = qEnvironmentVariable("KELVANE");
    if (!allowed.isEmpty())
        for (const QString& path : allowed.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            FPathBox->addItem(path);
    FPathBox->setEditable(false);
    FPathBox->setEnabled(true);
    FStartScanAction->setVisible(false);
    FOptionsAction->setVisible(false);
    FSelectFolderAction->setVisible(false);
    FExportTextAction->setEnabled(false);
    FExportHtmlAction->setEnabled(false);
}

void TMainForm::ApplyWindowValues()
{
    const int left = FValues.SplitterV4 > 0 ? FValues.SplitterV4 : width() / 3;
    FSplitter->setSizes({left, qMax(100, width() - left)});
    FDriveList->setMinimumHeight(0);
    if (auto* leftSplitter = qobject_cast<QSplitter*>(FDriveList->parentWidget()))
        leftSplitter->setSizes({qMax(100, height() - FValues.DriveListHeight), FValues.DriveListHeight});
    FScanningToolBar->setVisible(FValues.ScanningToolbarVisible);
    FDataToolBar->setVisible(FValues.DataToolbarVisible);
    FRightPane->setCurrentIndex(qBound(0, FValues.ActivePage, FRightPane->count() - 1));
    if (FValues.ToolBarBreak)
        insertToolBarBreak(FDataToolBar);
}

void TMainForm::CollectWindowValues()
{
    FValues.SplitterV4 = FSplitter->sizes().value(0, FValues.SplitterV4);
    FValues.DriveListHeight = FDriveList->height();
    FValues.ScanningToolbarVisible = FScanningToolBar->isVisible();
    FValues.DataToolbarVisible = FDataToolBar->isVisible();
    FValues.ActivePage = FRightPane->currentIndex();
    FValues.UsePlainNumbers = FOptions.UsePlainNumbers;
    FValues.UnitType2 = int(FOptions.SizeUnit);
}

void TMainForm::ProcessCommandLine()
{
    FRun.Execute(ClipboardActions());
}

void TMainForm::UpdateCaption(const QString& reportCaption)
{
    setWindowTitle(MainCaption(ApplicationTitle(), DefaultColumnCaption(FOptions.ViewType), reportCaption));
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // The start-up scan reads the list from its end: keep the roots' order.
    if (FRoots && FOptions.StartupBehaviour == TGlobalOptions::sbLastPaths && FRun.Run().NoPathsGiven) {
        FOptions.StartupPaths.clear();
        for (auto it = FRoots->Items().crbegin(); it != FRoots->Items().crend(); ++it)
            FOptions.StartupPaths.append((*it)->Path);
    }
    if (FRoots)
        FRoots->Clear();
    if (FRun.SavesSettings()) {
        CollectWindowValues();
        FValues.Save(FOptions.Settings());
        FOptions.Save();
    }
    TBRASKForm::closeEvent(event);
}

} // namespace kelvane
