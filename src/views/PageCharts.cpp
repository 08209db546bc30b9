#include "PageCharts.h"

#include "AggregateListModel.h"
#include "BgrColor.h"
#include "ChartData.h"
#include "lib/platform/FileTime.h"
#include "reports/HistoryReader.h"
#include "scan/FileAggregates.h"
#include "scan/FolderData.h"
#include "scan/Root.h"
#include "scan/ScanHistory.h"
#include "scan/SizeData.h"

#include <QBarCategoryAxis>
#include <QStackedBarSeries>
#include <QBarSet>
#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QFont>
#include <QHorizontalStackedBarSeries>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace kelvane {

using namespace viewtypes;

namespace {

QDateTime FromDays(double days)
{
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0)).addMSecs(qint64(std::llround(days * 86400000.0)));
}

} // namespace

QChart* CreateAggregateChart(const TAggregateListModel& list, bool extensions, TUnitType unit)
{
    if (unit == Mixed || unit == None)
        unit = Mega;
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->hide();
    chart->setMargins(QMargins(5, 5, 20, 5));
    // The largest entries (in the list's order): more bars in the space
    // below a list would have no room for their names.
    const int bars = std::min(list.rowCount(), 15);
    auto* series = new QHorizontalStackedBarSeries(chart);
    series->setName(extensions ? QStringLiteral("Extensions") : QStringLiteral("Users Chart"));
    QStringList labels;
    for (int row = bars - 1; row >= 0; --row) {
        QString label = list.NameAt(row);
        while (labels.contains(label))
            label += QLatin1Char(' ');
        labels.append(label);
    }
    for (int row = 0; row < bars; ++row) {
        // One set per row, its value in its own category: each bar its own colour.
        auto* set = new QBarSet(list.NameAt(row));
        for (int category = 0; category < bars; ++category)
            *set << (category == bars - 1 - row ? ConvertToUnit(unit, double(list.EntryAt(row).Size)) : 0.0);
        set->setColor(BgrColor(ChartPaletteColour(row)));
        series->append(set);
    }
    chart->addSeries(series);
    auto* axisY = new QBarCategoryAxis(chart);
    axisY->append(labels);
    QFont small = axisY->labelsFont();
    small.setPointSize(7); // the marks' size
    axisY->setLabelsFont(small);
    axisY->setTruncateLabels(false);
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);
    auto* axisX = new QValueAxis(chart);
    axisX->setLabelFormat(QStringLiteral("%.1f") + UnitSuffix(unit));
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    return chart;
}

QChart* CreateFileAgeChart(const TFolderData& folder, int viewType, TUnitType unit)
{
    static const char* const names[] = {"1 Day", "1 Week", "1 Month", "6 Months", "1 Year", "2 Years", ">2 Years"};
    static const int colours[] = {0x00D040, 0x00D080, 0x00D0B0, 0x00E0E0, 0x00B0E0, 0x0080E0, 0x0040E0};
    if (unit == Mixed || unit == None)
        unit = Mega;
    const TFileAgeDistribution ages = folder.SubtreeAggregates().Ages;
    const bool counts = viewType == vt_files;
    auto* chart = new QChart;
    chart->setTitle(folder.Parent ? folder.GetFullPath() : (folder.Root ? folder.Root->GetTitle() : QString()));
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->hide();
    // One set per class, each with its value in its own category only:
    // stacked, every class is one full bar in its own colour.
    auto* series = new QStackedBarSeries(chart);
    QStringList labels;
    for (int i = 0; i < TFileAgeDistribution::ClassCount; ++i) {
        // Every class but the first and last reads "previous - own".
        const QString label = i == 0 || i == TFileAgeDistribution::ClassCount - 1
            ? QString::fromLatin1(names[i])
            : QString::fromLatin1(names[i - 1]) + QStringLiteral(" - ") + QString::fromLatin1(names[i]);
        labels.append(label);
        auto* set = new QBarSet(label);
        for (int j = 0; j < TFileAgeDistribution::ClassCount; ++j)
            *set << (j == i ? (counts ? double(ages.Counts[size_t(i)]) : ConvertToUnit(unit, double(ages.Sizes[size_t(i)]))) : 0.0);
        set->setColor(BgrColor(colours[i]));
        series->append(set);
    }
    series->setBarWidth(0.8);
    chart->addSeries(series);
    auto* axisX = new QBarCategoryAxis(chart);
    axisX->append(labels);
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    auto* axisY = new QValueAxis(chart);
    axisY->setLabelFormat(counts ? QStringLiteral("%.0f") : QStringLiteral("%.1f") + UnitSuffix(unit));
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);
    return chart;
}

QChart* CreateHistoryChart(TRoot& root, TUnitType unit, bool showZero)
{
    if (unit == Mixed || unit == None)
        unit = Mega;
    auto* chart = new QChart;
    chart->setTitle(root.Path);
    chart->setAnimationOptions(QChart::NoAnimation);
    auto* size = new QLineSeries(chart);
    size->setName(QStringLiteral("Size"));
    auto* allocated = new QLineSeries(chart);
    allocated->setName(QStringLiteral("Allocated"));
    double low = 0, high = 0;
    bool first = true;
    auto add = [&](const QDateTime& when, const TSizeData& data) {
        const double s = ConvertToUnit(unit, double(data.Size));
        const double a = ConvertToUnit(unit, double(data.Allocated));
        size->append(double(when.toMSecsSinceEpoch()), s);
        allocated->append(double(when.toMSecsSinceEpoch()), a);
        low = first ? std::min(s, a) : std::min({low, s, a});
        high = first ? std::max(s, a) : std::max({high, s, a});
        first = false;
    };
    if (const THistoryDataCollection* history = GetHistory(root))
        for (const THistoryData& entry : *history)
            add(FromDays(entry.Date), entry.SizeData);
    if (BelongsInHistory(root) && !root.IsCompared)
        add(QDateTime::currentDateTime(), root.RootFolder->SizeData());
    chart->addSeries(size);
    chart->addSeries(allocated);
    auto* axisX = new QDateTimeAxis(chart);
    axisX->setFormat(QStringLiteral("yyyy-MM-dd"));
    chart->addAxis(axisX, Qt::AlignBottom);
    auto* axisY = new QValueAxis(chart);
    axisY->setLabelFormat(QStringLiteral("%.1f") + UnitSuffix(unit));
    // 5 % room above and below; equal values still get a span.
    const double bottom = showZero ? 0.0 : low;
    double margin = (high - bottom) * 0.05;
    if (margin <= 0)
        margin = std::max(1.0, std::abs(high) * 0.05);
    axisY->setRange(showZero ? 0.0 : low - margin, high + margin);
    chart->addAxis(axisY, Qt::AlignLeft);
    for (QLineSeries* series : {size, allocated}) {
        series->attachAxis(axisX);
        series->attachAxis(axisY);
    }
    return chart;
}

} // namespace kelvane
