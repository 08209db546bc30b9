#include "CountFile.h"

#include "Root.h"
#include "lib/platform/DirectoryLister.h"

namespace kelvane {

bool CountFile(TRoot& root, const TFindRecord& entry, TSizeData& target, bool countSeen)
{
    if (entry.Attributes & faDirectory)
        return false;
    if (!root.ExcludePatterns.IsEmpty() && root.ExcludePatterns.Matches(entry.Name)) {
        if (countSeen) // only scans count
            root.ExcludedObjects.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    if (countSeen)
        root.FilesSeen.fetch_add(1, std::memory_order_relaxed);
    if (!root.IncludePatterns.MatchesAll() && !root.IncludePatterns.Matches(entry.Name))
        return false;
    target.Clear();
    if (root.ArchiveBitFilesOnly && !(entry.Attributes & faArchive))
        return false;
    if (root.CreatedPastDaysOnly > 0 && FileTimeHigh(entry.CreationTime) < FileTimeHigh(root.CreationThreshold))
        return false;

    const int64_t size = entry.Size;
    target.Size = size;
    const int64_t cluster = root.BytesPerCluster > 0 ? root.BytesPerCluster : 512;
    int64_t stored = size;
    if (root.UserDefinedClusterSize == 0 && (entry.Attributes & (faCompressed | faSparse))) {
        target.Compression |= cfCompressed;
        // the blocks in use, which statx already gave us
        stored = entry.AllocatedSize >= 0 ? entry.AllocatedSize : size;
    } else {
        target.Compression |= cfUncompressed;
    }
    const int64_t remainder = stored % cluster;
    target.Allocated = remainder ? stored + (cluster - remainder) : stored;
    if (remainder)
        target.Wasted = cluster - remainder;
    target.CDRom = int32_t((size + 2047) / 2048);
    target.Files = 1;
    if (root.Settings.RegardHardLinks && entry.LinkCount > 1) {
        target.Size /= entry.LinkCount;
        target.Allocated /= entry.LinkCount;
        target.Wasted /= entry.LinkCount;
    }
    return true;
}

} // namespace kelvane
