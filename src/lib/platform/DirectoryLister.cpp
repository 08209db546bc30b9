#include "DirectoryLister.h"

#include "ErrorCodes.h"

#include <QFile>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace kelvane {
namespace {

constexpr long BufferSize = 64 * 1024;
constexpr unsigned StatxMask = STATX_TYPE | STATX_MODE | STATX_NLINK | STATX_UID | STATX_ATIME | STATX_MTIME
    | STATX_INO | STATX_SIZE | STATX_BLOCKS | STATX_BTIME;

struct linux_dirent64 {
    uint64_t d_ino;
    int64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[];
};

TFileTime ToFileTime(const struct statx_timestamp& t)
{
    return FileTimeFromUnix(t.tv_sec, t.tv_nsec);
}

void FillRecord(const struct statx& st, std::string_view name, TFindRecord& r)
{
    r.Name = name;
    r.Size = int64_t(st.stx_size);
    r.AllocatedSize = int64_t(st.stx_blocks) * 512;
    r.Device = makedev(st.stx_dev_major, st.stx_dev_minor);
    r.Inode = st.stx_ino;
    r.LinkCount = st.stx_nlink;
    r.Uid = st.stx_uid;
    r.Mode = st.stx_mode;
    r.LastAccessTime = ToFileTime(st.stx_atime);
    r.LastWriteTime = ToFileTime(st.stx_mtime);
    r.CreationTime = (st.stx_mask & STATX_BTIME) ? ToFileTime(st.stx_btime) : 0;

    uint32_t a = faArchive;
    const unsigned type = st.stx_mode & S_IFMT;
    if (type == S_IFDIR)
        a |= faDirectory;
    else if (type == S_IFLNK)
        a |= faReparsePoint;
    else if (type != S_IFREG)
        a |= faSystem;
    if (!name.empty() && name.front() == '.')
        a |= faHidden;
    if ((st.stx_mode & 0222) == 0 && type != S_IFLNK)
        a |= faReadOnly;
    if (type == S_IFREG && r.AllocatedSize < r.Size)
        a |= faSparse;
    if (st.stx_attributes & st.stx_attributes_mask & STATX_ATTR_COMPRESSED)
        a |= faCompressed;
    if (type == S_IFDIR && (st.stx_attributes & st.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT))
        a |= faReparsePoint;
    r.Attributes = a;
}

// Samba keeps the DOS attributes of files it serves in user.DOSATTRIB, as
// text starting "0x..." (older versions) or after a binary header.
bool ArchiveBitFromSamba(int dirFd, const char* name, bool& archive)
{
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d/", dirFd);
    std::string full = path;
    full += name;
    char value[256];
    const ssize_t n = lgetxattr(full.c_str(), "user.DOSATTRIB", value, sizeof value - 1);
    if (n <= 0)
        return false;
    value[n] = 0;
    const char* hex = static_cast<const char*>(memmem(value, size_t(n), "0x", 2));
    if (!hex)
        return false;
    archive = (std::strtoul(hex + 2, nullptr, 16) & faArchive) != 0;
    return true;
}

// Listing buffers are kept per thread and reused: a scan opens one folder
// after another, and nested listings need one buffer each.
struct TBufferStack {
    std::vector<char*> Free;
    ~TBufferStack()
    {
        for (char* b : Free)
            std::free(b);
    }
};
thread_local TBufferStack t_buffers;

char* TakeBuffer()
{
    if (t_buffers.Free.empty())
        return static_cast<char*>(std::malloc(BufferSize));
    char* b = t_buffers.Free.back();
    t_buffers.Free.pop_back();
    return b;
}

void GiveBack(char* buffer)
{
    if (buffer && t_buffers.Free.size() < 64)
        t_buffers.Free.push_back(buffer);
    else
        std::free(buffer);
}

} // namespace

std::string ToLocalPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString FromLocalPath(std::string_view path)
{
    return QFile::decodeName(QByteArray(path.data(), qsizetype(path.size())));
}

int OpenFolder(const std::string& path)
{
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    int fd = ::open(path.c_str(), flags);
    if (fd >= 0 || errno != ENAMETOOLONG)
        return fd;
    // Walk the path in pieces shorter than the system's limit.
    size_t pos = 0;
    int dir = path.starts_with('/') ? ::open("/", flags) : AT_FDCWD;
    while (pos < path.size()) {
        size_t end = std::min(path.size(), pos + PATH_MAX / 2);
        if (end < path.size()) {
            const size_t slash = path.rfind('/', end);
            end = (slash == std::string::npos || slash <= pos) ? end : slash;
        }
        std::string piece = path.substr(pos, end - pos);
        while (!piece.empty() && piece.front() == '/')
            piece.erase(0, 1);
        pos = end;
        if (piece.empty())
            continue;
        const int next = ::openat(dir, piece.c_str(), flags);
        const int saved = errno;
        if (dir != AT_FDCWD)
            ::close(dir);
        if (next < 0) {
            errno = saved;
            return -1;
        }
        dir = next;
    }
    return dir;
}

int32_t StatPath(const std::string& path, TFindRecord& record, bool follow)
{
    struct statx st;
    if (statx(AT_FDCWD, path.c_str(), (follow ? 0 : AT_SYMLINK_NOFOLLOW) | AT_NO_AUTOMOUNT, StatxMask, &st) != 0)
        return ErrorCodeFromErrno(errno);
    const size_t slash = path.find_last_of('/', path.size() > 1 ? path.size() - 2 : 0);
    FillRecord(st, {}, record);
    if (slash != std::string::npos && slash + 1 < path.size() && path[slash + 1] == '.')
        record.Attributes |= faHidden;
    return 0;
}

TDirectoryLister::TDirectoryLister(unsigned options)
    : FOptions(options)
{
}

TDirectoryLister::~TDirectoryLister()
{
    Close();
    GiveBack(FBuffer);
}

void TDirectoryLister::Close()
{
    if (FFd >= 0)
        ::close(FFd);
    FFd = -1;
    FPos = FEnd = 0;
}

int32_t TDirectoryLister::Open(const std::string& path, const TFindRecord* known)
{
    Close();
    FFd = OpenFolder(path);
    return Opened(known);
}

int32_t TDirectoryLister::Opened(const TFindRecord* known)
{
    FError = FFd < 0 ? ErrorCodeFromErrno(errno) : 0;
    if (FFd >= 0 && known)
        FSelf = *known;
    else if (FFd >= 0 && !StatEntry("", FSelf))
        FError = ErrorCodeFromErrno(errno);
    return FError;
}

int32_t TDirectoryLister::OpenAt(int parentFd, std::string_view name, const TFindRecord* known)
{
    Close();
    char stackName[NAME_MAX + 1];
    const size_t n = std::min(name.size(), size_t(NAME_MAX));
    std::memcpy(stackName, name.data(), n);
    stackName[n] = 0;
    FFd = ::openat(parentFd, stackName, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    return Opened(known);
}

bool TDirectoryLister::StatEntry(const char* name, TFindRecord& r)
{
    struct statx st;
    const int flags = (*name ? AT_SYMLINK_NOFOLLOW : AT_EMPTY_PATH) | AT_NO_AUTOMOUNT;
    if (statx(FFd, name, flags, StatxMask, &st) != 0)
        return false;
    FillRecord(st, name, r);
    if (!*name)
        return true;
    const unsigned type = st.stx_mode & S_IFMT;
    if (type == S_IFDIR && r.Device != FSelf.Device)
        r.Attributes |= faReparsePoint; // a mount point
    else if (type == S_IFLNK && (FOptions & loResolveLinkTargets)) {
        struct statx target;
        if (statx(FFd, name, AT_NO_AUTOMOUNT, STATX_TYPE, &target) == 0 && (target.stx_mode & S_IFMT) == S_IFDIR)
            r.Attributes |= faDirectory;
    }
    if ((FOptions & loArchiveBit) && type == S_IFREG) {
        bool archive = true;
        if (ArchiveBitFromSamba(FFd, name, archive) && !archive)
            r.Attributes &= ~uint32_t(faArchive);
    }
    return true;
}

bool TDirectoryLister::Fill()
{
    if (!FBuffer)
        FBuffer = TakeBuffer();
    const long n = syscall(SYS_getdents64, FFd, FBuffer, BufferSize);
    if (n < 0) {
        FError = ErrorCodeFromErrno(errno);
        return false;
    }
    FPos = 0;
    FEnd = n;
    return n > 0;
}

bool TDirectoryLister::Next(TFindRecord& record)
{
    if (FFd < 0)
        return false;
    for (;;) {
        if (FPos >= FEnd && !Fill())
            return false;
        auto* entry = reinterpret_cast<linux_dirent64*>(FBuffer + FPos);
        FPos += entry->d_reclen;
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        if ((FOptions & loFoldersOnly) && entry->d_type != DT_DIR && entry->d_type != DT_UNKNOWN
            && !(entry->d_type == DT_LNK && (FOptions & loResolveLinkTargets)))
            continue;
        if (StatEntry(name, record))
            return true;
        // vanished since the listing was read: passed over
    }
}

} // namespace kelvane
