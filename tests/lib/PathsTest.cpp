#include "lib/platform/MountTable.h"
#include "lib/platform/Paths.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kelvane;

namespace {

TEST(Paths, TextHelpers)
{
    struct {
        const char* Path;
        const char* FilePath;
        const char* FileDir;
        const char* Name;
        const char* Ext;
    } cases[] = {
        {"/srv/data/report.final.txt", "/srv/data/", "/srv/data", "report.final.txt", ".txt"},
        {"/srv/data/", "/srv/data/", "/srv/data", "", ""},
        {"/file", "/", "/", "file", ""},
        {"/home/u/.bashrc", "/home/u/", "/home/u", ".bashrc", ""},
        {"/home/u/.config.bak", "/home/u/", "/home/u", ".config.bak", ".bak"},
        {"/dir.d/noext", "/dir.d/", "/dir.d", "noext", ""},
        {"/x/trailing.", "/x/", "/x", "trailing.", "."},
        {"relative", "", "", "relative", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.Path), QString(c.FilePath)) << c.Path;
        EXPECT_EQ(ExtractFileDir(c.Path), QString(c.FileDir)) << c.Path;
        EXPECT_EQ(ExtractFileName(c.Path), QString(c.Name)) << c.Path;
        EXPECT_EQ(ExtractFileExt(c.Path), QString(c.Ext)) << c.Path;
    }
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/a//"), "/a");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
}

TEST(Paths, SameAndInside)
{
    EXPECT_TRUE(SamePath("/data", "/data/"));
    EXPECT_FALSE(SamePath("/Data", "/data")) << "Linux paths are case-sensitive";
    struct {
        const char* Root;
        const char* Target;
        bool Inside;
    } cases[] = {
        {"/data", "/data/x", true},   {"/data/", "/data/x/y/", true}, {"/data", "/data", false},
        {"/data", "/data/", false},   {"/data", "/database", false},  {"/data/", "/database/x", false},
        {"/", "/usr", true},          {"/data", "", false},           {"/data", "/dat", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsPathInside(c.Root, c.Target), c.Inside) << c.Root << " / " << c.Target;
}

TEST(Paths, Servers)
{
    EXPECT_TRUE(IsServerName("//fileserver"));
    EXPECT_TRUE(IsServerName("//fileserver/"));
    EXPECT_TRUE(IsServerName("smb://fileserver"));
    EXPECT_FALSE(IsServerName("//fileserver/share"));
    EXPECT_FALSE(IsServerName("/fileserver"));
    EXPECT_TRUE(IsUncPath("//fileserver/share/dir"));
    EXPECT_FALSE(IsUncPath("//fileserver/"));
    EXPECT_EQ(ExtractFileDrive("//fileserver/share/dir/file"), "//fileserver/share");
    EXPECT_EQ(ExtractFileDrive("smb://fileserver/share"), "//fileserver/share");
    EXPECT_TRUE(IsDriveRoot("//fileserver/share/"));
    EXPECT_TRUE(IsNetworkPath("//fileserver/share/dir"));
}

TEST(Paths, MountPointsAreDrives)
{
    EXPECT_EQ(ExtractFileDrive("/usr/share"), TMountTable::MountOf("/usr/share").MountPoint);
    EXPECT_TRUE(IsDriveRoot("/"));
    EXPECT_TRUE(IsDriveRoot("/proc/"));
    EXPECT_EQ(ExtractFileDrive("/proc/self/status"), "/proc");
    EXPECT_EQ(TMountTable::MountOf("/proc/self").FileSystem, "proc");
    EXPECT_TRUE(TMountTable::IsPseudoFileSystem("proc"));
    EXPECT_FALSE(TMountTable::IsPseudoFileSystem("ext4"));
    EXPECT_TRUE(TMountTable::IsNetworkFileSystem("cifs"));
    EXPECT_TRUE(TMountTable::IsNetworkFileSystem("fuse.sshfs"));
    EXPECT_FALSE(IsNetworkPath("/proc"));
}

TEST(Paths, ForceDirectories)
{
    QTemporaryDir dir;
    const QString deep = dir.filePath("a/b/c");
    EXPECT_TRUE(ForceDirectories(deep));
    EXPECT_TRUE(QDir(deep).exists());
    EXPECT_TRUE(ForceDirectories(deep)) << "an existing folder counts as success";
    EXPECT_FALSE(ForceDirectories(QString()));
}

} // namespace
