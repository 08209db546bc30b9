#include "WindowValues.h"

#include <variant>

namespace kelvane {
namespace {

struct TEntry {
    const char* ReadName;
    const char* WriteName; // null: read only
    std::variant<int TWindowValues::*, bool TWindowValues::*> Member;
};

const TEntry Entries[] = {
    {"SplitterV4", "SplitterV4", &TWindowValues::SplitterV4},
    {"DriveList.Height", "DriveList.Height", &TWindowValues::DriveListHeight},
    {"MarginLeft", "MarginLeft", &TWindowValues::MarginLeft},
    {"MarginTop", "MarginTop", &TWindowValues::MarginTop},
    {"MarginBot", "MarginBot", &TWindowValues::MarginBot},
    {"MarginRight", "MarginRight", &TWindowValues::MarginRight},
    {"MinimumExpandSize", "MinimumExpandSize", &TWindowValues::MinimumExpandSize},
    {"UpdateRightPane", "UpdateRightPane", &TWindowValues::UpdateRightPane},
    {"ChartTool", "ChartTool", &TWindowValues::ChartTool},
    {"Chart3D", "Chart3D", &TWindowValues::Chart3D},
    {"ChartLegend", "ChartLegend", &TWindowValues::ChartLegend},
    {"ChartPatterns", "ChartPatterns", &TWindowValues::ChartPatterns},
    {"UsePlainNumbers", "UsePlainNumbers", &TWindowValues::UsePlainNumbers},
    {"DetailsToolBar", "DetailsToolBar", &TWindowValues::DetailsToolBar},
    {"ExtensionsToolBar", "ExtensionsToolBar", &TWindowValues::ExtensionsToolBar},
    {"FileAgesToolbar", "FileAgesToolbar", &TWindowValues::FileAgesToolbar},
    {"Top100FilesToolBar", "Top100FilesToolBar", &TWindowValues::Top100FilesToolBar},
    {"HistoryToolBar", "HistoryToolBar", &TWindowValues::HistoryToolBar},
    {"ScanningToolbarVisible", "ScanningToolbarVisible", &TWindowValues::ScanningToolbarVisible},
    {"DataToolbarVisible", "DataToolbarVisible", &TWindowValues::DataToolbarVisible},
    {"OverviewPanelVisible", "OverviewPanelVisible", &TWindowValues::OverviewPanelVisible},
    {"ExtensionsChart", "ExtensionsChart", &TWindowValues::ExtensionsChart},
    {"UsersToolBar", "UsersChart", &TWindowValues::UsersChart},
    {"PieSeriesActive", "PieSeriesActive", &TWindowValues::PieSeriesActive},
    {"ActivePage", "ActivePage", &TWindowValues::ActivePage},
    {"ToolBarBreak", "ToolBarBreak", &TWindowValues::ToolBarBreak},
    {"ToolBar1WidthV3", "ToolBar1WidthV3", &TWindowValues::ToolBar1WidthV3},
    {nullptr, "UnitType2", &TWindowValues::UnitType2},
};

} // namespace

QString TWindowValues::Load(QSettings& settings)
{
    for (const TEntry& e : Entries) {
        if (!e.ReadName || !settings.contains(QLatin1String(e.ReadName)))
            continue;
        const QString text = settings.value(QLatin1String(e.ReadName)).toString().trimmed();
        bool ok = false;
        if (auto intMember = std::get_if<int TWindowValues::*>(&e.Member)) {
            const int v = text.toInt(&ok);
            if (ok)
                this->**intMember = v;
        } else {
            const QString t = text.toLower();
            ok = t == QLatin1String("0") || t == QLatin1String("1") || t == QLatin1String("true") || t == QLatin1String("false");
            if (ok)
                this->*std::get<bool TWindowValues::*>(e.Member) = t == QLatin1String("1") || t == QLatin1String("true");
        }
        if (!ok)
            return QStringLiteral("Invalid value \"%1\" for %2").arg(text, QLatin1String(e.ReadName));
    }
    return {};
}

void TWindowValues::Save(QSettings& settings) const
{
    for (const TEntry& e : Entries) {
        if (auto intMember = std::get_if<int TWindowValues::*>(&e.Member))
            settings.setValue(QLatin1String(e.WriteName), this->**intMember);
        else
            settings.setValue(QLatin1String(e.WriteName), (this->*std::get<bool TWindowValues::*>(e.Member)) ? 1 : 0);
    }
}

} // namespace kelvane
