#pragma once
#include "FolderData.h"
#include "PostProcessInformation.h"
#include "ScanHistory.h"
#include "TopSizeFileList.h"
#include "lib/Patterns.h"
#include "lib/WorkerThreadPool.h"

#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>

namespace kelvane {

class TRoots;

// Texts of a node that are slow to get, asked for only by views and exports:
// computed once, kept beside the tree (most nodes are never shown).
struct TNodeDisplayTexts {
    QString OwnerText;
    QString PermissionsText;
};

// Options a scan reads, copied from the options when it starts, so scan
// threads never read what the user may be changing.
struct TScanSettings {
    bool GroupExtensions = true;
    bool GroupUsers = false;
    bool RegardHardLinks = false;
    bool FollowReparsePoints = false;
    bool AlwaysCreateFilesItem = false;
    int NumberOfTopFiles = 100;
    TThreadPriority Priority = threadpriority::tpLower;
};

// One scanned path: its tree, volume facts, filters and state.
class TRoot {
public:
    TRoot(TRoots& roots, const QString& path);
    // A root filled from a report: not scanned, no volume query (the report's
    // file-system facts stand; only free and total space are refreshed from
    // the live volume when it exists).
    static std::unique_ptr<TRoot> CreateForReport(TRoots& roots, const QString& path);
    ~TRoot();

    // Starts a scan of the root or of one of its folders. Returns false when
    // the root path cannot be listed (reported; the caller removes the root).
    bool Scan(TFolderData* startFolder = nullptr, const TPostProcessInformation* postProcessing = nullptr);
    void Stop();
    bool IsScanning() const;
    bool ScanSucceeded() const;
    // The pool's all-done handler, on the user-interface thread.
    void ScanFinished();

    void RefreshVolumeInfo(bool full);
    int32_t ListRootPath();
    void QueueJob(TFolderData* folder, bool isRescan = false, int compressionAction = 0, std::string path = {});
    void ClearScanningMarks(TFolderData* folder = nullptr);

    QString GetTitle();
    QString ReportCaption();
    QString ClusterText() const;
    int GetProgressPercent();
    void SetUserFilter(const QString& name);
    void SetExtensionFilter(const QString& extension);
    void SetCompared(const QString& reportPath);
    // The most recent folder whose listing failed and was not yet reported.
    TFolderData* TakeLastErrorFolder() { return LastErrorFolder.exchange(nullptr); }

    TRoots& Roots;
    // Declared before the tree: nodes forget their texts when they go.
    // User-interface thread only.
    std::unordered_map<const TFolderData*, TNodeDisplayTexts> DisplayTexts;
    std::unique_ptr<TFolderData> RootFolder;
    QString Path;           // always with a trailing "/"
    std::string PathBytes;
    TKVPPatterns ExcludePatterns{QStringLiteral("ExcludePatterns"), false};
    TKVPPatterns IncludePatterns{QStringLiteral("IncludePatterns")};
    bool ArchiveBitFilesOnly = false;
    int CreatedPastDaysOnly = 0;
    QString DriveRoot;
    TFileTime CreationThreshold = 0;
    bool IsCompared = false;
    QString ComparedPath;
    bool IsLoadedReport = false;
    QString UserFilter;
    QString ExtensionFilter;
    QString Title;
    QString ScanTitle; // given on the command line (/TITLE)
    bool AutomaticUpdates = false;
    bool Available = true;
    uint32_t StartTick = 0;
    std::recursive_mutex Lock;
    std::atomic<TFolderData*> LastErrorFolder{nullptr};
    int SettledMax = 0;
    std::optional<TPostProcessInformation> PostProcessing;
    QString VolumeLabel;
    QString Filesystem;
    std::atomic<int32_t> ExcludedObjects{0};
    std::atomic<int32_t> FilesSeen{0};
    uint32_t UserDefinedClusterSize = 0;
    uint32_t SectorsPerCluster = 1;
    uint32_t BytesPerSector = 512;
    int64_t FreeBytes = -1;
    int64_t TotalBytes = -1;
    uint32_t BytesPerCluster = 512;
    bool Compressed = false;
    bool FileBasedCompression = false;
    bool FoldersOccupySpace = true;
    int32_t TopLevelFolders = 0;
    bool Aborted = false;
    bool CollectFileAges = true;
    TScanSettings Settings;
    // The largest files of the last scan; a list made on demand has no room.
    TTopSizeFileList& GetTopFiles();
    std::unique_ptr<TTopSizeFileList> TopFiles;
    TFileTime ScanStartTime = 0; // file ages are measured from here
    // The earlier scans of this path; read from the history file when first
    // needed, dropped when a scan starts.
    std::unique_ptr<THistoryDataCollection> History;
    // Bumped whenever a tree is replaced; nodes of older scans that arrive
    // late are dropped instead of joining the new tree.
    std::atomic<uint32_t> Generation{0};

    TWorkerThreadPool* Pool() const { return FPool.get(); }

private:
    struct TForReport {};
    TRoot(TRoots& roots, const QString& path, TForReport);
    void DiscardChildren(TFolderData* folder);

    std::unique_ptr<TWorkerThreadPool> FPool;
    // Subtrees a stuck, abandoned scan thread may still touch: freed only
    // when no thread of the pool is left.
    std::vector<TFolderData*> FGraveyard;
};

} // namespace kelvane
