#include "MountTable.h"

#include "Paths.h"

#include <QFile>
#include <chrono>
#include <linux/magic.h>
#include <mutex>
#include <sys/sysmacros.h>

namespace kelvane {
namespace {

// mountinfo escapes blanks, tabs, newlines and backslashes as \ooo.
QString Unescape(const QByteArray& field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int value = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(char(value));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return QString::fromUtf8(out);
}

std::vector<TMountEntry> ReadMounts()
{
    std::vector<TMountEntry> result;
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    if (!file.open(QIODevice::ReadOnly))
        return result;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype dash = fields.indexOf(QByteArray("-"));
        if (fields.size() < 7 || dash < 6 || dash + 2 >= fields.size())
            continue;
        TMountEntry e;
        const QList<QByteArray> mm = fields[2].split(':');
        if (mm.size() == 2)
            e.Device = makedev(mm[0].toUInt(), mm[1].toUInt());
        e.MountPoint = Unescape(fields[4]);
        e.FileSystem = QString::fromUtf8(fields[dash + 1]);
        e.Source = Unescape(fields[dash + 2]);
        result.push_back(std::move(e));
    }
    return result;
}

} // namespace

std::vector<TMountEntry> TMountTable::Mounts()
{
    static std::mutex lock;
    static std::vector<TMountEntry> cache;
    static std::chrono::steady_clock::time_point readAt{};
    std::lock_guard guard(lock);
    const auto now = std::chrono::steady_clock::now();
    if (cache.empty() || now - readAt > std::chrono::seconds(1)) {
        cache = ReadMounts();
        readAt = now;
    }
    return cache;
}

TMountEntry TMountTable::MountOf(const QString& path)
{
    TMountEntry best;
    qsizetype bestLength = -1;
    const QString p = ExcludeTrailingPathDelimiter(path);
    for (const TMountEntry& e : Mounts()) {
        const QString mp = ExcludeTrailingPathDelimiter(e.MountPoint);
        const bool holds = mp == QLatin1String("/") || SamePath(mp, p) || IsPathInside(mp, p);
        // Later entries mount over earlier ones at the same point.
        if (holds && mp.size() >= bestLength) {
            best = e;
            bestLength = mp.size();
        }
    }
    return best;
}

bool TMountTable::IsNetworkFileSystem(const QString& fs)
{
    static const QStringList network = {
        QStringLiteral("cifs"), QStringLiteral("smb3"), QStringLiteral("smbfs"), QStringLiteral("nfs"),
        QStringLiteral("nfs4"), QStringLiteral("ncpfs"), QStringLiteral("afs"), QStringLiteral("9p"),
        QStringLiteral("ceph"), QStringLiteral("glusterfs"), QStringLiteral("davfs"), QStringLiteral("lustre"),
        QStringLiteral("fuse.sshfs"), QStringLiteral("fuse.rclone"), QStringLiteral("fuse.s3fs"),
        QStringLiteral("fuse.gvfsd-fuse"), QStringLiteral("fuse.davfs2"), QStringLiteral("fuse.glusterfs"),
        QStringLiteral("fuse.cephfs"), QStringLiteral("fuse.smbnetfs"), QStringLiteral("fuse.curlftpfs"),
    };
    return network.contains(fs);
}

bool TMountTable::IsPseudoFileSystem(const QString& fs)
{
    static const QStringList pseudo = {
        QStringLiteral("proc"),     QStringLiteral("sysfs"),  QStringLiteral("cgroup"), QStringLiteral("cgroup2"),
        QStringLiteral("devtmpfs"), QStringLiteral("debugfs"), QStringLiteral("tracefs"), QStringLiteral("securityfs"),
        QStringLiteral("pstore"),   QStringLiteral("bpf"),    QStringLiteral("autofs"), QStringLiteral("configfs"),
        QStringLiteral("fusectl"),  QStringLiteral("binfmt_misc"), QStringLiteral("efivarfs"), QStringLiteral("mqueue"),
        QStringLiteral("hugetlbfs"), QStringLiteral("devpts"),
    };
    return pseudo.contains(fs);
}

bool TMountTable::IsPseudoFileSystemType(long type)
{
    switch (type) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case PSTOREFS_MAGIC:
    case BPF_FS_MAGIC:
    case AUTOFS_SUPER_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case EFIVARFS_MAGIC:
    case BINFMTFS_MAGIC:
        return true;
    default:
        return false;
    }
}

} // namespace kelvane
