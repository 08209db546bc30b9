#include "VolumeInformation.h"

#include "DirectoryLister.h"
#include "MountTable.h"

#include <QDir>
#include <QFileInfo>
#include <sys/statfs.h>

namespace kelvane {
namespace {

QString LabelOf(const QString& source)
{
    if (!source.startsWith(QLatin1String("/dev/")))
        return {};
    const QString device = QFileInfo(source).canonicalFilePath();
    const QDir labels(QStringLiteral("/dev/disk/by-label"));
    for (const QFileInfo& link : labels.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        if (link.canonicalFilePath() == device) {
            // udev escapes blanks and slashes as \x20, \x2f.
            QString label = link.fileName();
            label.replace(QLatin1String("\\x20"), QLatin1String(" ")).replace(QLatin1String("\\x2f"), QLatin1String("/"));
            return label;
        }
    return {};
}

} // namespace

TVolumeInformation GetVolumeInformation(const QString& path)
{
    TVolumeInformation info;
    struct statfs fs;
    if (::statfs(ToLocalPath(path).c_str(), &fs) != 0)
        return info;
    const TMountEntry mount = TMountTable::MountOf(path);
    info.Valid = true;
    info.MountPoint = mount.MountPoint;
    info.FileSystem = mount.FileSystem.isEmpty() ? QStringLiteral("Unknown FS") : mount.FileSystem;
    info.Source = mount.Source;
    info.Label = LabelOf(mount.Source);
    info.ClusterSize = uint32_t(fs.f_bsize);
    info.FileBasedCompression = mount.FileSystem == QLatin1String("btrfs") || mount.FileSystem == QLatin1String("f2fs");
    return info;
}

} // namespace kelvane
