#include "Root.h"

#include "Roots.h"
#include "ScanJob.h"
#include "app/GlobalOptions.h"
#include "lib/platform/DirectoryLister.h"
#include "lib/platform/ErrorCodes.h"
#include "lib/platform/FileSystem.h"
#include "lib/platform/Paths.h"
#include "lib/platform/VolumeInformation.h"

#include <QDateTime>
#include <QDir>
#include <cerrno>

namespace kelvane {

namespace {

QString AbsolutePath(const QString& path)
{
    const QString p = NormalizeServerPath(path);
    if (p.startsWith(QLatin1String("//")))
        return IncludeTrailingPathDelimiter(p);
    return IncludeTrailingPathDelimiter(QDir::cleanPath(QDir::current().absoluteFilePath(p)));
}

} // namespace

TRoot::TRoot(TRoots& roots, const QString& path)
    : Roots(roots)
    , Path(AbsolutePath(path))
    , PathBytes(ToLocalPath(Path))
{
    DriveRoot = IncludeTrailingPathDelimiter(ExtractFileDrive(Path));
    RootFolder = std::make_unique<TFolderData>(nullptr, false, PathBytes, this);
    RootFolder->FilesSizeData().Files = -1;
    RootFolder->FilesSizeData().Folders = -1;
    const int64_t attributes = GetAttributes(Path);
    RootFolder->Attributes = attributes < 0 ? 0 : uint32_t(attributes);
    if (HasGlobalOptions())
        ExcludePatterns.Assign(GlobalOptions().ExcludePatternList);
    ExcludePatterns.ListName = QStringLiteral("ExcludePatterns");
    RefreshVolumeInfo(true);
}

TRoot::TRoot(TRoots& roots, const QString& path, TForReport)
    : Roots(roots)
    , Path(IncludeTrailingPathDelimiter(path))
    , PathBytes(ToLocalPath(Path))
{
    DriveRoot = IncludeTrailingPathDelimiter(ExtractFileDrive(Path));
    RootFolder = std::make_unique<TFolderData>(nullptr, false, PathBytes, this);
    IsLoadedReport = true;
    CollectFileAges = false;
    Available = DirectoryExists(Path);
    if (Available)
        RefreshVolumeInfo(false);
}

std::unique_ptr<TRoot> TRoot::CreateForReport(TRoots& roots, const QString& path)
{
    return std::unique_ptr<TRoot>(new TRoot(roots, path, TForReport{}));
}

TRoot::~TRoot()
{
    if (FPool)
        FPool->SetOnAllDone({}); // a root going away reports no end
    FPool.reset();               // stops and waits for the workers
    Roots.DiscardNewNodes(this);
    for (TFolderData* node : FGraveyard)
        delete node;
}

bool TRoot::IsScanning() const
{
    return FPool && FPool->Outstanding() > 0;
}

bool TRoot::ScanSucceeded() const
{
    return !IsScanning() && !Aborted && RootFolder->SizeData().Files > 0;
}

void TRoot::Stop()
{
    if (!FPool)
        return;
    Aborted = IsScanning();
    FPool->StopAll(true);
}

void TRoot::DiscardChildren(TFolderData* folder)
{
    Generation.fetch_add(1);
    Roots.DiscardNewNodes(this);
    LastErrorFolder = nullptr;
    if (folder->Children().empty())
        return;
    emit Roots.ChildrenAboutToBeRemoved(folder);
    if (FPool && FPool->HasThreads()) {
        // A thread left behind by Stop may still hold these nodes.
        for (TFolderData* child : folder->TakeChildren())
            FGraveyard.push_back(child);
    } else {
        folder->DeleteChildren();
        for (TFolderData* node : std::exchange(FGraveyard, {}))
            delete node;
    }
    emit Roots.ChildrenRemoved(folder);
}

int32_t TRoot::ListRootPath()
{
    TDirectoryLister lister(TDirectoryLister::loFoldersOnly);
    const int32_t error = lister.Open(PathBytes);
    if (error != 0)
        return error;
    RootFolder->CreationDate = lister.Self().CreationTime;
    TopLevelFolders = 0;
    bool allLinks = true;
    TFindRecord entry;
    while (lister.Next(entry)) {
        if (!entry.IsDirectory())
            continue;
        ++TopLevelFolders;
        if (!entry.IsReparsePoint())
            allLinks = false;
    }
    RootFolder->SetFlag(TFolderData::fdLink, allLinks);
    return 0;
}

void TRoot::RefreshVolumeInfo(bool full)
{
    const TDiskSpace space = GetDiskSpace(Path);
    TotalBytes = space.Total;
    FreeBytes = space.Free;
    if (!full)
        return;
    const bool userDefined = Filesystem == QLatin1String("User Defined");
    VolumeLabel.clear();
    TVolumeInformation info;
    if (!userDefined) {
        info = GetVolumeInformation(Path);
        VolumeLabel = info.Label;
        Filesystem = info.FileSystem;
        FileBasedCompression = info.FileBasedCompression;
        Compressed = info.Compressed;
    }
    FoldersOccupySpace = true; // a folder costs at least one block on Linux file systems
    if (TotalBytes < 1 || (!userDefined && !info.Valid)) {
        if (!userDefined) {
            BytesPerCluster = 512;
            Filesystem = QStringLiteral("Unknown FS");
        }
        BytesPerSector = 512;
        SectorsPerCluster = 1;
    } else if (!userDefined) {
        BytesPerCluster = info.ClusterSize;
        BytesPerSector = info.SectorSize;
        SectorsPerCluster = BytesPerSector ? qMax(1u, BytesPerCluster / BytesPerSector) : 1;
    }
    if (BytesPerCluster == 0 || BytesPerCluster > 130000)
        BytesPerCluster = 4096;
    if (Compressed) {
        BytesPerCluster = 1;
        Filesystem += QStringLiteral(" Compressed");
    }
    const uint32_t chosen = HasGlobalOptions() ? GlobalOptions().UserDefinedClusterSize : 0;
    if (chosen > 0) {
        BytesPerCluster = chosen;
        UserDefinedClusterSize = chosen;
        Filesystem = QStringLiteral("User Defined");
    }
}

bool TRoot::Scan(TFolderData* startFolder, const TPostProcessInformation* postProcessing)
{
    Title.clear();
    History.reset();
    Stop();
    RefreshVolumeInfo(false);
    int32_t error = TotalBytes < 0 ? ErrorCodeFromErrno(errno ? errno : ENOENT) : 0;
    if (error == 0)
        error = ListRootPath();
    if (error != 0) {
        ReportPathError(error, Path, Roots.ForceRootErrors);
        emit Roots.RootFailed(Path, GetErrorText(error));
        RootFolder->SetScanning(false);
        return false;
    }
    TFolderData* folder = startFolder ? startFolder : RootFolder.get();
    DiscardChildren(folder);
    RefreshVolumeInfo(true);
    folder->ResetCounters();
    IsCompared = false;
    IsLoadedReport = false;
    Aborted = false;
    ExcludedObjects = 0;
    FilesSeen = 0;
    if (HasGlobalOptions()) {
        const TGlobalOptions& o = GlobalOptions();
        ArchiveBitFilesOnly = o.ArchiveBitFilesOnly;
        CreatedPastDaysOnly = o.CreatedPastDaysOnly;
        ExcludePatterns.Assign(o.ExcludePatternList);
        IncludePatterns.Assign(o.IncludePatternList);
        Settings.GroupExtensions = o.GroupExtensions;
        Settings.GroupUsers = o.GroupUsers;
        Settings.RegardHardLinks = o.RegardHardLinks;
        Settings.FollowReparsePoints = o.FollowReparsePoints;
        Settings.AlwaysCreateFilesItem = o.AlwaysCreateFilesItem;
        Settings.NumberOfTopFiles = o.NumberOfTopFiles;
        Settings.Priority = o.ThreadPriority;
    }
    ExcludePatterns.ListName = QStringLiteral("ExcludePatterns");
    IncludePatterns.ListName = QStringLiteral("IncludePatterns");
    CollectFileAges = true;
    TopFiles = std::make_unique<TTopSizeFileList>(Settings.NumberOfTopFiles);
    ScanStartTime = DateTimeToFileTime(QDateTime::currentDateTimeUtc());
    CreationThreshold = DateTimeToFileTime(QDateTime::currentDateTime().addDays(-CreatedPastDaysOnly));
    if (postProcessing)
        PostProcessing = *postProcessing;
    StartTick = TickCount();
    SettledMax = 0;
    if (!FPool) {
        FPool = std::make_unique<TWorkerThreadPool>();
        FPool->SetIdleTimeout(1000);
        FPool->SetOnAllDone([this] { ScanFinished(); });
    }
    if (Roots.ThreadLimit > 0)
        FPool->SetThreadLimit(Roots.ThreadLimit);
    FPool->SetPriority(Settings.Priority);
    QueueJob(folder);
    if (HasGlobalOptions()) {
        TGlobalOptions& o = GlobalOptions();
        o.RecentlyScanned.removeAll(Path);
        o.RecentlyScanned.prepend(Path);
        while (o.RecentlyScanned.size() > qsizetype(o.MRUMaximum))
            o.RecentlyScanned.removeLast();
    }
    emit Roots.ScanStarted(this);
    return true;
}

TTopSizeFileList& TRoot::GetTopFiles()
{
    if (!TopFiles)
        TopFiles = std::make_unique<TTopSizeFileList>(0);
    return *TopFiles;
}

void TRoot::QueueJob(TFolderData* folder, bool isRescan, int compressionAction, std::string path)
{
    FPool->AddWorkItem(std::make_shared<TScanJob>(folder, compressionAction, isRescan, std::move(path)));
}

void TRoot::ClearScanningMarks(TFolderData* folder)
{
    if (!folder)
        folder = RootFolder.get();
    folder->SetFlag(TFolderData::fdScanning, false);
    folder->UpdateTick = 0;
    folder->TrimChildren();
    for (TFolderData* child : folder->Children())
        ClearScanningMarks(child);
}

void TRoot::ScanFinished()
{
    Roots.InsertNewNodes();
    ClearScanningMarks();
    Title.clear();
    emit Roots.ScanEnded(this);
}

QString TRoot::GetTitle()
{
    if (!Title.isEmpty())
        return Title;
    if (!SamePath(DriveRoot, Path)) {
        Title = RootFolder->GetDisplayName();
        if (!VolumeLabel.isEmpty())
            Title += QStringLiteral(" on [") + VolumeLabel + QLatin1Char(']');
    } else {
        Title = QStringLiteral(" Drive: ") + ExcludeTrailingPathDelimiter(Path);
        if (!VolumeLabel.isEmpty())
            Title += QStringLiteral(" [") + VolumeLabel + QLatin1Char(']');
    }
    return Title;
}

QString TRoot::ReportCaption()
{
    QString caption = GetTitle();
    if (!UserFilter.isEmpty())
        caption += QStringLiteral(" - User: \"") + UserFilter + QStringLiteral("\" ");
    if (!ExtensionFilter.isEmpty())
        caption += QStringLiteral(" - Extension: ")
            + (ExtensionFilter == QLatin1String(".") ? QStringLiteral("(none)") : QLatin1Char('"') + ExtensionFilter + QLatin1Char('"'))
            + QLatin1Char(' ');
    const QStringList& include = IncludePatterns.Patterns();
    if (!include.isEmpty() && include.front() != QLatin1String("*") && include.front() != QLatin1String("*.*"))
        caption += QStringLiteral("  Filter: ") + IncludePatterns.GetPatternsText();
    if (CreatedPastDaysOnly > 0)
        caption += QStringLiteral(" - [Created in the past %1 days]").arg(CreatedPastDaysOnly);
    return caption;
}

QString TRoot::ClusterText() const
{
    const uint32_t cluster = Compressed ? BytesPerSector * SectorsPerCluster : BytesPerCluster;
    return QStringLiteral("%1 Bytes per Cluster (%2)").arg(cluster).arg(Filesystem);
}

int TRoot::GetProgressPercent()
{
    if (TopLevelFolders == 0)
        return 0;
    SettledMax = qMax(SettledMax, RootFolder->CountSettledChildren());
    return qMin(100, int(std::lround(SettledMax * 100.0 / TopLevelFolders)));
}

void TRoot::SetUserFilter(const QString& name)
{
    UserFilter = name;
    Title.clear();
}

void TRoot::SetExtensionFilter(const QString& extension)
{
    QString e = extension == QLatin1String("(none)") ? QStringLiteral(".") : extension;
    if (!e.isEmpty() && !e.startsWith(QLatin1Char('.')))
        e.prepend(QLatin1Char('.'));
    ExtensionFilter = e;
}

void TRoot::SetCompared(const QString& reportPath)
{
    IsCompared = true;
    ComparedPath = reportPath;
    CollectFileAges = false;
    AutomaticUpdates = false;
}

} // namespace kelvane
