#pragma once
#include "ChartData.h"

#include <QSize>
#include <QString>
#include <functional>

class QChart;

namespace kelvane {

// The main chart drawn with Qt Charts: a pie, or stacked horizontal bars
// (size, and wasted space in orange), with the slice palette, the title and
// the background gradient. The caller owns the chart.
QChart* CreateMainChart(const TMainChartData& data, bool gradient);

// The item behind a double-clicked slice or bar: onItem gets its index in
// data.Items.
void ConnectChartItems(QChart* chart, const TMainChartData& data, std::function<void(int)> onItem);

// The image size of a saved chart: at least 800 × 800; bars get 22 pixels
// each (all of them: an image has no paging).
QSize ChartImageSize(const TMainChartData& data, QSize shown);

// Renders the chart into an image file without a display: ".bmp" (any case)
// a bitmap, ".png" a PNG, anything else a JPEG of quality 80. Returns an
// empty text or the error.
QString SaveChartImage(const TMainChartData& data, const QString& fileName, QSize shown, bool gradient);

} // namespace kelvane
