#include "lib/platform/DirectoryLister.h"
#include "lib/platform/ErrorCodes.h"
#include "lib/platform/FileSystem.h"

#include <QTemporaryDir>
#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <map>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kelvane;

namespace {

std::string Local(const QTemporaryDir& dir) { return ToLocalPath(dir.path()) + "/"; }

void WriteFile(const std::string& path, size_t bytes)
{
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path;
    std::string data(bytes, 'x');
    ASSERT_EQ(::write(fd, data.data(), data.size()), ssize_t(data.size()));
    ::close(fd);
}

std::map<std::string, TFindRecord> ListAll(const std::string& path, unsigned options = TDirectoryLister::loNone)
{
    std::map<std::string, TFindRecord> result;
    TDirectoryLister lister(options);
    EXPECT_EQ(lister.Open(path), 0) << path;
    TFindRecord r;
    while (lister.Next(r))
        result[std::string(r.Name)] = r;
    EXPECT_EQ(lister.Error(), 0);
    return result;
}

class ListingFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        Root = Local(Dir);
        WriteFile(Root + "plain.txt", 5000);
        WriteFile(Root + ".hidden", 1);
        WriteFile(Root + "readonly", 10);
        ::chmod((Root + "readonly").c_str(), 0444);
        const int fd = ::open((Root + "sparse.img").c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_EQ(::ftruncate(fd, 4294967296LL), 0);
        ::close(fd);
        WriteFile(Root + "linked", 3000);
        ASSERT_EQ(::link((Root + "linked").c_str(), (Root + "linked2").c_str()), 0);
        ASSERT_EQ(::mkdir((Root + "sub").c_str(), 0755), 0);
        ASSERT_EQ(::symlink("plain.txt", (Root + "to-file").c_str()), 0);
        ASSERT_EQ(::symlink("sub", (Root + "to-folder").c_str()), 0);
        ASSERT_EQ(::mkfifo((Root + "fifo").c_str(), 0644), 0);
        WriteFile(Root + "bad\xff\xfe-name", 1);
        WriteFile(Root + "line\nbreak", 2);
        // a fixed write time: 2021-01-01 00:00:00.5 UTC
        const timespec times[2] = {{1609459200, 0}, {1609459200, 500000000}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (Root + "plain.txt").c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
    }

    QTemporaryDir Dir;
    std::string Root;
};

TEST_F(ListingFixture, EveryEntryWithItsFacts)
{
    const auto all = ListAll(Root);
    EXPECT_EQ(all.size(), 12u);
    EXPECT_EQ(all.count("."), 0u);
    EXPECT_EQ(all.count(".."), 0u);

    const TFindRecord& plain = all.at("plain.txt");
    EXPECT_EQ(plain.Size, 5000);
    EXPECT_FALSE(plain.IsDirectory());
    EXPECT_EQ(plain.Attributes & (faHidden | faReadOnly | faSparse | faReparsePoint | faSystem), 0u);
    EXPECT_TRUE(plain.Attributes & faArchive);
    EXPECT_EQ(plain.LastWriteTime, 116444736000000000ULL + 1609459200ULL * 10000000ULL + 5000000ULL);
    EXPECT_EQ(plain.Uid, ::getuid());

    EXPECT_TRUE(all.at(".hidden").Attributes & faHidden);
    EXPECT_TRUE(all.at("readonly").Attributes & faReadOnly);

    const TFindRecord& sparse = all.at("sparse.img");
    EXPECT_EQ(sparse.Size, 4294967296LL);
    EXPECT_TRUE(sparse.Attributes & faSparse);
    EXPECT_LT(sparse.AllocatedSize, sparse.Size);

    EXPECT_EQ(all.at("linked").LinkCount, 2u);
    EXPECT_EQ(all.at("linked").Inode, all.at("linked2").Inode);

    const TFindRecord& sub = all.at("sub");
    EXPECT_TRUE(sub.IsDirectory());
    EXPECT_FALSE(sub.IsReparsePoint());

    const TFindRecord& toFile = all.at("to-file");
    EXPECT_TRUE(toFile.IsReparsePoint());
    EXPECT_FALSE(toFile.IsDirectory());
    EXPECT_EQ(toFile.Size, 9) << "a link counts with its own size";

    EXPECT_FALSE(all.at("to-folder").IsDirectory()) << "links to folders are folders only when followed";
    EXPECT_TRUE(all.at("fifo").Attributes & faSystem);
    EXPECT_EQ(all.count("bad\xff\xfe-name"), 1u) << "names are bytes, never re-encoded";
    EXPECT_EQ(all.count("line\nbreak"), 1u);
}

TEST_F(ListingFixture, FollowedLinksToFoldersAreFolders)
{
    const auto all = ListAll(Root, TDirectoryLister::loResolveLinkTargets);
    const TFindRecord& link = all.at("to-folder");
    EXPECT_TRUE(link.IsDirectory());
    EXPECT_TRUE(link.IsReparsePoint());
    EXPECT_FALSE(all.at("to-file").IsDirectory());
}

TEST_F(ListingFixture, ListingBelowAnOpenFolder)
{
    WriteFile(Root + "sub/inner", 7);
    TDirectoryLister parent;
    ASSERT_EQ(parent.Open(Root), 0);
    TDirectoryLister child;
    ASSERT_EQ(child.OpenAt(parent.Fd(), "sub"), 0);
    TFindRecord r;
    ASSERT_TRUE(child.Next(r));
    EXPECT_EQ(r.Name, "inner");
    EXPECT_FALSE(child.Next(r));
    EXPECT_NE(child.OpenAt(parent.Fd(), "to-folder"), 0) << "a link is not entered below an open folder";
}

TEST(Listing, MountPointsCarryTheReparseBit)
{
    const auto all = ListAll("/");
    ASSERT_EQ(all.count("proc"), 1u);
    EXPECT_TRUE(all.at("proc").IsDirectory());
    EXPECT_TRUE(all.at("proc").IsReparsePoint()) << "/proc is another file system";
}

TEST(Listing, MissingFolderAndFileGiveTheirCodes)
{
    TDirectoryLister lister;
    const int32_t missing = lister.Open("/no/such/folder");
    EXPECT_EQ(WindowsErrorCode(missing), 2);
    EXPECT_EQ(ErrnoOfErrorCode(missing), ENOENT);
    EXPECT_EQ(WindowsErrorCode(lister.Open("/etc/hostname")), 3) << "not a folder";
}

TEST(Listing, UnreadableFolderIsAccessDenied)
{
    QTemporaryDir dir;
    const std::string locked = Local(dir) + "locked";
    ASSERT_EQ(::mkdir(locked.c_str(), 0), 0);
    ::chmod(Local(dir).c_str(), 0755);
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        // As an ordinary user (root reads every folder).
        if (::getuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0))
            ::_exit(2);
        TDirectoryLister lister;
        const int32_t code = lister.Open(locked);
        (void)!::write(pipeFds[1], &code, sizeof code);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(pipeFds[1]);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2)
        GTEST_SKIP() << "cannot become an ordinary user here";
    int32_t code = 0;
    ASSERT_EQ(::read(pipeFds[0], &code, sizeof code), ssize_t(sizeof code));
    ::close(pipeFds[0]);
    EXPECT_EQ(WindowsErrorCode(code), 5);
    EXPECT_EQ(GetErrorText(code), QString::fromLocal8Bit(strerror(EACCES)));
    ::chmod(locked.c_str(), 0755);
}

TEST(Listing, PathsLongerThanTheSystemLimit)
{
    QTemporaryDir dir;
    std::string path = Local(dir);
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY);
    const std::string component(200, 'd');
    while (path.size() < PATH_MAX + 500) {
        ASSERT_EQ(::mkdirat(fd, component.c_str(), 0755), 0);
        const int next = ::openat(fd, component.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        path += component + "/";
    }
    const int file = ::openat(fd, "deep.txt", O_CREAT | O_WRONLY, 0644);
    ::close(file);
    ::close(fd);
    TDirectoryLister lister;
    ASSERT_EQ(lister.Open(path), 0);
    TFindRecord r;
    ASSERT_TRUE(lister.Next(r));
    EXPECT_EQ(r.Name, "deep.txt");
    // clean up from the bottom so QTemporaryDir can remove the rest
    ASSERT_EQ(::unlinkat(lister.Fd(), "deep.txt", 0), 0);
}

TEST(FileSystem, ExistenceLinksAndSpace)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("f");
    WriteFile(ToLocalPath(file), 10);
    ASSERT_EQ(::symlink("nowhere", ToLocalPath(dir.filePath("dangling")).c_str()), 0);
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_TRUE(DirectoryExists(dir.path()));
    EXPECT_FALSE(DirectoryExists(file));
    EXPECT_TRUE(PathExists(dir.filePath("dangling")));
    EXPECT_FALSE(PathExists(dir.filePath("none")));
    EXPECT_EQ(GetReparseTarget(dir.filePath("dangling")), "nowhere");
    EXPECT_EQ(GetReparseTarget(file), QString());
    EXPECT_FALSE(GetReparseTarget("/proc").isEmpty()) << "a mount point gives its source";
    EXPECT_EQ(GetHardLinkCount(file, -7), 1);
    EXPECT_EQ(GetHardLinkCount(dir.filePath("none"), -7), -7);
    EXPECT_GE(GetCompressedSize(file), 0);
    const TDiskSpace space = GetDiskSpace(dir.path());
    EXPECT_GT(space.Total, 0);
    EXPECT_GE(space.Free, 0);
    EXPECT_EQ(GetDiskSpace("/no/such").Total, -1);
    EXPECT_EQ(GetAttributes(dir.filePath("none")), -1);
    EXPECT_TRUE(GetAttributes(dir.path()) & faDirectory);
}

} // namespace
