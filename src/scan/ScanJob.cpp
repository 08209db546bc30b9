#include "ScanJob.h"

#include "CountFile.h"
#include "FileAggregates.h"
#include "FolderData.h"
#include "Root.h"
#include "Roots.h"
#include "lib/platform/DirectoryLister.h"
#include "lib/platform/FileSystem.h"
#include "lib/platform/MountTable.h"
#include "lib/platform/Paths.h"
#include "lib/platform/Processor.h"

#include <QDir>
#include <sys/stat.h>
#include <sys/statfs.h>

namespace kelvane {
namespace {

// A link or mount point that leads back to a folder of its own branch
// would be listed again and again.
bool LeadsIntoOwnBranch(const TFolderData* folder, uint64_t device, uint64_t inode)
{
    for (const TFolderData* p = folder->Parent; p; p = p->Parent)
        if (p->Device == device && p->Inode == inode)
            return true;
    return false;
}

// Where a symbolic link points, as an absolute clean path; a mount point
// gives its source.
QString LinkTarget(const std::string& path)
{
    const QString link = ExcludeTrailingPathDelimiter(FromLocalPath(path));
    QString target = GetReparseTarget(link);
    if (!target.isEmpty() && !target.startsWith(QLatin1Char('/')) && !target.startsWith(QLatin1String("//")))
        target = ExtractFilePath(link) + target;
    return QDir::cleanPath(target);
}

} // namespace

TScanJob::TScanJob(TFolderData* folder, int compressionAction, bool isRescan, std::string path)
    : Folder(folder)
    , Root(folder->Root)
    , IsRescan(isRescan)
    , CompressionAction(compressionAction)
    , Generation(folder->Root->Generation.load())
    , Path(std::move(path))
{
    folder->SetScanning(true);
    if (isRescan) {
        OldTotals = folder->SizeData();
        folder->ResetCounters();
    }
}

void TScanJob::Execute()
{
    ScanFolder(Path.empty() ? Folder->GetFullPathBytes() : Path, Folder, -1);
    if (CompressionAction == 0 && IsRescan && !IsCancelled()) {
        std::lock_guard lock(Root->Lock);
        OldTotals.Subtract(Folder->SizeData());
        // Branch updates come with automatic updates; the ancestors move by
        // new - old there.
    }
}

void TScanJob::ScanFolder(const std::string& path, TFolderData* folder, int parentFd)
{
    TRoot& root = *Root;
    const TScanSettings& settings = root.Settings;
    TSizeData files;
    TSizeData charge; // one cluster per subfolder on file systems where folders occupy space
    TFileTime newestAccess = 0;
    TFileTime newestChange = 0;
    files.Compression = (folder->Parent && (folder->Attributes & (faCompressed | faSparse))) ? cfCompressed : cfUncompressed;
    bool merge = true;
    TListingAggregates aggregates(settings.GroupExtensions, settings.GroupUsers, root.CollectFileAges, root.ScanStartTime);
    TTopSizeFileList& topFiles = root.GetTopFiles();

    bool list = true;
    if (folder->Attributes & faReparsePoint) {
        folder->SetFlag(TFolderData::fdLink, true);
        if (!settings.FollowReparsePoints && folder->Parent && !folder->Parent->IsLink())
            list = false;
        else if (folder->Parent && IsPathInside(root.Path, LinkTarget(path)))
            list = false; // counted already where it points to
    }

    TDirectoryLister lister(settings.FollowReparsePoints ? TDirectoryLister::loResolveLinkTargets : TDirectoryLister::loNone);
    if (list) {
        // A plain subfolder's device and inode came with its parent's listing.
        TFindRecord known;
        known.Device = folder->Device;
        known.Inode = folder->Inode;
        const TFindRecord* self = folder->Parent && !(folder->Attributes & faReparsePoint) ? &known : nullptr;
        const int32_t error = parentFd >= 0 ? lister.OpenAt(parentFd, folder->Name, self) : lister.Open(path, self);
        const bool mayLoop = (folder->Attributes & faReparsePoint) || folder->IsBelowReparsePoint();
        if (error == 0 && folder->Parent && mayLoop && LeadsIntoOwnBranch(folder, lister.Self().Device, lister.Self().Inode)) {
            list = false;
        } else if (error == 0 && folder->Parent && (folder->Attributes & faReparsePoint)) {
            struct statfs fs;
            if (::fstatfs(lister.Fd(), &fs) == 0 && TMountTable::IsPseudoFileSystemType(long(fs.f_type)))
                list = false; // /proc, /sys and the like below the root
        }
        if (list && error != 0) {
            folder->Error = error;
            root.LastErrorFolder.store(folder);
            merge = false;
            list = false;
        }
        if (list) {
            folder->Device = lister.Self().Device;
            folder->Inode = lister.Self().Inode;
        }
    }

    if (list) {
        TFindRecord entry;
        TSizeData single;
        while (lister.Next(entry)) {
            if (folder->IsAbortRequested() || IsCancelled())
                break;
            if (entry.IsDirectory()) {
                if (!root.ExcludePatterns.IsEmpty() && root.ExcludePatterns.Matches(entry.Name))
                    continue;
                files.Folders += 1;
                if (root.FoldersOccupySpace) {
                    charge.Allocated += root.BytesPerCluster;
                    charge.Wasted += root.BytesPerCluster;
                    charge.CDRom += 1;
                }
                auto* child = new TFolderData(folder, false, std::string(entry.Name), &root);
                child->Attributes = entry.Attributes;
                child->CreationDate = entry.CreationTime;
                child->Device = entry.Device;
                child->Inode = entry.Inode;
                if ((folder->Attributes & faReparsePoint) || folder->IsBelowReparsePoint())
                    child->MarkBelowReparsePoint();
                child->SetScanning(true);
                root.Roots.AddNewNode(child, Generation);
                if (IsCancelled())
                    continue;
                // A saturated processor lists subfolders in place, which bounds the queue.
                std::string childPath;
                childPath.reserve(path.size() + entry.Name.size() + 1);
                childPath.append(path).append(entry.Name).append(1, '/');
                if (!IsRescan && TCpuLoad::ProgramWide().Percent() < 100) {
                    root.QueueJob(child, false, 0, std::move(childPath));
                    continue;
                }
                // Symbolic links are opened by path: opening below a folder never follows them.
                const bool symlink = (entry.Mode & S_IFMT) == S_IFLNK;
                ScanFolder(childPath, child, symlink ? -1 : lister.Fd());
                continue;
            }
            if (!CountFile(root, entry, single, true))
                continue;
            files.Add(single);
            aggregates.AddFile(entry.Name, entry.Uid, entry.LastWriteTime, single);
            topFiles.Consider(entry, path, root.Available);
            if (FileTimeHigh(entry.LastAccessTime) > FileTimeHigh(newestAccess))
                newestAccess = entry.LastAccessTime;
            if (FileTimeHigh(entry.LastWriteTime) > FileTimeHigh(newestChange))
                newestChange = entry.LastWriteTime;
        }
        if (lister.Error() != 0 && folder->Error == 0) {
            // A listing that broke off (the folder was deleted meanwhile, or
            // the volume went away) counts no files, like one that never
            // began; subfolders found so far stay and pass their totals up.
            folder->Error = lister.Error();
            root.LastErrorFolder.store(folder);
            TSizeData subfoldersOnly;
            subfoldersOnly.Folders = files.Folders;
            subfoldersOnly.Compression = files.Compression;
            files = subfoldersOnly;
            aggregates.Clear();
        }
    }

    if (IsCancelled())
        merge = false;
    std::unique_ptr<TFileAggregates> own;
    if (merge && !aggregates.IsEmpty())
        own = std::make_unique<TFileAggregates>(aggregates.Finish());
    std::lock_guard lock(root.Lock);
    if (merge) {
        folder->FilesSizeData() = files;
        folder->SetOwnAggregates(std::move(own));
        TSizeData& size = folder->SizeData();
        size.Add(files);
        size.Add(charge);
        if (FileTimeHigh(newestAccess) > FileTimeHigh(folder->LastAccessDate))
            folder->LastAccessDate = newestAccess;
        if (FileTimeHigh(newestChange) > FileTimeHigh(folder->LastChangeDate))
            folder->LastChangeDate = newestChange;
        folder->UpdateTick.store(TickCount(), std::memory_order_relaxed);
        if (folder->Parent && !(IsRescan && folder == Folder))
            folder->Parent->AddChildTotals(folder, !folder->Parent->IsScanning());
        if (files.Files > 0 && (files.Folders > 0 || settings.AlwaysCreateFilesItem)) {
            auto* item = new TFolderData(folder, true, std::string(), &root);
            root.Roots.AddNewNode(item, Generation);
        }
    }
    // Within the same locked step, so a child finishing now sees either the
    // folder still scanning or its totals already handed over.
    folder->SetScanning(false);
}

} // namespace kelvane
