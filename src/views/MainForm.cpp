#include "MainForm.h"

#include "GraphicsRunActions.h"
#include "AggregateListModel.h"
#include "DetailsModel.h"
#include "FileManagerActions.h"
#include "FolderTreeDelegate.h"
#include "FolderTreeModel.h"
#include "MainChart.h"
#include "PageCharts.h"
#include "PercentBarDelegate.h"
#include "ProgressDialog.h"
#include "TopFilesModel.h"
#include "app/ApplicationInfo.h"
#include "app/EventLog.h"
#include "app/GlobalOptions.h"
#include "app/ProgramRun.h"
#include "lib/platform/Paths.h"
#include "reports/AggregateList.h"
#include "reports/HtmlExport.h"
#include "reports/ListText.h"
#include "reports/TextExport.h"
#include "reports/XMLReportComparer.h"
#include "reports/XMLReportReader.h"
#include "reports/XMLReportWriter.h"
#include "scan/Root.h"
#include "scan/Roots.h"
#include "scan/TreeOrder.h"

#include <QAbstractBarSeries>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPieSeries>
#include <QPieSlice>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <functional>

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
    // Tree captions line their numbers up in the tree's font.
    const QFontMetrics metrics = FTree->fontMetrics();
    SetTextWidthMeasure([metrics](const QString& text) { return metrics.horizontalAdvance(text); });
    setAcceptDrops(!FRestricted);
    ConnectModels();
    UpdateCaption();
}

TMainForm::~TMainForm()
{
    SetTextWidthMeasure({});
}

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
    FStopScanAction = new QAction(tr("Stop Scan"), this);
    FRemoveRootAction = new QAction(tr("&Remove from Kelvane"), this);
    connect(FExitAction, &QAction::triggered, this, &QWidget::close);
    connect(FStartScanAction, &QAction::triggered, this, [this] { ScanPath(FPathBox->currentText()); });
    connect(FSelectFolderAction, &QAction::triggered, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, tr("Select Directory"));
        if (!folder.isEmpty())
            ScanPath(folder);
    });
    connect(FOpenReportAction, &QAction::triggered, this, &TMainForm::OpenReport);
    connect(FSaveReportAction, &QAction::triggered, this, &TMainForm::SaveReport);
    connect(FCompareReportAction, &QAction::triggered, this, &TMainForm::CompareReport);
    connect(FExportTextAction, &QAction::triggered, this, [this] { ExportCurrent(false); });
    connect(FExportHtmlAction, &QAction::triggered, this, [this] { ExportCurrent(true); });
    FSaveListAction = new QAction(tr("&Save List..."), this);
    FSaveListAction->setToolTip(tr("Save the list content to a file"));
    connect(FSaveListAction, &QAction::triggered, this, &TMainForm::SaveDetailsList);
    connect(FStopScanAction, &QAction::triggered, this, [this] {
        if (TRoot* root = CurrentRoot())
            root->Stop();
    });
    connect(FRemoveRootAction, &QAction::triggered, this, [this] {
        if (TRoot* root = CurrentRoot(); root && FRoots)
            FRoots->Remove(root);
    });
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
    file->addAction(FSaveListAction);
    file->addSeparator();
    file->addAction(FExitAction);
    QMenu* view = menuBar()->addMenu(tr("&View"));
    CreateViewActions(view);
    QMenu* chart = menuBar()->addMenu(tr("&Chart"));
    FPieAction = chart->addAction(tr("&Pie Chart"), this, [this] { SetChartForm(true); });
    FBarAction = chart->addAction(tr("&Bar Chart"), this, [this] { SetChartForm(false); });
    for (QAction* action : {FPieAction, FBarAction})
        action->setCheckable(true);
    chart->addSeparator();
    auto toggle = [this, chart](const QString& caption, bool on, std::function<void(bool)> apply) {
        QAction* action = chart->addAction(caption);
        action->setCheckable(true);
        action->setChecked(on);
        connect(action, &QAction::toggled, this, [this, apply](bool checked) {
            apply(checked);
            RebuildChart();
        });
    };
    toggle(tr("Show Chart Legend"), FValues.ChartLegend, [this](bool on) { FChartLegend = FValues.ChartLegend = on; });
    toggle(tr("Show Gradient"), FOptions.ChartShowGradient, [this](bool on) { FOptions.ChartShowGradient = on; });
    toggle(tr("Show &Free Space"), FOptions.ChartShowFreeSpace, [this](bool on) { FOptions.ChartShowFreeSpace = on; });
    toggle(tr("Show Vertical Grid"), true, [this](bool on) { FChartVerticalGrid = on; });
    toggle(tr("Show Horizontal Grid"), true, [this](bool on) { FChartHorizontalGrid = on; });
    toggle(tr("Patterns / Colors"), FValues.ChartPatterns, [this](bool on) { FChartPatterns = FValues.ChartPatterns = on; });
    toggle(tr("Show Zero Point"), FOptions.ShowZeroInHistory, [this](bool on) {
        FOptions.ShowZeroInHistory = on;
        RefreshPageCharts();
    });
    chart->addAction(tr("Zoom In"), this, [this] { ZoomChart(20); });
    chart->addAction(tr("Zoom Out"), this, [this] { ZoomChart(-20); });
    chart->addAction(tr("Colo&r..."), this, [this] {
        // The next click on a slice or bar takes the colour.
        const QColor colour = QColorDialog::getColor(Qt::red, this, tr("Chart Colour"));
        if (colour.isValid())
            FChartColour = colour;
    });
    chart->addSeparator();
    chart->addAction(tr("&Copy Chart to Clipboard"), this, [this] {
        QWidget* page = FRightPane->currentWidget();
        auto* view = qobject_cast<QChartView*>(page);
        if (!view && page)
            view = page->findChild<QChartView*>();
        if (view)
            QGuiApplication::clipboard()->setPixmap(view->grab());
    });
    chart->addAction(tr("&Save Chart..."), this, &TMainForm::SaveChart);
    QMenu* scan = menuBar()->addMenu(tr("&Scan"));
    scan->addAction(FStartScanAction);
    scan->addAction(FStopScanAction);
    scan->addAction(FRemoveRootAction);
    QMenu* tools = menuBar()->addMenu(tr("&Tools"));
    tools->addAction(FOptionsAction);
}

void TMainForm::CreateViewActions(QMenu* view)
{
    using namespace viewtypes;
    auto group = [this, view](QActionGroup*& target, std::initializer_list<std::pair<const char*, int>> items, int current,
                              void (TMainForm::*apply)(int)) {
        target = new QActionGroup(this);
        for (const auto& [caption, value] : items) {
            QAction* action = view->addAction(tr(caption));
            action->setCheckable(true);
            action->setChecked(value == current);
            action->setData(value);
            target->addAction(action);
            connect(action, &QAction::triggered, this, [this, apply, value = value] { (this->*apply)(value); });
        }
        view->addSeparator();
    };
    group(FViewTypeGroup,
          {{"&Size", vt_size}, {"&Allocated Space", vt_alloc}, {"&Percent", vt_percent}, {"&Wasted Space", vt_wasted},
           {"&CD/DVD Size", vt_CDSize}, {"&File Count", vt_files}},
          qMax(int(vt_size), int(FOptions.ViewType)), &TMainForm::SetViewType);
    group(FUnitGroup, {{"Values as &KB", Kilo}, {"Values as &MB", Mega}, {"Values as &GB", Giga}, {"Mi&xed Units", Mixed}},
          int(FOptions.SizeUnit), &TMainForm::SetSizeUnit);
    group(FSortGroup, {{"Sort By &Name", stName}, {"Sort By &Size", stSize}, {"N&o Sorting", stNone}}, int(FOptions.SortType),
          &TMainForm::SetSortType);
    view->addAction(tr("&Full Expand"), this, [this] { ExpandCurrent(260, 0); });
    for (int level = 1; level <= 4; ++level)
        view->addAction(tr("To Level &%1").arg(level), this, [this, level] { ExpandCurrent(level, 0); });
    FExpandOverAction = view->addAction(QString(), this, [this] { ExpandCurrent(260, FValues.MinimumExpandSize); });
    view->addAction(tr("Full &Collapse"), this, [this] { ExpandCurrent(0, 0); });
    FRemoveSmallAction = view->addAction(QString(), this, &TMainForm::RemoveSmallFolders);
    view->addAction(tr("&Set Size"), this, &TMainForm::AskMinimumExpandSize);
    UpdateSizeActionCaptions();
    view->addSeparator();
    view->addAction(tr("&Find Deepest Nesting"), this, &TMainForm::FindDeepestNesting);
    QAction* up = view->addAction(tr("Go Up"), this, &TMainForm::GoUp);
    up->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Up));
}

void TMainForm::UpdateSizeActionCaptions()
{
    FExpandOverAction->setText(tr("Expand Folder &over: %1 MB").arg(FValues.MinimumExpandSize));
    FRemoveSmallAction->setText(tr("&Remove Folder <%1 MB").arg(FValues.MinimumExpandSize));
}

void TMainForm::AskMinimumExpandSize()
{
    bool ok = false;
    const QString answer = QInputDialog::getText(this, tr("Minimum Expand Size"), tr("Specify the minimum size for expanding and removing:"),
                                                 QLineEdit::Normal, QStringLiteral("%1 MB").arg(FValues.MinimumExpandSize), &ok);
    if (!ok)
        return;
    const QString digits = QRegularExpression(QStringLiteral("^\\s*-?\\d+")).match(answer).captured().trimmed();
    if (digits.isEmpty()) {
        ShowMessage(EEventType::Error, tr("Sorry, this was not a valid number."));
        return;
    }
    FValues.MinimumExpandSize = qAbs(digits.toInt());
    UpdateSizeActionCaptions();
}

void TMainForm::RemoveSmallFolders()
{
    if (!FCurrent || !FRoots)
        return;
    const int viewType = qMax(int(viewtypes::vt_size), int(FOptions.ViewType));
    const double minimum = FValues.MinimumExpandSize;
    std::function<void(TFolderData*)> walk = [&](TFolderData* folder) {
        const std::vector<TFolderData*> children = folder->Children();
        for (TFolderData* child : children) {
            if (!child->IsScanning() && !child->IsBranchBusy() && std::abs(child->GetValue(viewType, viewtypes::Mega).first) < minimum)
                FRoots->RemoveNode(child, false);
            else
                walk(child);
        }
    };
    QApplication::setOverrideCursor(Qt::WaitCursor);
    walk(FCurrent);
    QApplication::restoreOverrideCursor();
    RefreshAllViews();
}

void TMainForm::SaveDetailsList()
{
    if (FDetailsModel->rowCount() == 0)
        return;
    QString selectedFilter;
    QString file = QFileDialog::getSaveFileName(this, tr("Save the list content to a file"), {}, tr("Text (*.txt);;CSV (*.csv);;All files (*)"),
                                                &selectedFilter);
    if (file.isEmpty())
        return;
    // The first two filters force their extension.
    if (selectedFilter.startsWith(QLatin1String("Text")) && !file.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        file += QStringLiteral(".txt");
    else if (selectedFilter.startsWith(QLatin1String("CSV")) && !file.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        file += QStringLiteral(".csv");
    TListTable list;
    const QModelIndexList selected = FDetails->selectionModel()->selectedRows();
    for (int column = 0; column < FDetailsModel->columnCount(); ++column)
        list.Captions.append(FDetailsModel->headerData(column, Qt::Horizontal).toString());
    for (int row = 0; row < FDetailsModel->rowCount(); ++row) {
        // More than one selected entry: only those.
        if (selected.size() > 1 && !FDetails->selectionModel()->isRowSelected(row))
            continue;
        QStringList cells;
        for (int column = 0; column < FDetailsModel->columnCount(); ++column)
            cells.append(FDetailsModel->index(row, column).data().toString());
        list.Rows.push_back(cells);
    }
    if (const QString error = SaveListToFile(list, file); !error.isEmpty())
        ShowMessage(EEventType::Error, error);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    // The wheel turns the pie, 3 degrees a notch.
    if (event->type() == QEvent::Wheel && watched == FChartView->viewport() && FPieChart && FChartView->chart()) {
        const int notches = static_cast<QWheelEvent*>(event)->angleDelta().y() / 120;
        for (QAbstractSeries* series : FChartView->chart()->series())
            if (auto* pie = qobject_cast<QPieSeries*>(series)) {
                pie->setPieStartAngle(pie->pieStartAngle() - 3.0 * notches);
                pie->setPieEndAngle(pie->pieStartAngle() + 360.0);
            }
        return true;
    }
    if (event->type() == QEvent::KeyPress && (watched == FTree || watched == FDetails)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Backspace) {
            GoUp();
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && (key->modifiers() & Qt::ControlModifier) && FCurrent
            && FCurrent->Parent && !FRestricted) {
            ShowFileManagerProperties(ExcludeTrailingPathDelimiter(FCurrent->GetFullPath()));
            return true;
        }
    }
    return TBRASKForm::eventFilter(watched, event);
}

void TMainForm::ShowTreeMenu(const QPoint& at)
{
    TFolderData* folder = TFolderTreeModel::FolderOf(FTree->indexAt(at));
    if (!folder)
        return;
    SetCurrentFolder(folder);
    const QString path = ExcludeTrailingPathDelimiter(folder->IsFilesItem() ? folder->Parent->GetFullPath() : folder->GetFullPath());
    QMenu menu(this);
    // Programs and the file manager are not offered on shared machines.
    const bool desktop = !FRestricted && !folder->Root->IsLoadedReport;
    menu.addAction(tr("&Open"), this, [path] { OpenWithDesktop(path); })->setEnabled(desktop);
    menu.addAction(tr("Open &Containing Folder"), this, [path] { ShowInFileManager(path); })->setEnabled(desktop);
    menu.addAction(tr("Copy &Path"), this, [path] { QGuiApplication::clipboard()->setText(path); });
    menu.addAction(tr("P&roperties"), this, [this, path] {
        if (!ShowFileManagerProperties(path))
            FStatusText->setText(tr("The file manager did not answer"));
    })->setEnabled(desktop);
    menu.addSeparator();
    menu.addAction(tr("&Full Expand"), this, [this] { ExpandCurrent(260, 0); });
    menu.addAction(tr("Full &Collapse"), this, [this] { ExpandCurrent(0, 0); });
    menu.addAction(tr("Copy &Branch Data to Clipboard"), this, [this, folder] {
        if (const QString error = CopyBranchToClipboard(*folder); !error.isEmpty())
            ShowMessage(EEventType::Error, error);
    });
    menu.addAction(tr("&Find Deepest Nesting"), this, &TMainForm::FindDeepestNesting);
    if (!folder->Parent) {
        menu.addSeparator();
        menu.addAction(folder->Root->IsScanning() ? FStopScanAction : FRemoveRootAction);
    }
    menu.exec(FTree->viewport()->mapToGlobal(at));
}

void TMainForm::FindDeepestNesting()
{
    if (!FCurrent)
        return;
    const TFolderData* deepest = FCurrent;
    int best = 0;
    std::function<void(const TFolderData*, int)> walk = [&](const TFolderData* folder, int depth) {
        if (depth > best && !folder->IsFilesItem()) {
            best = depth;
            deepest = folder;
        }
        for (const TFolderData* child : folder->Children())
            walk(child, depth + 1);
    };
    walk(FCurrent, 0);
    for (const TFolderData* p = deepest->Parent; p; p = p->Parent)
        FTree->expand(FTreeModel->IndexOf(p));
    SetCurrentFolder(const_cast<TFolderData*>(deepest));
}

void TMainForm::GoUp()
{
    if (!FCurrent)
        return;
    if (FCurrent->Parent) {
        SetCurrentFolder(FCurrent->Parent);
        return;
    }
    TRoot* root = FCurrent->Root;
    if (!root || IsDriveRoot(root->Path) || FRun.Unattended() || FRun.NoWindow())
        return;
    const QString parent = ExtractFilePath(ExcludeTrailingPathDelimiter(root->Path));
    if (QMessageBox::question(this, ApplicationTitle(), tr("Do you want to scan \"%1\"?").arg(parent)) != QMessageBox::Yes)
        return;
    FRoots->Remove(root);
    ScanPath(parent);
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
    connect(FPathBox->lineEdit(), &QLineEdit::returnPressed, this, [this] { ScanPath(FPathBox->currentText()); });
    FScanningToolBar->addAction(FStartScanAction);
    FScanningToolBar->addAction(FSelectFolderAction);

    FDataToolBar = addToolBar(tr("Data"));
    FDataToolBar->setObjectName(QStringLiteral("DataToolbar"));
    FDataToolBar->addAction(FOpenReportAction);
    FDataToolBar->addAction(FSaveReportAction);
    FDataToolBar->addAction(FExportHtmlAction);
    FDataToolBar->addAction(FStopScanAction);
}

void TMainForm::CreatePanes()
{
    FSplitter = new QSplitter(Qt::Horizontal, this);
    FSplitter->setObjectName(QStringLiteral("MainSplitter"));

    auto* left = new QSplitter(Qt::Vertical, FSplitter);
    FTree = new QTreeView(left);
    FTree->setObjectName(QStringLiteral("DirectoryTree"));
    FTree->setHeaderHidden(true);
    FTree->setUniformRowHeights(true);
    FTree->setTextElideMode(Qt::ElideNone);
    FTree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FTree, &QWidget::customContextMenuRequested, this, &TMainForm::ShowTreeMenu);
    if (FRoots) {
        FTreeModel = new TFolderTreeModel(*FRoots, FOptions, this);
        FTree->setModel(FTreeModel);
        FTree->setItemDelegate(new TFolderTreeDelegate(FOptions, FTree));
    }
    FDriveList = new QWidget(left);
    FDriveList->setObjectName(QStringLiteral("DriveList"));

    auto* right = new QWidget(FSplitter);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    FOverview = new QLabel(right);
    FOverview->setObjectName(QStringLiteral("OverviewPanel"));
    FOverview->setWordWrap(true);
    FOverview->setTextFormat(Qt::RichText);
    rightLayout->addWidget(FOverview);
    FRightPane = new QTabWidget(right);
    rightLayout->addWidget(FRightPane, 1);
    FRightPane->setObjectName(QStringLiteral("RightPane"));
    FDetails = new QTreeView(FRightPane);
    FDetails->setObjectName(QStringLiteral("DetailsList"));
    FDetails->setRootIsDecorated(false);
    FDetails->setUniformRowHeights(true);
    FDetails->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FDetailsModel = new TDetailsModel(FOptions, this);
    FDetails->setModel(FDetailsModel);
    FDetails->setItemDelegate(new TPercentBarDelegate(FDetails));
    FDetails->setSortingEnabled(true);
    FDetails->header()->setSortIndicatorShown(true);
    FDetails->header()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FDetails->header(), &QHeaderView::customContextMenuRequested, this, &TMainForm::ShowDetailsHeaderMenu);
    // A new sort column starts largest first for the counter columns.
    connect(FDetails->header(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (section == std::exchange(FDetailsSortSection, section))
            return;
        const int type = FDetailsModel->Columns().at(size_t(section));
        const bool counters = type >= viewtypes::vt_size && type <= viewtypes::vt_Folders;
        FDetails->sortByColumn(section, counters ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
    SortDetailsByViewType();
    FRightPane->addTab(FDetails, tr("Details"));
    FChartView = new QChartView(FRightPane);
    FChartView->setObjectName(QStringLiteral("MainChart"));
    FChartView->setRenderHint(QPainter::Antialiasing);
    FChartView->viewport()->installEventFilter(this);
    auto* chartPage = new QWidget(FRightPane);
    auto* chartLayout = new QHBoxLayout(chartPage);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->setSpacing(0);
    FChartView->setParent(chartPage);
    chartLayout->addWidget(FChartView, 1);
    // Pages through the bars when they do not all fit.
    FChartScroll = new QScrollBar(Qt::Vertical, chartPage);
    FChartScroll->hide();
    chartLayout->addWidget(FChartScroll);
    connect(FChartScroll, &QScrollBar::valueChanged, this, &TMainForm::ShowChartPage);
    FRightPane->addTab(chartPage, tr("Chart"));
    FRightPane->addTab(CreateAggregatePage(true), tr("Extensions"));
    FRightPane->addTab(CreateAggregatePage(false), tr("Users"));
    FTopFiles = new QTreeView(FRightPane);
    FTopFiles->setObjectName(QStringLiteral("TopFilesList"));
    FTopFiles->setRootIsDecorated(false);
    FTopFiles->setUniformRowHeights(true);
    FTopFilesModel = new TTopFilesModel(this);
    FTopFiles->setModel(FTopFilesModel);
    FTopFiles->setSortingEnabled(true);
    FTopFiles->sortByColumn(2, Qt::DescendingOrder);
    connect(FTopFiles, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        if (!FRestricted)
            OpenWithDesktop(FTopFilesModel->FileAt(index.row()).GetFullPath());
    });
    FRightPane->addTab(FTopFiles, tr("Top 100 Files"));
    FFileAgeView = new QChartView(FRightPane);
    FFileAgeView->setRenderHint(QPainter::Antialiasing);
    FRightPane->addTab(FFileAgeView, tr("File Ages"));
    FHistoryView = new QChartView(FRightPane);
    FHistoryView->setRenderHint(QPainter::Antialiasing);
    FRightPane->addTab(FHistoryView, tr("History"));
    connect(FRightPane, &QTabWidget::currentChanged, this, [this] { RefreshAllViews(); });
    FProgress = new TProgressDialog(this);
    setCentralWidget(FSplitter);
}

void TMainForm::CreateStatusBar()
{
    FFreeSpaceText = new QLabel(this);
    FFilesText = new QLabel(this);
    FExcludedText = new QLabel(this);
    FStatusText = new QLabel(this);
    FFreeSpaceText->setMinimumWidth(260);
    FFilesText->setMinimumWidth(120);
    FExcludedText->setMinimumWidth(120);
    statusBar()->addWidget(FFreeSpaceText);
    statusBar()->addWidget(FFilesText);
    statusBar()->addWidget(FExcludedText);
    statusBar()->addWidget(FStatusText, 1);
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
    FPieChart = FValues.PieSeriesActive;
    FChartLegend = FValues.ChartLegend;
    FChartPatterns = FValues.ChartPatterns;
    for (QAction* action : findChildren<QAction*>()) {
        if (action->text() == tr("Show Chart Legend"))
            action->setChecked(FChartLegend);
        else if (action->text() == tr("Patterns / Colors"))
            action->setChecked(FChartPatterns);
    }
    FPieAction->setChecked(FPieChart);
    FBarAction->setChecked(!FPieChart);
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
    FValues.PieSeriesActive = FPieChart;
}

void TMainForm::ProcessCommandLine()
{
    TRunActions actions = GraphicsRunActions();
    actions.ChartForm = [this](const QString& form) { SetChartForm(form != QLatin1String("bar")); };
    actions.SaveChart = [this](TRoot& root, const QString& file) { return SaveRootChart(root, file, FPieChart, FChartView->size()); };
    FRun.Execute(actions);
}

void TMainForm::UpdateCaption(const QString& reportCaption)
{
    setWindowTitle(MainCaption(ApplicationTitle(), DefaultColumnCaption(FOptions.ViewType), reportCaption));
}

void TMainForm::ConnectModels()
{
    if (!FRoots)
        return;
    connect(FTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { SetCurrentFolder(TFolderTreeModel::FolderOf(current)); });
    connect(FTree, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (TFolderData* folder = TFolderTreeModel::FolderOf(index))
            folder->SetFlag(TFolderData::fdExpanded, true);
    });
    connect(FTree, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        if (TFolderData* folder = TFolderTreeModel::FolderOf(index))
            folder->SetFlag(TFolderData::fdExpanded, false);
    });
    connect(FDetails->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TMainForm::ShowSelectionSummary);
    connect(FDetails, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        TFolderData* entry = FDetailsModel->EntryAt(index.row());
        if (entry && entry->IsFolder()) {
            FTree->expand(FTreeModel->IndexOf(entry->Parent));
            FTree->setCurrentIndex(FTreeModel->IndexOf(entry));
        }
    });
    // A root going away takes its nodes, and the details list's file entries
    // must go while their root still exists.
    connect(FRoots, &TRoots::RootAboutToBeRemoved, this, [this](TRoot* root) {
        if (FCurrent && FCurrent->Root == root) {
            FCurrent = nullptr;
            FDetailsModel->Forget();
            RefreshStatusBar();
        }
    });
    connect(FRoots, &TRoots::ChildrenAboutToBeRemoved, this, [this](TFolderData* parent) {
        for (const TFolderData* f = FCurrent; f; f = f->Parent)
            if (f->Parent == parent) {
                FCurrent = nullptr;
                FDetailsModel->Forget();
                break;
            }
    });
    // A new root shows its first level while it is being scanned.
    connect(FRoots, &TRoots::RootAdded, this, [this](TRoot* root) {
        const QModelIndex index = FTreeModel->IndexOf(root->RootFolder.get());
        root->RootFolder->SetFlag(TFolderData::fdExpanded, true);
        FTree->expand(index);
        if (!FCurrent)
            FTree->setCurrentIndex(index);
    });
    connect(FRoots, &TRoots::NodeRemoved, this, [this](TFolderData* parent) {
        if (FCurrent == parent)
            RefreshAllViews();
    });
    connect(FRoots, &TRoots::NodeAboutToBeRemoved, this, [this](TFolderData* node) {
        for (const TFolderData* f = FCurrent; f; f = f->Parent)
            if (f == node) {
                FCurrent = nullptr;
                FDetailsModel->Forget();
                break;
            }
        if (FDetailsModel->Folder() == node->Parent)
            FDetailsModel->Forget(); // refilled when the node is gone
    });
    FTree->setMouseTracking(true);
    connect(FTree, &QAbstractItemView::entered, this, [this](const QModelIndex& index) {
        if (const TFolderData* folder = TFolderTreeModel::FolderOf(index))
            FStatusText->setText(folder->GetFullPath());
    });
    FTree->installEventFilter(this);
    FDetails->installEventFilter(this);
    connect(FRoots, &TRoots::ScanStarted, this, [this] { RefreshStatusBar(); });
    // The right pane follows a running scan only when asked to.
    FDisplayTimer = new QTimer(this);
    FDisplayTimer->setInterval(2 * qMax(100, FOptions.RefreshInterval));
    connect(FDisplayTimer, &QTimer::timeout, this, [this] {
        if (!isVisible() || FRun.Unattended() || FRun.NoWindow() || !FCurrent || !CurrentRoot()->IsScanning() || FDetails->hasFocus())
            return;
        RefreshAllViews();
    });
    if (FValues.UpdateRightPane && !FRun.Unattended())
        FDisplayTimer->start();
    // Counters grow between the hand-overs of new nodes too.
    auto* ticker = new QTimer(this);
    ticker->setInterval(400);
    connect(ticker, &QTimer::timeout, this, [this] {
        if (FRoots->IsAnyScanning()) {
            FTree->viewport()->update();
            RefreshStatusBar();
            RefreshOverview();
        }
    });
    ticker->start();
    connect(FRoots, &TRoots::ScanEnded, this, [this](TRoot* root) {
        SyncExpansion();
        if (FCurrent && FCurrent->Root == root)
            RefreshAllViews();
    });
}

TRoot* TMainForm::CurrentRoot() const
{
    return FCurrent ? FCurrent->Root : nullptr;
}

void TMainForm::SetCurrentFolder(TFolderData* folder)
{
    FCurrent = folder;
    const QModelIndex index = FTreeModel ? FTreeModel->IndexOf(folder) : QModelIndex();
    if (index.isValid() && FTree->currentIndex() != index) {
        FTree->setCurrentIndex(index);
        FTree->scrollTo(index);
    }
    if (folder && folder->Root)
        FPathBox->setEditText(folder->Root->Path);
    RefreshAllViews();
}

void TMainForm::ScanPath(const QString& path)
{
    if (!FRoots || path.trimmed().isEmpty())
        return;
    QString wanted = path.trimmed();
    if (wanted == QLatin1String("~") || wanted.startsWith(QLatin1String("~/")))
        wanted = QDir::homePath() + wanted.mid(1); // as a shell would
    const auto made = FRoots->ScanPath(wanted);
    if (!made.empty())
        SetCurrentFolder(made.front()->RootFolder.get());
}

void TMainForm::RefreshAllViews()
{
    if (FRightPane->currentWidget() == FDetails)
        FDetailsModel->SetFolder(FCurrent);
    else
        FDetailsModel->SetFolder(nullptr);
    // The statistics pages are filled while they are shown.
    const bool scanning = CurrentRoot() && CurrentRoot()->IsScanning();
    FExtensionModel->SetFolder(IsPageShown(FExtensionList) && !scanning ? FCurrent : nullptr);
    FOwnerModel->SetFolder(IsPageShown(FOwnerList) && !scanning ? FCurrent : nullptr);
    AskForGrouping();
    FTopFilesModel->SetRoot(FRightPane->currentWidget() == FTopFiles ? CurrentRoot() : nullptr);
    RefreshPageCharts();
    TRoot* root = CurrentRoot();
    UpdateCaption(root ? root->ReportCaption() : QString());
    RefreshStatusBar();
    RefreshOverview();
    RebuildChart();
}

QWidget* TMainForm::CreateAggregatePage(bool extensions)
{
    auto* page = new QWidget(FRightPane);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* tools = new QToolBar(page);
    layout->addWidget(tools);
    auto* list = new QTreeView(page);
    list->setObjectName(extensions ? QStringLiteral("ExtensionList") : QStringLiteral("OwnerList"));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    auto* model = new TAggregateListModel(extensions, FOptions, this);
    list->setModel(model);
    list->setItemDelegate(new TPercentBarDelegate(list));
    list->setSortingEnabled(true);
    list->sortByColumn(1, Qt::DescendingOrder);
    auto* split = new QSplitter(Qt::Vertical, page);
    split->addWidget(list);
    auto* chartView = new QChartView(split);
    chartView->setRenderHint(QPainter::Antialiasing);
    chartView->setObjectName(extensions ? QStringLiteral("ExtensionsChart") : QStringLiteral("UsersChart"));
    split->addWidget(chartView);
    split->setSizes({250, 250});
    layout->addWidget(split, 1);
    // The chart follows the list's rows and order.
    auto rebuild = [this, model, chartView, extensions] {
        if (!chartView->isVisible() && !chartView->isVisibleTo(chartView->window()))
            return;
        QChart* old = chartView->chart();
        chartView->setChart(CreateAggregateChart(*model, extensions, FOptions.SizeUnit));
        delete old;
    };
    connect(model, &QAbstractItemModel::modelReset, this, rebuild);
    QAction* showChart = tools->addAction(extensions ? tr("Show Chart") : tr("Show Chart for Users"));
    showChart->setCheckable(true);
    showChart->setChecked(true);
    connect(showChart, &QAction::toggled, this, [chartView, rebuild](bool on) {
        chartView->setVisible(on);
        rebuild();
    });
    auto selectedKey = [list, model] { return model->KeyAt(list->currentIndex().row()); };
    QAction* limit = tools->addAction(extensions ? tr("&Limit Tree to this Extension") : tr("&Limit to this User"), this,
                                      [this, extensions, selectedKey] { SetLimit(extensions, selectedKey()); });
    limit->setToolTip(extensions ? tr("Show the folder sizes for the selected extension only") : tr("Show the folder sizes for the selected user only"));
    tools->addAction(extensions ? tr("&Show All Extensions") : tr("&Show All Users"), this, [this, extensions] { SetLimit(extensions, QString()); });
    tools->addAction(tr("&Save List..."), this, [this, extensions] {
        if (!FCurrent)
            return;
        const QString file = QFileDialog::getSaveFileName(this, tr("Save Kelvane Data"), {}, tr("Text Files (*.txt);;CSV Files (*.csv);;All files (*)"));
        if (file.isEmpty())
            return;
        if (const QString error = SaveAggregateList(extensions ? ExtensionList(*FCurrent) : OwnerList(*FCurrent), file); !error.isEmpty())
            ShowMessage(EEventType::Error, error);
    });
    if (extensions)
        connect(list, &QTreeView::doubleClicked, this, [this, model](const QModelIndex& index) { SetLimit(true, model->KeyAt(index.row())); });
    (extensions ? FExtensionList : FOwnerList) = list;
    (extensions ? FExtensionModel : FOwnerModel) = model;
    return page;
}

bool TMainForm::IsPageShown(const QWidget* content) const
{
    const QWidget* page = FRightPane->currentWidget();
    return page && (page == content || page->isAncestorOf(content));
}

void TMainForm::AskForGrouping()
{
    const bool users = IsPageShown(FOwnerList);
    const bool extensions = IsPageShown(FExtensionList);
    TRoot* root = CurrentRoot();
    // Asked once at a time, and never without a person to answer.
    if ((!users && !extensions) || !root || root->IsScanning() || FAskingForGrouping || FRun.Unattended() || FRun.NoWindow() || !isVisible())
        return;
    if (users ? (FOptions.GroupUsers || FOwnerModel->rowCount() > 0) : (FOptions.GroupExtensions || FExtensionModel->rowCount() > 0))
        return;
    FAskingForGrouping = true;
    const QString text = users ? tr("Currently Grouping by Users is not activated. Would you \nlike to activate this feature for future scans? "
                                    "Getting the owner \nfor each file will slow down the scanning process. A rescan must be performed to "
                                    "gather this information.")
                               : tr("Currently Grouping by Extension is not activated. Would you \nlike to activate this feature for future "
                                    "scans? This will slightly slow down the scanning process.\n A rescan must be performed to gather this "
                                    "information.");
    const auto answer = QMessageBox::question(this, users ? tr("Users") : tr("Extensions"), text);
    FAskingForGrouping = false;
    if (answer == QMessageBox::Yes)
        (users ? FOptions.GroupUsers : FOptions.GroupExtensions) = true;
    else
        FRightPane->setCurrentWidget(FDetails);
}

void TMainForm::SetLimit(bool extensions, const QString& key)
{
    TRoot* root = CurrentRoot();
    if (!root)
        return;
    // One limit at a time: an owner or an extension.
    root->SetUserFilter(extensions ? QString() : key);
    root->SetExtensionFilter(extensions ? key : QString());
    if (FTreeModel)
        FTreeModel->SortAll();
    FTree->viewport()->update();
    RefreshAllViews();
}

void TMainForm::SetChartForm(bool pie)
{
    FPieChart = pie;
    FValues.PieSeriesActive = pie;
    FPieAction->setChecked(pie);
    FBarAction->setChecked(!pie);
    FRightPane->setCurrentWidget(FChartView->parentWidget());
    RebuildChart();
}

void TMainForm::RebuildChart()
{
    if (FRightPane->currentWidget() != FChartView->parentWidget())
        return;
    QChart* old = FChartView->chart();
    if (!FCurrent) {
        FChartView->setChart(new QChart);
        delete old;
        return;
    }
    TChartSettings settings;
    settings.Pie = FPieChart;
    settings.ViewType = qMax(int(viewtypes::vt_size), int(FOptions.ViewType));
    settings.Unit = FOptions.SizeUnit;
    settings.SortType = FOptions.SortType;
    settings.ShowFreeSpace = FOptions.ChartShowFreeSpace;
    settings.ChartHeight = FChartView->height();
    settings.ShowOther = FChartShowsOther;
    FChartShowsOther = true;
    const TMainChartData data = BuildMainChart(*FCurrent, settings);
    QChart* chart = CreateMainChart(data, FOptions.ChartShowGradient);
    // Double-clicking a slice or bar goes into the folder it stands for,
    // opens the file, or shows the slices merged into "Other".
    ConnectChartItems(chart, data, [this, items = data.Items](int index) {
        if (index < 0 || index >= int(items.size()))
            return;
        const TChartItem& item = items[size_t(index)];
        if (item.IsOther) {
            FChartShowsOther = false;
            QTimer::singleShot(0, this, &TMainForm::RebuildChart);
        } else if (item.Folder) {
            FTree->expand(FTreeModel->IndexOf(FCurrent));
            TFolderData* target = item.Folder;
            QTimer::singleShot(0, this, [this, parent = FCurrent, target] {
                // Only while the chart's folder and its child are still there.
                if (FCurrent == parent && std::find(parent->Children().begin(), parent->Children().end(), target) != parent->Children().end())
                    SetCurrentFolder(target);
            });
        } else if (!item.FilePath.isEmpty() && !FRestricted) {
            OpenWithDesktop(item.FilePath);
        }
    });
    chart->legend()->setVisible(FChartLegend);
    ApplyChartLooks(chart);
    FChartView->setChart(chart);
    FChartZoom = 100;
    delete old;
    FChartBars = int(data.Items.size());
    FChartBarsPerPage = data.BarsPerPage;
    FChartScroll->setVisible(data.Paging);
    if (data.Paging) {
        const QSignalBlocker quiet(FChartScroll);
        FChartScroll->setRange(0, FChartBars - FChartBarsPerPage);
        FChartScroll->setPageStep(FChartBarsPerPage);
        FChartScroll->setValue(0);
        ShowChartPage(0);
    }
}

void TMainForm::RefreshPageCharts()
{
    auto replace = [](QChartView* view, QChart* chart) {
        QChart* old = view->chart();
        view->setChart(chart ? chart : new QChart);
        delete old;
    };
    TRoot* root = CurrentRoot();
    if (FRightPane->currentWidget() == FFileAgeView)
        replace(FFileAgeView, FCurrent && root && root->CollectFileAges && !root->IsScanning()
                                  ? CreateFileAgeChart(*FCurrent, FOptions.ViewType, FOptions.SizeUnit)
                                  : nullptr);
    if (FRightPane->currentWidget() == FHistoryView)
        replace(FHistoryView, root && !root->IsScanning() ? CreateHistoryChart(*root, FOptions.SizeUnit, FOptions.ShowZeroInHistory) : nullptr);
}

void TMainForm::ApplyChartLooks(QChart* chart)
{
    for (QAbstractAxis* axis : chart->axes(Qt::Horizontal))
        axis->setGridLineVisible(FChartVerticalGrid);
    for (QAbstractAxis* axis : chart->axes(Qt::Vertical))
        axis->setGridLineVisible(FChartHorizontalGrid);
    for (QAbstractSeries* series : chart->series()) {
        if (auto* pie = qobject_cast<QPieSeries*>(series)) {
            for (QPieSlice* slice : pie->slices()) {
                if (FChartPatterns)
                    slice->setBrush(QBrush(slice->color(), Qt::BDiagPattern));
                // In colour mode a click paints the slice.
                connect(slice, &QPieSlice::clicked, this, [this, slice] {
                    if (FChartColour.isValid())
                        slice->setColor(std::exchange(FChartColour, QColor()));
                });
            }
        } else if (auto* bars = qobject_cast<QAbstractBarSeries*>(series)) {
            const QList<QBarSet*> sets = bars->barSets();
            for (int i = 0; i < sets.size(); ++i) {
                if (FChartPatterns)
                    sets[i]->setBrush(QBrush(sets[i]->color(), i == 0 ? Qt::DiagCrossPattern : Qt::CrossPattern));
                QBarSet* set = sets[i];
                connect(set, &QBarSet::clicked, this, [this, set] {
                    if (FChartColour.isValid())
                        set->setColor(std::exchange(FChartColour, QColor()));
                });
            }
        }
    }
}

void TMainForm::ZoomChart(int step)
{
    QChart* chart = FChartView->chart();
    if (!chart || (step < 0 && FChartZoom <= 10))
        return;
    const int zoom = FChartZoom + step;
    if (zoom <= 0)
        return;
    chart->zoom(double(zoom) / double(FChartZoom));
    FChartZoom = zoom;
    FStatusText->setText(tr("Zoom: %1%").arg(FChartZoom));
}

void TMainForm::ShowChartPage(int first)
{
    QChart* chart = FChartView->chart();
    auto* axis = chart ? qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Vertical).value(0)) : nullptr;
    if (!axis || FChartBars <= FChartBarsPerPage)
        return;
    // The categories run from the last bar up to the first.
    const QStringList categories = axis->categories();
    const int last = qMin(first + FChartBarsPerPage, FChartBars) - 1;
    axis->setRange(categories.value(FChartBars - 1 - last), categories.value(FChartBars - 1 - first));
}

void TMainForm::SaveChart()
{
    TRoot* root = CurrentRoot();
    if (!root)
        return;
    const QString file = QFileDialog::getSaveFileName(this, tr("Save Chart"), {},
                                                      tr("Bitmap Files (*.bmp);;JPEG Files (*.jpg *.jpeg);;PNG Files (*.png);;All files (*)"));
    if (file.isEmpty())
        return;
    if (const QString error = SaveRootChart(*root, file, FPieChart, FChartView->size()); !error.isEmpty())
        ShowMessage(EEventType::Error, error);
}

void TMainForm::RefreshOverview()
{
    TRoot* root = CurrentRoot();
    FOverview->setVisible(FValues.OverviewPanelVisible && root);
    if (!FOverview->isVisible())
        return;
    using namespace viewtypes;
    static const std::vector<int> left = {vt_fullpath, vt_percent, vt_Attributes, vt_filetype, vt_dirlevel,
                                          vt_version, vt_OfficeAuthor, vt_OfficeLastSaveDate};
    const TFolderData& top = *root->RootFolder;
    QString text;
    bool first = true;
    for (int type : FOptions.Columns.ColumnOrder(emDetailsView)) {
        if (std::find(left.begin(), left.end(), type) != left.end())
            continue;
        text += QStringLiteral("<b>") + FOptions.Columns.Header(type).toHtmlEscaped() + QStringLiteral(": </b>")
            + top.GetColumnText(type, false, false).toHtmlEscaped() + QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;&nbsp; ");
        // An empty root shows its name only.
        if (std::exchange(first, false) && top.GetValue(vt_size, Byte).first == 0)
            break;
    }
    FOverview->setText(text);
}

void TMainForm::RefreshStatusBar()
{
    TRoot* root = CurrentRoot();
    FStopScanAction->setVisible(root && root->IsScanning());
    FRemoveRootAction->setVisible(root && !root->IsScanning());
    if (!FCurrent || !root) {
        FFreeSpaceText->clear();
        FFilesText->clear();
        FExcludedText->clear();
        FStatusText->clear();
        return;
    }
    QString free = tr("Free Space") + QStringLiteral(": ");
    if (root->FreeBytes >= 0)
        free += FormatSizeAndUnit(root->FreeBytes, FOptions.SizeUnit);
    if (root->TotalBytes > 0)
        free += QStringLiteral("  (of ") + FormatSizeAndUnit(root->TotalBytes, FOptions.SizeUnit) + QLatin1Char(')');
    FFreeSpaceText->setText(free);
    FFilesText->setText(FCurrent->GetColumnText(viewtypes::vt_files, false, false).trimmed() + QStringLiteral(" Files"));
    FExcludedText->setText(FCurrent->IsScanning() ? FormatNumber(root->ExcludedObjects.load(), 0) + QStringLiteral(" Excluded") : QString());
    FStatusText->setText(root->IsScanning() ? tr("Scanning %1 ...").arg(root->Path) : root->GetTitle());
}

void TMainForm::ShowSelectionSummary()
{
    const QModelIndexList rows = FDetails->selectionModel()->selectedRows();
    if (rows.size() <= 1 || !FCurrent) {
        RefreshStatusBar();
        return;
    }
    // A folder object of its own sums the selected entries.
    TFolderData sum(nullptr, false, std::string(), FCurrent->Root);
    for (const QModelIndex& row : rows)
        sum.SizeData().Add(FDetailsModel->EntryAt(row.row())->SizeData());
    const int viewType = qMax(int(viewtypes::vt_size), int(FOptions.ViewType));
    if (viewType == viewtypes::vt_percent)
        FExcludedText->setText(sum.SizeData().GetText(viewtypes::vt_percent, viewtypes::None, false, FCurrent->SizeData().Size));
    else
        FExcludedText->setText(sum.SizeData().GetText(viewType, FOptions.SizeUnit, false));
    FFilesText->setText(tr("%1 Objects").arg(rows.size()));
}

void TMainForm::SyncExpansion()
{
    if (FTreeModel)
        SyncExpansion(QModelIndex());
}

void TMainForm::SyncExpansion(const QModelIndex& parent)
{
    const int rows = FTreeModel->rowCount(parent);
    for (int row = 0; row < rows; ++row) {
        const QModelIndex index = FTreeModel->index(row, 0, parent);
        const TFolderData* folder = TFolderTreeModel::FolderOf(index);
        if (folder->IsExpanded()) {
            FTree->expand(index);
            SyncExpansion(index);
        } else if (FTree->isExpanded(index)) {
            FTree->collapse(index);
        }
    }
}

void TMainForm::ShowDetailsHeaderMenu(const QPoint& at)
{
    QMenu menu(this);
    for (int type = 0; type < viewtypes::ViewTypeCount; ++type) {
        QAction* action = menu.addAction(FOptions.Columns.Header(type));
        action->setCheckable(true);
        action->setChecked(FOptions.Columns.IsVisible(emDetailsView, type));
        connect(action, &QAction::triggered, this, [this, type](bool on) {
            FOptions.Columns.Column(type).Media[emDetailsView].Visible = on;
            FDetailsModel->ApplyColumns();
        });
    }
    menu.exec(FDetails->header()->mapToGlobal(at));
}

void TMainForm::SortDetailsByViewType()
{
    if (FOptions.SortType == viewtypes::stNone)
        return;
    const auto& columns = FDetailsModel->Columns();
    const int wanted = FOptions.SortType == viewtypes::stName ? int(viewtypes::vt_Name) : qMax(int(viewtypes::vt_size), int(FOptions.ViewType));
    const auto it = std::find(columns.begin(), columns.end(), wanted);
    if (it == columns.end())
        return;
    FDetailsSortSection = int(it - columns.begin());
    FDetails->sortByColumn(FDetailsSortSection, wanted == viewtypes::vt_Name ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void TMainForm::SetViewType(int viewType)
{
    if (viewType == viewtypes::vt_percent && CurrentRoot() && CurrentRoot()->IsCompared)
        viewType = viewtypes::vt_alloc; // a comparison has no meaningful share
    FOptions.ViewType = TViewType(viewType);
    if (FTreeModel)
        FTreeModel->SortAll();
    SortDetailsByViewType();
    FTree->viewport()->update();
    RefreshAllViews();
}

void TMainForm::SetSizeUnit(int unit)
{
    FOptions.SizeUnit = TUnitType(unit);
    FTree->viewport()->update();
    RefreshAllViews();
}

void TMainForm::SetSortType(int sortType)
{
    FOptions.SortType = TSortType(sortType);
    if (FTreeModel)
        FTreeModel->SortAll();
    SortDetailsByViewType();
}

void TMainForm::ExpandCurrent(int levels, int minimumMB)
{
    if (!FCurrent || (CurrentRoot() && CurrentRoot()->IsScanning()))
        return;
    FCurrent->ExpandToLevel(levels, minimumMB);
    const QModelIndex index = FTreeModel->IndexOf(FCurrent);
    if (FCurrent->IsExpanded())
        FTree->expand(index);
    else
        FTree->collapse(index);
    SyncExpansion(index);
}

void TMainForm::OpenReport()
{
    const QString file = QFileDialog::getOpenFileName(this, tr("Open Kelvane XML Report"), {}, tr("XML Reports (*.xml);;All files (*)"));
    if (file.isEmpty() || !FRoots)
        return;
    QString error;
    TRoot* root = LoadXMLReport(*FRoots, file, &error, FProgress->Callback());
    FProgress->Close();
    if (!root) {
        ShowMessage(EEventType::Error, error);
        return;
    }
    SortBranch(root->RootFolder.get(), FOptions.SortType, qMax(int(viewtypes::vt_size), int(FOptions.ViewType)));
    SetCurrentFolder(root->RootFolder.get());
    SyncExpansion();
}

void TMainForm::SaveReport()
{
    TRoot* root = CurrentRoot();
    if (!root || root->IsScanning())
        return;
    const QString file = QFileDialog::getSaveFileName(this, tr("Save Kelvane Data"), {}, tr("XML Reports (*.xml)"));
    if (file.isEmpty())
        return;
    const QString error = SaveXMLReport(*root, file, FProgress->Callback());
    FProgress->Close();
    if (!error.isEmpty())
        ShowMessage(EEventType::Error, QStringLiteral("An error occured while writing to the file: %1\r\nError: %2").arg(file, error));
}

void TMainForm::CompareReport()
{
    TRoot* root = CurrentRoot();
    if (!root || root->IsScanning())
        return;
    const QString file = QFileDialog::getOpenFileName(this, tr("Compare with XML Report"), {}, tr("XML Reports (*.xml);;All files (*)"));
    if (file.isEmpty())
        return;
    const QString error = CompareWithXMLReport(*root, file, {}, FProgress->Callback());
    FProgress->Close();
    if (!error.isEmpty())
        ShowMessage(EEventType::Error, error);
    FTree->viewport()->update();
    RefreshAllViews();
}

void TMainForm::ExportCurrent(bool html)
{
    TRoot* root = CurrentRoot();
    if (!root || !FCurrent)
        return;
    const QString filter = html ? tr("Kelvane HTML Report (*.html *.htm);;All files (*)") : tr("Text Files (*.txt);;CSV Files (*.csv);;All files (*)");
    const QString file = QFileDialog::getSaveFileName(this, tr("Save Kelvane Data"), {}, filter);
    if (file.isEmpty())
        return;
    TFolderData& top = *root->RootFolder;
    const QString error = html ? ExportHTMLFile(top, file, {}, FProgress->Callback()) : ExportTextFile(top, file, false, FProgress->Callback());
    FProgress->Close();
    if (!error.isEmpty())
        ShowMessage(EEventType::Error, error);
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event)
{
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isDir())
            ScanPath(url.toLocalFile());
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // The start-up scan reads the list from its end: keep the roots' order.
    if (FRoots && FOptions.StartupBehaviour == TGlobalOptions::sbLastPaths && FRun.Run().NoPathsGiven) {
        FOptions.StartupPaths.clear();
        for (auto it = FRoots->Items().crbegin(); it != FRoots->Items().crend(); ++it)
            FOptions.StartupPaths.append((*it)->Path);
    }
    FCurrent = nullptr;
    FDetailsModel->Forget();
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
