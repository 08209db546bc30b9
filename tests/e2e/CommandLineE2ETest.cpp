#include "ProgramRunner.h"

#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>

namespace {

TEST(ProgramE2E, HelpAndVersion)
{
    TProgramRunner runner;
    const auto help = runner.Run({"--help"});
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_TRUE(help.Out.contains("/XML file")) << help.Out.toStdString();
    EXPECT_TRUE(help.Out.contains("/EXPAND"));
    const auto version = runner.Run({"--version"});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_TRUE(version.Out.startsWith("dromlet")) << version.Out.toStdString();
}

TEST(ProgramE2E, UnknownOptionIsACommandLineError)
{
    TProgramRunner runner;
    const auto r = runner.Run({"/NOGUI", "/NoSuchOption"});
    ASSERT_TRUE(r.Finished) << "a windowless run ends by itself";
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_TRUE(r.Err.contains("Error: Property NoSuchOption does not exist")) << r.Err.toStdString();
}

TEST(ProgramE2E, MissingValueIsACommandLineError)
{
    TProgramRunner runner;
    const auto r = runner.Run({"-nogui", "--xml"});
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_TRUE(r.Err.contains("Missing value for /XML")) << r.Err.toStdString();
}

TEST(ProgramE2E, WindowlessRunWithoutDisplayEndsByItself)
{
    TProgramRunner runner;
    // Without a display the program draws offscreen; /NOGUI ends when idle.
    const auto r = runner.Run({"/NOGUI"}, 30000);
    ASSERT_TRUE(r.Finished);
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_TRUE(r.Err.isEmpty()) << r.Err.toStdString();
}

TEST(ProgramE2E, OverridesAreNeverSaved)
{
    TProgramRunner runner;
    {
        QSettings seed(runner.SettingsFile(), QSettings::IniFormat);
        seed.setValue("MaximumThreads", 6);
    }
    const auto r = runner.Run({"/NOGUI", "/MaximumThreads", "4", "/GroupUsers"});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    QSettings after(runner.SettingsFile(), QSettings::IniFormat);
    EXPECT_EQ(after.value("MaximumThreads").toInt(), 6);
    EXPECT_FALSE(after.contains("GroupUsers"));
}

TEST(ProgramE2E, OutOfRangeOverrideIsRefused)
{
    TProgramRunner runner;
    const auto r = runner.Run({"/NOGUI", "/MaximumThreads", "100"});
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_TRUE(r.Err.contains("out of range")) << r.Err.toStdString();
}

TEST(ProgramE2E, SearchSwitchNeedsTheSearchWindow)
{
    TProgramRunner runner;
    const auto r = runner.Run({"/NOGUI", "/SEARCH"});
    EXPECT_NE(r.ExitCode, 0);
}

} // namespace
