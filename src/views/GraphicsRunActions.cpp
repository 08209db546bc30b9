#include "GraphicsRunActions.h"

#include "ChartData.h"
#include "MainChart.h"
#include "app/GlobalOptions.h"
#include "scan/Root.h"

#include "reports/TextExport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <memory>

namespace kelvane {

TRunActions GraphicsRunActions()
{
    TRunActions actions;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return actions;
    actions.ClearClipboard = [] { QGuiApplication::clipboard()->clear(); };
    actions.SetClipboardText = [](const QString& text) { QGuiApplication::clipboard()->setText(text); };
    auto pie = std::make_shared<bool>(true); // the pie unless /BARCHART says otherwise
    actions.ChartForm = [pie](const QString& form) { *pie = form != QLatin1String("bar"); };
    actions.SaveChart = [pie](TRoot& root, const QString& file) { return SaveRootChart(root, file, *pie); };
    return actions;
}

QString SaveRootChart(TRoot& root, const QString& fileName, bool pie, QSize shown)
{
    const TGlobalOptions& options = GlobalOptions();
    TChartSettings settings;
    settings.Pie = pie;
    settings.ViewType = qMax(int(viewtypes::vt_size), int(options.ViewType));
    settings.Unit = options.SizeUnit;
    settings.SortType = options.SortType;
    settings.ShowFreeSpace = options.ChartShowFreeSpace;
    settings.ChartHeight = 100000; // an image shows every bar
    return SaveChartImage(BuildMainChart(*root.RootFolder, settings), fileName, shown, options.ChartShowGradient);
}

QString CopyBranchToClipboard(TFolderData& folder)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return QStringLiteral("Error while accessing clipboard: no clipboard");
    clipboard->setText(ExportTextToString(folder));
    return {};
}

} // namespace kelvane
