#include "FileSystem.h"

#include "DirectoryLister.h"
#include "MountTable.h"
#include "Paths.h"

#include <QDir>
#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace kelvane {

bool FileExists(const QString& path)
{
    struct stat st;
    return ::stat(ToLocalPath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const QString& path)
{
    struct stat st;
    return ::stat(ToLocalPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PathExists(const QString& path)
{
    struct stat st;
    return ::lstat(ToLocalPath(ExcludeTrailingPathDelimiter(path)).c_str(), &st) == 0;
}

int64_t GetAttributes(const QString& path)
{
    TFindRecord r;
    if (StatPath(ToLocalPath(ExcludeTrailingPathDelimiter(path)), r) != 0)
        return -1;
    return r.Attributes;
}

TDiskSpace GetDiskSpace(const QString& path)
{
    struct statvfs vfs;
    if (::statvfs(ToLocalPath(path).c_str(), &vfs) != 0)
        return {};
    TDiskSpace space;
    space.Total = int64_t(vfs.f_blocks) * int64_t(vfs.f_frsize);
    space.Free = int64_t(vfs.f_bavail) * int64_t(vfs.f_frsize);
    return space;
}

bool IsDriveReady(const QString& path)
{
    return GetDiskSpace(ExtractFileDrive(path)).Total >= 0;
}

int64_t GetCompressedSize(const QString& path)
{
    struct stat st;
    if (::lstat(ToLocalPath(path).c_str(), &st) != 0)
        return -1;
    return int64_t(st.st_blocks) * 512;
}

bool SetCompression(const QString& path, bool uncompress)
{
    const int fd = ::open(ToLocalPath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        const int wanted = uncompress ? (flags & ~FS_COMPR_FL) : (flags | FS_COMPR_FL);
        ok = wanted == flags || ::ioctl(fd, FS_IOC_SETFLAGS, &wanted) == 0;
    }
    ::close(fd);
    return ok;
}

bool SetCompressionAndAttribute(const QString& path, bool uncompress, uint32_t& attributes)
{
    if (!SetCompression(path, uncompress))
        return false;
    if (uncompress)
        attributes &= ~uint32_t(faCompressed);
    else
        attributes |= faCompressed;
    return true;
}

bool SetFolderCompression(const QString& path, bool uncompress, bool recurse)
{
    if (!SetCompression(path, uncompress))
        return false;
    const QDir dir(path);
    for (const QFileInfo& entry : dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (entry.isSymLink())
            continue;
        if (entry.isDir()) {
            if (recurse && !SetFolderCompression(entry.filePath(), uncompress, true))
                return false;
        } else if (!SetCompression(entry.filePath(), uncompress)) {
            return false;
        }
    }
    return true;
}

int GetHardLinkCount(const QString& path, int fallback)
{
    struct stat st;
    if (::lstat(ToLocalPath(path).c_str(), &st) != 0)
        return fallback;
    return int(st.st_nlink);
}

QString GetReparseTarget(const QString& path)
{
    const std::string local = ToLocalPath(ExcludeTrailingPathDelimiter(path));
    char buffer[16384];
    const ssize_t n = ::readlink(local.c_str(), buffer, sizeof buffer - 1);
    if (n > 0)
        return FromLocalPath(std::string_view(buffer, size_t(n)));
    const TMountEntry mount = TMountTable::MountOf(path);
    if (!mount.MountPoint.isEmpty() && SamePath(mount.MountPoint, path))
        return mount.Source;
    return {};
}

} // namespace kelvane
