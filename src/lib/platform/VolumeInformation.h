#pragma once
#include <QString>
#include <cstdint>

namespace kelvane {

// Facts of the volume holding a path.
struct TVolumeInformation {
    bool Valid = false;
    QString MountPoint;
    QString FileSystem;   // from mountinfo: "ext4", "btrfs", "cifs" ...
    QString Source;
    QString Label;        // from /dev/disk/by-label when the source is listed there
    uint32_t ClusterSize = 0;
    uint32_t SectorSize = 512;
    bool FileBasedCompression = false; // per-file compression is possible
    bool Compressed = false;           // every file is stored compressed
};

TVolumeInformation GetVolumeInformation(const QString& path);

} // namespace kelvane
