#pragma once
#include <QString>
#include <sys/types.h>
#include <vector>

namespace kelvane {

struct TMountEntry {
    QString MountPoint;
    QString FileSystem; // "ext4", "cifs", "fuse.sshfs" ...
    QString Source;     // "/dev/sda1", "//server/share" ...
    dev_t Device = 0;
};

// The mounts of this process (from /proc/self/mountinfo), read again at most
// once a second.
class TMountTable {
public:
    static std::vector<TMountEntry> Mounts();
    // The mount holding the path: the longest mount point that contains it
    // component by component.
    static TMountEntry MountOf(const QString& path);
    static bool IsNetworkFileSystem(const QString& fileSystem);
    // proc, sysfs, cgroup ...: never listed below a scan root.
    static bool IsPseudoFileSystem(const QString& fileSystem);
    static bool IsPseudoFileSystemType(long statfsType);
};

} // namespace kelvane
