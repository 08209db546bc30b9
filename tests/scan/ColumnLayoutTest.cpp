#include "scan/ColumnLayout.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::viewtypes;

TEST(ColumnLayout, DefaultColumnsOfEachMedium)
{
    const TColumnLayout layout;
    const std::vector<int> exports = {vt_fullpath, vt_size, vt_alloc, vt_files, vt_Folders, vt_percent, vt_LastChange, vt_LastAccess};
    EXPECT_EQ(layout.ColumnOrder(emText), exports);
    EXPECT_EQ(layout.ColumnOrder(emExcel), exports);
    EXPECT_EQ(layout.ColumnOrder(emHtml), exports);
    EXPECT_EQ(layout.ColumnOrder(emDetailsView),
              (std::vector<int>{vt_Name, vt_size, vt_alloc, vt_files, vt_Folders, vt_percent, vt_LastChange, vt_LastAccess, vt_Owner}));
    EXPECT_EQ(layout.ColumnOrder(emPrint).front(), vt_Name);
    EXPECT_EQ(layout.Column(vt_Name).Media[emPrint].Width, 600) << "the printed report's path columns are four times as wide";
    EXPECT_EQ(layout.Column(vt_size).Media[emPrint].Width, 180);
    EXPECT_EQ(layout.Column(vt_size).Alignment, TColumnLayout::alRight);
    EXPECT_EQ(layout.Header(vt_percent), "% of Parent");
}

TEST(ColumnLayout, OrderTiesAndHiddenPositions)
{
    TColumnLayout layout;
    for (int type = 0; type < ViewTypeCount; ++type)
        layout.Column(type).Media[emText].Visible = false;
    layout.Column(vt_Owner).Media[emText] = {true, 80, 5};
    layout.Column(vt_size).Media[emText] = {true, 80, 5};
    layout.Column(vt_Name).Media[emText] = {true, 80, 9};
    layout.Column(vt_version).Media[emText] = {true, 80, 999};
    EXPECT_EQ(layout.ColumnOrder(emText), (std::vector<int>{vt_size, vt_Owner, vt_Name})) << "the lower type wins a tie; 999 is never shown";
    EXPECT_EQ(layout.NoColumnWarning(emText), "");
    for (int type = 0; type < ViewTypeCount; ++type)
        layout.Column(type).Media[emExcel].Visible = false;
    EXPECT_EQ(layout.NoColumnWarning(emExcel), "No column activated for Excel Export!!");
}

TEST(ColumnLayout, SettingsRoundTripAndBadValues)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("layout.conf");
    TColumnLayout changed;
    changed.Column(vt_Owner).Header = "Who";
    changed.Column(vt_Owner).Alignment = TColumnLayout::alCenter;
    changed.Column(vt_Owner).Media[emHtml] = {true, 33, 2};
    {
        QSettings settings(file, QSettings::IniFormat);
        changed.Save(settings);
        settings.setValue("Column2/Media1/Width", "wide");
        settings.setValue("Column3/Alignment", 7);
    }
    QSettings settings(file, QSettings::IniFormat);
    TColumnLayout loaded;
    loaded.Load(settings);
    EXPECT_EQ(loaded.Column(vt_Owner).Header, "Who");
    EXPECT_EQ(loaded.Column(vt_Owner).Alignment, TColumnLayout::alCenter);
    EXPECT_TRUE(loaded.IsVisible(emHtml, vt_Owner));
    EXPECT_EQ(loaded.Column(vt_Owner).Media[emHtml].Width, 33);
    EXPECT_EQ(loaded.Column(vt_size).Media[emExcel].Width, 90) << "an unreadable value keeps the default";
    EXPECT_EQ(loaded.Column(vt_alloc).Alignment, TColumnLayout::alRight);
}
