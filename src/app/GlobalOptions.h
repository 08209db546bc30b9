#pragma once
#include "BraskGlobalOptions.h"
#include "lib/Patterns.h"
#include "lib/ThreadPriority.h"
#include "scan/ColumnLayout.h"
#include "scan/MediaSettings.h"
#include "scan/ViewType.h"

#include <array>

namespace kelvane {

// Every persistent option of the program, stored by name in the settings
// file; reached through GlobalOptions().
class TGlobalOptions : public TBraskGlobalOptions {
    Q_OBJECT
    Q_CLASSINFO("Range:RefreshInterval", "100..3600000")
    Q_CLASSINFO("Range:Decimals", "0..9")
    Q_CLASSINFO("Range:NumberOfTopFiles", "0..100000")
    Q_CLASSINFO("Range:MaximumThreads", "1..32")
    Q_CLASSINFO("Range:MRUMaximum", "0..100")
    Q_CLASSINFO("Range:BoldFactor", "0..1000000")
    Q_CLASSINFO("Range:CreatedPastDaysOnly", "0..100000")
    Q_CLASSINFO("Range:IndicatorBarColor1", "0..16777215")
    Q_CLASSINFO("Range:IndicatorBarColor2", "0..16777215")

    Q_PROPERTY(int RefreshInterval MEMBER RefreshInterval)
    Q_PROPERTY(bool ChartShowFreeSpace MEMBER ChartShowFreeSpace)
    Q_PROPERTY(bool ChartShowGradient MEMBER ChartShowGradient)
    Q_PROPERTY(bool ColorForCompressed MEMBER ColorForCompressed)
    Q_PROPERTY(QStringList ExcludePatterns READ GetExcludePatterns WRITE SetExcludePatterns)
    Q_PROPERTY(bool GroupExtensions MEMBER GroupExtensions)
    Q_PROPERTY(bool GroupUsers MEMBER GroupUsers)
    Q_PROPERTY(QStringList IncludePatterns READ GetIncludePatterns WRITE SetIncludePatterns STORED false)
    Q_PROPERTY(bool ArchiveBitFilesOnly MEMBER ArchiveBitFilesOnly STORED false)
    Q_PROPERTY(QString DefaultExcelExportFileW MEMBER DefaultExcelExportFileW)
    Q_PROPERTY(bool ShowExtendedNetworkPath MEMBER ShowExtendedNetworkPath)
    Q_PROPERTY(int CreatedPastDaysOnly MEMBER CreatedPastDaysOnly STORED false)
    Q_PROPERTY(bool DefaultValueAutomaticUpdates MEMBER DefaultValueAutomaticUpdates)
    Q_PROPERTY(bool UsePlainNumbers MEMBER UsePlainNumbers)
    Q_PROPERTY(int Decimals MEMBER Decimals)
    Q_PROPERTY(bool AlwaysCreateFilesItem MEMBER AlwaysCreateFilesItem)
    Q_PROPERTY(bool FollowReparsePoints MEMBER FollowReparsePoints)
    Q_PROPERTY(QString HTMLStyleSheet MEMBER HTMLStyleSheet)
    Q_PROPERTY(bool RegardHardLinks MEMBER RegardHardLinks)
    Q_PROPERTY(int NumberOfTopFiles MEMBER NumberOfTopFiles)
    Q_PROPERTY(bool ShowDrivesPanel MEMBER ShowDrivesPanel NOTIFY ShowDrivesPanelChanged)
    Q_PROPERTY(QStringList AdditionalDrivesForDriveList MEMBER AdditionalDrivesForDriveList)
    Q_PROPERTY(QStringList DriveListExcludes MEMBER DriveListExcludes)
    Q_PROPERTY(int MaximumThreads MEMBER MaximumThreads)
    Q_PROPERTY(TStartupBehaviour StartupBehaviour MEMBER StartupBehaviour)
    Q_PROPERTY(QStringList StartupPaths MEMBER StartupPaths)
    Q_PROPERTY(bool ShowLongTooltips MEMBER ShowLongTooltips NOTIFY ShowLongTooltipsChanged)
    Q_PROPERTY(bool ShowDateAndTime MEMBER ShowDateAndTime)
    Q_PROPERTY(bool DetermineIconsOnFileExt MEMBER DetermineIconsOnFileExt)
    Q_PROPERTY(bool BoldForPrinting MEMBER BoldForPrinting)
    Q_PROPERTY(int BoldFactor MEMBER BoldFactor)
    Q_PROPERTY(TBoldFactorType BoldFactorType MEMBER BoldFactorType)
    Q_PROPERTY(kelvane::threadpriority::TThreadPriority ThreadPriority MEMBER ThreadPriority)
    Q_PROPERTY(TUnicodeEncoding CSVUnicodeEncoding MEMBER CSVUnicodeEncoding)
    Q_PROPERTY(bool ShowInidcatorBarsInTree MEMBER ShowInidcatorBarsInTree)
    Q_PROPERTY(int IndicatorBarColor1 MEMBER IndicatorBarColor1)
    Q_PROPERTY(int IndicatorBarColor2 MEMBER IndicatorBarColor2)
    Q_PROPERTY(kelvane::viewtypes::TViewType ViewType MEMBER ViewType)
    Q_PROPERTY(QStringList RecentlyScanned MEMBER RecentlyScanned)
    Q_PROPERTY(uint MRUMaximum MEMBER MRUMaximum)
    Q_PROPERTY(kelvane::viewtypes::TSortType SortType MEMBER SortType)
    Q_PROPERTY(kelvane::viewtypes::TUnitType SizeUnit MEMBER SizeUnit)
    Q_PROPERTY(QString PrinterName MEMBER PrinterName)
    Q_PROPERTY(TPrintOrientation PrintOrientation MEMBER PrintOrientation)
    Q_PROPERTY(bool ShowErrors MEMBER ShowErrors)
    Q_PROPERTY(bool ShowZeroInHistory MEMBER ShowZeroInHistory)
    Q_PROPERTY(bool ShareHistroyFile MEMBER ShareHistroyFile)

public:
    enum TStartupBehaviour { sbNothing = 0, sbLastPaths, sbSpecifiedPaths };
    Q_ENUM(TStartupBehaviour)
    enum TBoldFactorType { bft_percent = 0, bft_Megabytes };
    Q_ENUM(TBoldFactorType)
    enum TUnicodeEncoding { ueUTF8 = 0, ueUTF16 };
    Q_ENUM(TUnicodeEncoding)
    enum TPrintOrientation { poPortrait = 0, poLandscape };
    Q_ENUM(TPrintOrientation)

    // Reads the NOGUI switch from the arguments and loads every option.
    explicit TGlobalOptions(const QStringList& arguments = {}, QObject* parent = nullptr);
    ~TGlobalOptions() override;

    void Load() override;
    void Save() override;

    // Pattern lists for this run only (/FILTER, /EXCLUDE).
    void SetIncludePatternsForRun(const QString& text);
    void SetExcludePatternsForRun(const QString& text);

    TMediaSettings& Media(int medium) { return *FMedia[size_t(medium)]; }
    // The columns of the details list and of the exports.
    TColumnLayout Columns;
    const TMediaSettings& Media(int medium) const { return *FMedia[size_t(medium)]; }

    bool NoWindow() const { return FNoWindow; }
    QString HistoryFilePath() const { return FHistoryFilePath; }

    // The blank width of the main window's font, for lining up tree values.
    void SetSpaceWidth(int measured);
    int SpaceWidth() const { return FSpaceWidth; }
    int SpaceWidth12() const { return FSpaceWidth * 12; }

    // 0 means each volume's own cluster size; set by the options dialog.
    quint32 UserDefinedClusterSize = 0;

    // Number format of the file-manager folder-size column ("Shell Column").
    int ShellColumnDecimals = 1;
    int ShellColumnUnit = viewtypes::Mega;

    // Published options.
    int RefreshInterval = 10000;
    bool ChartShowFreeSpace = true;
    bool ChartShowGradient = true;
    bool ColorForCompressed = true;
    TKVPPatterns ExcludePatternList{QStringLiteral("ExcludePatterns"), false};
    bool GroupExtensions = true;
    bool GroupUsers = false;
    TKVPPatterns IncludePatternList{QStringLiteral("IncludePatterns")};
    bool ArchiveBitFilesOnly = false;
    QString DefaultExcelExportFileW;
    bool ShowExtendedNetworkPath = true;
    int CreatedPastDaysOnly = 0;
    bool DefaultValueAutomaticUpdates = true;
    bool UsePlainNumbers = false;
    int Decimals = 1;
    bool AlwaysCreateFilesItem = false;
    bool FollowReparsePoints = false;
    QString HTMLStyleSheet;
    bool RegardHardLinks = false;
    int NumberOfTopFiles = 100;
    bool ShowDrivesPanel = true;
    QStringList AdditionalDrivesForDriveList;
    QStringList DriveListExcludes;
    int MaximumThreads = 8;
    TStartupBehaviour StartupBehaviour = sbNothing;
    QStringList StartupPaths;
    bool ShowLongTooltips = true;
    bool ShowDateAndTime = false;
    bool DetermineIconsOnFileExt = true;
    bool BoldForPrinting = true;
    int BoldFactor = 15;
    TBoldFactorType BoldFactorType = bft_percent;
    TThreadPriority ThreadPriority = threadpriority::tpLower;
    TUnicodeEncoding CSVUnicodeEncoding = ueUTF8;
    bool ShowInidcatorBarsInTree = true;
    int IndicatorBarColor1 = 0xFFF0F0;
    int IndicatorBarColor2 = 0xFF8080;
    TViewType ViewType = viewtypes::vt_size;
    QStringList RecentlyScanned;
    uint MRUMaximum = 8;
    TSortType SortType = viewtypes::stSize;
    TUnitType SizeUnit = viewtypes::Mega;
    QString PrinterName;
    TPrintOrientation PrintOrientation = poPortrait;
    bool ShowErrors = false;
    bool ShowZeroInHistory = false;
    bool ShareHistroyFile = false;

signals:
    void ShowDrivesPanelChanged();
    void ShowLongTooltipsChanged();

private:
    QStringList GetExcludePatterns() const { return ExcludePatternList.Patterns(); }
    void SetExcludePatterns(const QStringList& list) { ExcludePatternList.SetPatternArray(list); }
    QStringList GetIncludePatterns() const { return IncludePatternList.Patterns(); }
    void SetIncludePatterns(const QStringList& list) { IncludePatternList.SetPatternArray(list); }
    void ComputeHistoryFilePath();

    std::array<TMediaSettings*, MediumCount> FMedia{};
    bool FNoWindow = false;
    int FSpaceWidth = 4;
    QString FHistoryFilePath;
};

// The one options object of the process; set up by the program entry.
TGlobalOptions& GlobalOptions();
bool HasGlobalOptions();
void SetGlobalOptions(TGlobalOptions* options);

// Whether the arguments hold NOGUI (with "/", "-" or "--", any case).
bool HasNoGuiSwitch(const QStringList& arguments);

} // namespace kelvane
