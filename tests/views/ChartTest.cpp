#include "app/GlobalOptions.h"
#include "scan/FolderData.h"
#include "scan/Root.h"
#include "scan/Roots.h"
#include "views/ChartData.h"
#include "views/MainChart.h"
#include "views/PageCharts.h"
#include "scan/FileAggregates.h"

#include <QApplication>
#include <QAbstractBarSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QImage>
#include <QValueAxis>
#include <QTemporaryDir>
#include <QtTest>

using namespace kelvane;
using namespace kelvane::viewtypes;

// The main chart's data on trees built in memory (no disk, no scan).
class ChartTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        FRoots = std::make_unique<TRoots>();
        FRoot = FRoots->AddRoot(TRoot::CreateForReport(*FRoots, "/"));
        FRoot->FreeBytes = 500LL << 20;
    }
    void cleanup() { FRoots.reset(); }

    void fewSubfoldersNoOther()
    {
        AddChildren({100, 90, 80, 70, 60, 50, 40, 30, 20, 10, 9, 8, 7, 6});
        TChartSettings settings;
        settings.ShowFreeSpace = false;
        const TMainChartData chart = BuildMainChart(*FRoot->RootFolder, settings);
        QCOMPARE(chart.Items.size(), size_t(14));
        QCOMPARE(chart.OtherBelowPercent, 0.0);
        QCOMPARE(chart.Items[0].Label, QString("folder00"));
        QCOMPARE(chart.Items[0].Value, 100.0); // MB
        QCOMPARE(chart.Items[13].ColourIndex, 13);
    }

    void manySubfoldersMergeTheSmallOnesIntoOther()
    {
        AddChildren({500, 300, 100, 50, 40, 30, 20, 10, 5, 4, 3, 2, 1, 1, 1});
        TChartSettings settings;
        settings.ShowFreeSpace = false;
        const TMainChartData chart = BuildMainChart(*FRoot->RootFolder, settings);
        QCOMPARE(chart.OtherBelowPercent, 2.0);
        // 1067 MB in all: the nine folders under 21.34 MB (2 %) are merged.
        QCOMPARE(chart.Items.size(), size_t(7));
        QVERIFY(chart.Items.back().IsOther);
        QCOMPARE(chart.Items.back().Label, QString("Other"));
        QCOMPARE(chart.Items.back().Value, 47.0);
        settings.ShowOther = false; // double-clicking "Other"
        QCOMPARE(BuildMainChart(*FRoot->RootFolder, settings).Items.size(), size_t(15));
    }

    void freeSpaceSliceOnlyForADriveRootPieInByteViews()
    {
        AddChildren({100, 50});
        TChartSettings settings;
        const TMainChartData pie = BuildMainChart(*FRoot->RootFolder, settings);
        QCOMPARE(pie.Items.size(), size_t(3));
        QVERIFY(pie.Items.back().IsFreeSpace);
        QCOMPARE(pie.Items.back().Value, 500.0);
        settings.Pie = false;
        QCOMPARE(BuildMainChart(*FRoot->RootFolder, settings).Items.size(), size_t(2));
        settings.Pie = true;
        settings.ViewType = vt_files;
        QCOMPARE(BuildMainChart(*FRoot->RootFolder, settings).Items.size(), size_t(2));
        settings.ViewType = vt_size;
        QCOMPARE(BuildMainChart(*FRoot->RootFolder->Children()[0], settings).Title, QString("/folder00"));
    }

    void barsPagingLabelsAndUnits()
    {
        AddChildren({3, 2, 1}, "a-very-long-folder-name-that-goes-on-and-on-");
        TChartSettings settings;
        settings.Pie = false;
        settings.Unit = Mixed;
        settings.ChartHeight = 600;
        TMainChartData chart = BuildMainChart(*FRoot->RootFolder, settings);
        QCOMPARE(chart.BarsPerPage, 22); // 600 / 20 - 8
        QVERIFY(!chart.Paging);
        QCOMPARE(chart.Suffix, QString(" MB")); // mixed units are charted in MB
        QCOMPARE(chart.Items[0].Label.size(), 32);
        QVERIFY(chart.WastedSeries);
        settings.ChartHeight = 300;
        QCOMPARE(BuildMainChart(*FRoot->RootFolder, settings).BarsPerPage, 10);
        settings.ViewType = vt_files;
        chart = BuildMainChart(*FRoot->RootFolder, settings);
        QCOMPARE(chart.Suffix, QString(" Files"));
        QVERIFY(!chart.WastedSeries);
    }

    void imageSizesAndFormats()
    {
        AddChildren({5, 4, 3, 2, 1});
        TChartSettings settings;
        settings.Pie = false;
        settings.ShowFreeSpace = false;
        TMainChartData chart = BuildMainChart(*FRoot->RootFolder, settings);
        QCOMPARE(ChartImageSize(chart, {300, 200}), QSize(800, 800));
        chart.Items.resize(50);
        QCOMPARE(ChartImageSize(chart, {300, 200}), QSize(800, 1100));
        QTemporaryDir dir;
        chart = BuildMainChart(*FRoot->RootFolder, settings);
        for (const char* name : {"c.bmp", "c.PNG", "c.jpeg", "c.gif"}) {
            QCOMPARE(SaveChartImage(chart, dir.filePath(name), {}, false), QString());
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray head = file.read(4);
            const QByteArray expected = QByteArray(name).endsWith("bmp") ? "BM" : QByteArray(name).endsWith("PNG") ? "\x89PNG" : "\xFF\xD8";
            QVERIFY2(head.startsWith(expected), name); // JPEG for anything but bitmaps and PNG
        }
    }

    void fileAgeBarsAndHistoryAxis()
    {
        TFileAggregates ages;
        ages.Ages.Counts = {5, 0, 1, 0, 0, 0, 9};
        ages.Ages.Sizes = {5 << 20, 0, 1 << 20, 0, 0, 0, 9 << 20};
        FRoot->RootFolder->SetOwnAggregates(std::make_unique<TFileAggregates>(ages));
        std::unique_ptr<QChart> chart(CreateFileAgeChart(*FRoot->RootFolder, vt_files, Mega));
        auto* axis = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).value(0));
        QVERIFY(axis);
        QCOMPARE(axis->categories(), QStringList({"1 Day", "1 Day - 1 Week", "1 Week - 1 Month", "1 Month - 6 Months",
                                                   "6 Months - 1 Year", "1 Year - 2 Years", ">2 Years"}));
        auto* series = qobject_cast<QAbstractBarSeries*>(chart->series().value(0));
        QCOMPARE(series->barSets().value(6)->at(6), 9.0); // file counts in the file-count view
        QCOMPARE(series->barSets().value(0)->color(), QColor(0x40, 0xD0, 0x00));

        // No entries at all: the axis still spans something.
        std::unique_ptr<QChart> history(CreateHistoryChart(*FRoot, Mega, false));
        auto* values = qobject_cast<QValueAxis*>(history->axes(Qt::Vertical).value(0));
        QVERIFY(values && values->max() > values->min());
    }

private:
    void AddChildren(std::initializer_list<int> megabytes, const std::string& prefix = "folder")
    {
        int i = 0;
        for (int mb : megabytes) {
            char name[16];
            std::snprintf(name, sizeof name, "%02d", i++);
            auto* child = new TFolderData(FRoot->RootFolder.get(), false, prefix + name, FRoot);
            child->SizeData().Size = int64_t(mb) << 20;
            child->SizeData().Allocated = child->SizeData().Size + 4096;
            child->SizeData().Wasted = 4096;
            child->SizeData().Files = mb;
            FRoot->RootFolder->SizeData().Add(child->SizeData());
            FRoot->RootFolder->AppendChild(child);
        }
    }

    std::unique_ptr<TRoots> FRoots;
    TRoot* FRoot = nullptr;
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TGlobalOptions options;
    SetGlobalOptions(&options);
    ChartTest test;
    const int status = QTest::qExec(&test, argc, argv);
    SetGlobalOptions(nullptr);
    return status;
}

#include "ChartTest.moc"
