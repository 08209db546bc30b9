#include "ChartData.h"

#include "app/GlobalOptions.h"
#include "lib/platform/DirectoryLister.h"
#include "lib/platform/Paths.h"
#include "scan/CountFile.h"
#include "scan/FolderData.h"
#include "scan/Root.h"

#include <algorithm>
#include <cmath>

namespace kelvane {

using namespace viewtypes;

namespace {

constexpr int Palette[32] = {0x0000FF, 0x008000, 0x00FFFF, 0xFF0000, 0xFFFFFF, 0xFF00FF, 0x808000, 0x800000,
                             0x800080, 0x000080, 0x00FF00, 0x008080, 0xA4A0A0, 0x808080, 0xC0C0C0, 0xFFFF00,
                             0x000000, 0x1D94F7, 0x2E2ED4, 0x26007A, 0xFFFFFF, 0xC0DCC0, 0xF0CAA6, 0xD2F6FC,
                             0x6C9AC3, 0x244C75, 0xC19AF4, 0x9AB2C7, 0x00BAC7, 0x00D2FF, 0x600463, 0xABE5D5};

// The charted value and the wasted part of a record, by view type.
struct TValueKind {
    int PieType;   // what a slice shows
    int BarType;   // what the size bars show
    bool Wasted;   // bars stack the wasted space
    bool Files;    // a count, not bytes
};

TValueKind KindOf(int viewType)
{
    switch (viewType) {
    case vt_size:
    case vt_percent:
        return {vt_size, vt_size, true, false};
    case vt_alloc:
        return {vt_alloc, vt_size, true, false};
    case vt_wasted:
        return {vt_wasted, vt_wasted, false, false};
    case vt_CDSize:
        return {vt_CDSize, vt_CDSize, false, false};
    case vt_files:
        return {vt_files, vt_files, false, true};
    default:
        return {vt_size, vt_size, true, false};
    }
}

double InUnit(const TSizeData& data, int type, TUnitType unit)
{
    const auto [value, used] = data.GetValue(type, type == vt_files ? None : unit);
    (void)used;
    return value;
}

QString Cut(const QString& text, int length)
{
    return text.size() > length ? text.left(length) : text;
}

// Files of a folder, read from the disk as the details list reads them.
std::vector<std::pair<QString, TSizeData>> FilesOf(const TFolderData& folder, QString* folderPath)
{
    std::vector<std::pair<QString, TSizeData>> files;
    TRoot* root = folder.Root;
    const TFolderData& owner = folder.IsFilesItem() ? *folder.Parent : folder;
    *folderPath = owner.GetFullPath();
    TDirectoryLister lister;
    if (!root || lister.Open(owner.GetFullPathBytes()) != 0)
        return files;
    TFindRecord record;
    TSizeData counted;
    while (lister.Next(record))
        if (!record.IsDirectory() && CountFile(*root, record, counted, false))
            files.emplace_back(FromLocalPath(record.Name), counted);
    return files;
}

} // namespace

int ChartPaletteColour(int index)
{
    return Palette[((index % 32) + 32) % 32];
}

TMainChartData BuildMainChart(const TFolderData& folder, const TChartSettings& settings)
{
    TMainChartData chart;
    chart.Pie = settings.Pie;
    const TUnitType unit = settings.Unit == Mixed || settings.Unit == None ? Mega : settings.Unit;
    const TValueKind kind = KindOf(settings.ViewType);
    chart.WastedSeries = !settings.Pie && kind.Wasted;
    chart.Suffix = kind.Files ? QStringLiteral(" Files") : UnitSuffix(unit);
    chart.Decimals = kind.Files ? 0 : (HasGlobalOptions() ? GlobalOptions().Decimals : 1);
    chart.Title = folder.Parent ? ExcludeTrailingPathDelimiter(folder.GetFullPath()) : (folder.Root ? folder.Root->GetTitle() : QString());
    if (folder.IsScanning() && folder.Children().empty())
        return chart;

    bool hasSubfolders = false;
    for (const TFolderData* child : folder.Children())
        hasSubfolders = hasSubfolders || !child->IsFilesItem();
    const bool compared = folder.Root && folder.Root->IsCompared;
    const int valueType = settings.Pie ? kind.PieType : kind.BarType;

    if ((folder.IsFilesItem() || !hasSubfolders) && !compared) {
        QString folderPath;
        auto files = FilesOf(folder, &folderPath);
        if (settings.SortType == stName) {
            // One key per file, not two per comparison.
            std::vector<std::pair<std::string, size_t>> keys;
            keys.reserve(files.size());
            for (size_t i = 0; i < files.size(); ++i)
                keys.emplace_back(NameSortKey(files[i].first.toStdString()), i);
            std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
            std::vector<std::pair<QString, TSizeData>> ordered;
            ordered.reserve(files.size());
            for (const auto& key : keys)
                ordered.push_back(std::move(files[key.second]));
            files = std::move(ordered);
        } else if (settings.SortType == stSize) {
            std::stable_sort(files.begin(), files.end(),
                             [&](const auto& a, const auto& b) { return InUnit(a.second, valueType, unit) > InUnit(b.second, valueType, unit); });
        }
        for (const auto& [name, data] : files) {
            TChartItem item;
            item.Label = Cut(name, 40);
            item.FilePath = folderPath + name;
            item.Value = InUnit(data, valueType, unit);
            item.Wasted = chart.WastedSeries ? InUnit(data, vt_wasted, unit) : 0;
            chart.Items.push_back(item);
        }
        if (settings.Pie && settings.ShowOther && chart.Items.size() >= 20 && !kind.Files)
            chart.OtherBelowPercent = 0.8;
    } else {
        for (TFolderData* child : folder.Children()) {
            TChartItem item;
            item.Folder = child;
            item.Label = Cut(child->GetDisplayName(), 32);
            item.Value = InUnit(child->ShownCounters(), valueType, unit);
            item.Wasted = chart.WastedSeries ? InUnit(child->ShownCounters(), vt_wasted, unit) : 0;
            chart.Items.push_back(item);
        }
        if (settings.Pie && settings.ShowOther && chart.Items.size() >= 15)
            chart.OtherBelowPercent = 2.0;
        const bool bytes = kind.PieType == vt_size || kind.PieType == vt_alloc;
        if (settings.Pie && settings.ShowFreeSpace && bytes && !folder.Parent && folder.Root && IsDriveRoot(folder.Root->Path)
            && folder.Root->FreeBytes >= 0) {
            TChartItem free;
            free.Label = QStringLiteral("Free Space");
            free.Value = ConvertToUnit(unit, double(folder.Root->FreeBytes));
            free.IsFreeSpace = true;
            chart.Items.push_back(free);
        }
    }
    for (size_t i = 0; i < chart.Items.size(); ++i)
        chart.Items[i].ColourIndex = int(i);

    if (chart.OtherBelowPercent > 0) {
        // Small slices go into one "Other" slice at the end.
        double total = 0;
        for (const TChartItem& item : chart.Items)
            total += item.Value;
        TChartItem other;
        other.Label = QStringLiteral("Other");
        other.IsOther = true;
        std::vector<TChartItem> kept;
        for (const TChartItem& item : chart.Items) {
            if (!item.IsFreeSpace && total > 0 && item.Value * 100.0 / total < chart.OtherBelowPercent) {
                other.Value += item.Value;
                other.ColourIndex = item.ColourIndex;
            } else {
                kept.push_back(item);
            }
        }
        if (other.Value > 0) {
            kept.push_back(other);
            chart.Items = std::move(kept);
        }
    }
    if (!settings.Pie) {
        const int quotient = settings.ChartHeight / 20 - 8;
        chart.BarsPerPage = quotient > 17 ? quotient : 10;
        chart.Paging = int(chart.Items.size()) > chart.BarsPerPage;
    }
    return chart;
}

} // namespace kelvane
