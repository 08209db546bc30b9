#include "MainChart.h"

#include "BgrColor.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QGraphicsScene>
#include <QDir>
#include <QFileInfo>
#include <QHorizontalStackedBarSeries>
#include <QImage>
#include <QImageWriter>
#include <QLegendMarker>
#include <QLinearGradient>
#include <QPainter>
#include <QPieSeries>
#include <QPieSlice>
#include <QValueAxis>

namespace kelvane {

namespace {

QChart* CreatePie(const TMainChartData& data, QChart* chart)
{
    auto* pie = new QPieSeries(chart);
    double total = 0;
    for (const TChartItem& item : data.Items)
        total += item.Value;
    for (const TChartItem& item : data.Items) {
        const double percent = total > 0 ? item.Value * 100.0 / total : 0.0;
        QPieSlice* slice = pie->append(QStringLiteral("%1 %2 %").arg(item.Label).arg(percent, 0, 'f', 1), qMax(0.0, item.Value));
        slice->setColor(BgrColor(item.IsFreeSpace ? FreeSpaceColour : ChartPaletteColour(item.ColourIndex)));
        slice->setLabelVisible(percent >= 1.0);
    }
    pie->setPieSize(0.7);
    chart->addSeries(pie);
    // The "Other" slice stands for many entries: the legend names the real ones.
    const QList<QLegendMarker*> markers = chart->legend()->markers(pie);
    for (int i = 0; i < markers.size() && i < int(data.Items.size()); ++i)
        if (data.Items[size_t(i)].IsOther)
            markers[i]->setVisible(false);
    return chart;
}

QChart* CreateBars(const TMainChartData& data, QChart* chart)
{
    auto* size = new QBarSet(QStringLiteral("Size"));
    size->setColor(QColor(192, 192, 192));
    auto* wasted = new QBarSet(QStringLiteral("Wasted Space"));
    wasted->setColor(BgrColor(0x0080FF));
    // Categories run from the bottom up: the first item is appended last so
    // that it is drawn at the top.
    QStringList labels;
    for (auto it = data.Items.rbegin(); it != data.Items.rend(); ++it) {
        // Labels must be unique for the category axis.
        QString label = it->Label;
        while (labels.contains(label))
            label += QLatin1Char(' ');
        labels.append(label);
        *size << it->Value;
        *wasted << it->Wasted;
    }
    auto* series = new QHorizontalStackedBarSeries(chart);
    series->append(size);
    if (data.WastedSeries)
        series->append(wasted);
    else
        delete wasted;
    series->setBarWidth(0.8);
    chart->addSeries(series);
    auto* names = new QBarCategoryAxis(chart);
    names->append(labels);
    names->setTruncateLabels(false);
    chart->addAxis(names, Qt::AlignLeft);
    series->attachAxis(names);
    auto* values = new QValueAxis(chart);
    values->setLabelFormat(QStringLiteral("%.") + QString::number(data.Decimals) + QStringLiteral("f") + data.Suffix);
    chart->addAxis(values, Qt::AlignBottom);
    series->attachAxis(values);
    return chart;
}

} // namespace

QChart* CreateMainChart(const TMainChartData& data, bool gradient)
{
    auto* chart = new QChart;
    chart->setTitle(data.Title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(5, 30, 20, 5));
    chart->setAnimationOptions(QChart::NoAnimation);
    if (gradient) {
        QLinearGradient background(0, 1, 0, 0); // bottom to top
        background.setCoordinateMode(QGradient::ObjectBoundingMode);
        background.setColorAt(0, BgrColor(0xE6E6E6));
        background.setColorAt(1, BgrColor(0xFF8080));
        chart->setBackgroundBrush(background);
    }
    return data.Pie ? CreatePie(data, chart) : CreateBars(data, chart);
}

void ConnectChartItems(QChart* chart, const TMainChartData& data, std::function<void(int)> onItem)
{
    const int count = int(data.Items.size());
    for (QAbstractSeries* series : chart->series()) {
        if (auto* pie = qobject_cast<QPieSeries*>(series)) {
            const QList<QPieSlice*> slices = pie->slices();
            for (int i = 0; i < slices.size(); ++i)
                QObject::connect(slices[i], &QPieSlice::doubleClicked, chart, [onItem, i] { onItem(i); });
        } else if (auto* bars = qobject_cast<QAbstractBarSeries*>(series)) {
            // Bars were appended last item first.
            QObject::connect(bars, &QAbstractBarSeries::doubleClicked, chart, [onItem, count](int index) { onItem(count - 1 - index); });
        }
    }
}

QSize ChartImageSize(const TMainChartData& data, QSize shown)
{
    const int width = qMax(shown.width(), 800);
    const int height = data.Pie ? qMax(shown.height(), 800) : qMax(22 * int(data.Items.size()), 800);
    return {width, height};
}

QString SaveChartImage(const TMainChartData& data, const QString& fileName, QSize shown, bool gradient)
{
    const QSize size = ChartImageSize(data, shown);
    // Drawn through a scene of its own: no window is needed.
    QGraphicsScene scene;
    QChart* chart = CreateMainChart(data, gradient);
    scene.addItem(chart);
    chart->setGeometry(QRectF(QPointF(0, 0), size));
    scene.setSceneRect(QRectF(QPointF(0, 0), size));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        scene.render(&painter, QRectF(QPointF(0, 0), size), QRectF(QPointF(0, 0), size));
    }
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    const QByteArray format = suffix == QLatin1String("bmp") ? "BMP" : suffix == QLatin1String("png") ? "PNG" : "JPEG";
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QImageWriter writer(fileName, format);
    if (format == "JPEG")
        writer.setQuality(80);
    if (!writer.write(image))
        return QStringLiteral("An error occured while writing to the file: %1\r\n%2").arg(fileName, writer.errorString());
    return {};
}

} // namespace kelvane
