#include "ProgramRun.h"

#include "EventLog.h"
#include "GlobalOptions.h"
#include "PublishedProperties.h"
#include "lib/ListSeparator.h"
#include "reports/AggregateList.h"
#include "reports/FileList.h"
#include "reports/HtmlExport.h"
#include "reports/TextExport.h"
#include "reports/XMLReportComparer.h"
#include "reports/XMLReportReader.h"
#include "reports/XMLReportWriter.h"
#include "scan/Roots.h"
#include "scan/ScanHistory.h"
#include "scan/TreeOrder.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

namespace kelvane {

TProgramRun::TProgramRun(TGlobalOptions& options, const QStringList& arguments, TRoots* roots, QObject* parent)
    : QObject(parent)
    , FOptions(options)
    , FRoots(roots)
{
    TCommandLineContext context;
    context.PathExists = [](const QString& p) {
        const QFileInfo info(p);
        return info.exists() || info.isSymLink();
    };
    context.IsOption = [&options](const QString& name) { return FindProperty(&options, name).has_value(); };
    context.IsBooleanOption = [&options](const QString& name) {
        const auto target = FindProperty(&options, name);
        return target && PropertyKind(target->Property) == EPropertyKind::Bool;
    };
    FRun = InterpretCommandLine(arguments, context);
    FRun.NoWindow = FRun.NoWindow || options.NoWindow();
    if (FRoots) {
        // Failures of roots must be seen in windowless and unattended runs.
        FRoots->ForceRootErrors = FRun.NoWindow || FRun.Unattended;
        connect(FRoots, &TRoots::ScanEnded, this, &TProgramRun::RootScanEnded);
        connect(FRoots, &TRoots::RootFailed, this, [this] { RaiseStatus(1); });
    }
}

bool TProgramRun::CompareNow(TRoot& root, const QString& file)
{
    // Questions take the safe default without a window: compare anyway.
    if (const QString error = CompareWithXMLReport(root, file); !error.isEmpty()) {
        Fail(QStringLiteral("Path \"%1\": %2").arg(file, error));
        return false;
    }
    return true;
}

bool TProgramRun::OpenReport(const QString& file)
{
    QString error;
    TRoot* root = LoadXMLReport(*FRoots, file, &error);
    if (!root) {
        Fail(QStringLiteral("Path \"%1\": %2").arg(file, error));
        return false;
    }
    SortBranch(root->RootFolder.get(), FOptions.SortType, FOptions.ViewType);
    if (FRun.ExpandLevel > 0)
        root->RootFolder->ExpandToLevel(FRun.ExpandLevel, FRun.ExpandThreshold);
    return true;
}

bool TProgramRun::ScanPath(const QString& path, const TPostProcessInformation* postProcessing, const QString& title)
{
    if (!postProcessing)
        return !FRoots->ScanPath(path, nullptr, title).empty();
    // Outputs are named in the order of the command line, not in the order
    // the scans happen to end.
    TPostProcessInformation named = *postProcessing;
    for (QString* file : {&named.ExcelFile, &named.HtmlFile, &named.TextFile, &named.ChartFile, &named.XmlFile,
                          &named.ExtensionsFile, &named.UsersFile})
        if (!file->isEmpty())
            *file = OutputName(*file);
    return !FRoots->ScanPath(path, &named, title).empty();
}

void TProgramRun::RootScanEnded(TRoot* root)
{
    if (root->Aborted)
        return; // a stopped scan exports nothing
    SortBranch(root->RootFolder.get(), FOptions.SortType, FOptions.ViewType);
    if (FRun.Unattended || FRun.NoWindow || FRun.ExpandLevel > 1 || !root->RootFolder->IsExpanded()) {
        root->RootFolder->ExpandToLevel(FRun.ExpandLevel, FRun.ExpandThreshold);
        for (int medium = 1; medium < MediumCount; ++medium)
            FOptions.Media(medium).ExportFullBranch = false;
    }
    if (BelongsInHistory(*root))
        if (const QString error = AppendHistoryEntry(*root, FOptions.HistoryFilePath()); !error.isEmpty())
            ShowMessage(EEventType::Warning, error);
    const uint16_t flags = root->PostProcessing ? root->PostProcessing->Flags : 0;
    if (flags)
        RunPostProcessing(*root);
    ScanEnded(flags);
}

QString TProgramRun::OutputName(const QString& name)
{
    const int n = ++FOutputNames[name];
    if (n == 1)
        return name;
    const int slash = int(name.lastIndexOf(QLatin1Char('/')));
    const int dot = int(name.lastIndexOf(QLatin1Char('.')));
    const int split = dot > slash + 1 ? dot : int(name.size());
    return name.left(split) + QStringLiteral("_%1").arg(n) + name.mid(split);
}

void TProgramRun::Report(const QString& error)
{
    if (!error.isEmpty())
        Fail(error);
}

void TProgramRun::RunPostProcessing(TRoot& root)
{
    const TPostProcessInformation& p = *root.PostProcessing;
    TFolderData& top = *root.RootFolder;
    auto skipped = [this, &root](uint16_t flag, const char* what) {
        if (root.PostProcessing->Flags & flag)
            Fail(QStringLiteral("%1 of \"%2\" was skipped: it is not available in this version").arg(QString::fromLatin1(what), root.Path));
    };
    if (p.Flags & TPostProcessInformation::ppCompare)
        CompareNow(root, p.CompareFile);
    skipped(TPostProcessInformation::ppExcel, "The spreadsheet export");
    if (p.Flags & TPostProcessInformation::ppText)
        Report(ExportTextFile(top, p.TextFile));
    if (p.Flags & TPostProcessInformation::ppHtml)
        Report(ExportHTMLFile(top, p.HtmlFile, p.ChartFile));
    if (p.Flags & TPostProcessInformation::ppXml) {
        const QString& file = p.XmlFile;
        if (const QString error = SaveXMLReport(root, file); !error.isEmpty())
            Fail(QStringLiteral("An error occured while writing to the file: %1\r\nError: %2").arg(file, error));
    }
    if ((p.Flags & TPostProcessInformation::ppChart) && FActions.SaveChart)
        Report(FActions.SaveChart(root, p.ChartFile));
    else
        skipped(TPostProcessInformation::ppChart, "The chart image");
    if (p.Flags & TPostProcessInformation::ppExtensionsList)
        Report(SaveAggregateList(ExtensionList(top), p.ExtensionsFile));
    if (p.Flags & TPostProcessInformation::ppUsersList)
        Report(SaveAggregateList(OwnerList(top), p.UsersFile));
    skipped(TPostProcessInformation::ppPrint, "Printing");
    if (!p.MailTo.isEmpty())
        skipped(TPostProcessInformation::ppEmail, "Sending e-mail");
    if ((p.Flags & TPostProcessInformation::ppFileList) && !(FRoots && FRoots->IsAnyScanning()))
        CopyFileLists();
}

void TProgramRun::CopyFileLists()
{
    if (!FRoots)
        return;
    QString text;
    const auto& roots = FRoots->Items();
    for (auto it = roots.rbegin(); it != roots.rend(); ++it) {
        TRoot& root = **it;
        text += BuildFileList(*root.RootFolder, root.ExtensionFilter, root.UserFilter);
    }
    if (FActions.SetClipboardText)
        FActions.SetClipboardText(text);
    // The clipboard of a windowless run ends with the process.
    if (FRun.NoWindow) {
        const QByteArray bytes = text.toLocal8Bit();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
        std::fflush(stdout);
    }
}

void TProgramRun::Execute(const TRunActions& actions)
{
    FActions = actions;
    for (const QString& error : FRun.Errors)
        ShowMessage(EEventType::Error, QStringLiteral("Error: ") + error);
    if (!FRun.Errors.isEmpty())
        RaiseStatus(2);
    if (FRun.SearchWindow || FRun.SetAdminFlag) {
        CheckQuit(false, 0);
        return;
    }
    if (!FRun.ListSeparator.isNull())
        SetListSeparator(FRun.ListSeparator);
    for (const QString& folder : FRun.FoldersToCreate)
        if (!QDir().mkpath(folder))
            Fail(QStringLiteral("Path \"%1\": Unable to create directory").arg(folder));

    for (const TCommandStep& step : FRun.Steps) {
        switch (step.Kind) {
        case TCommandStep::SetOption:
            if (const QString error = FOptions.SetOptionByName(step.Name, step.Value); !error.isEmpty()) {
                ShowMessage(EEventType::Error, QStringLiteral("Error: ") + error);
                RaiseStatus(2);
            }
            break;
        case TCommandStep::SetIncludePatterns:
            FOptions.SetIncludePatternsForRun(step.Value);
            break;
        case TCommandStep::SetExcludePatterns:
            FOptions.SetExcludePatternsForRun(step.Value);
            break;
        default:
            if (!Invoke(step))
                RaiseStatus(1);
        }
    }
    // Without paths, the start-up paths (last entry first), without outputs.
    if (FRoots && FRun.NoPathsGiven && !FRun.ContextFlag
        && (FOptions.StartupBehaviour == TGlobalOptions::sbLastPaths || FOptions.StartupBehaviour == TGlobalOptions::sbSpecifiedPaths))
        for (auto it = FOptions.StartupPaths.crbegin(); it != FOptions.StartupPaths.crend(); ++it)
            ScanPath(*it, nullptr, QString());
    if (FRun.ShowErrorsOff || FRun.NoWindow || FRun.Unattended) {
        FOptions.RememberRunOnlyValue(QStringLiteral("ShowErrors"), FOptions.ShowErrors);
        FOptions.ShowErrors = false;
    }
    CheckQuit(false, 0);
}

bool TProgramRun::Invoke(const TCommandStep& step)
{
    auto missing = [this](const QString& what) {
        Fail(QStringLiteral("%1 is not available in this version").arg(what));
        return false;
    };
    switch (step.Kind) {
    case TCommandStep::ScanPath:
        if (FActions.ScanPath)
            return FActions.ScanPath(step);
        return FRoots ? ScanPath(step.Path, &step.PostProcessing, step.Title) : missing(QStringLiteral("Scanning"));
    case TCommandStep::OpenReport:
        if (FActions.OpenReport)
            return FActions.OpenReport(step.Path);
        return FRoots ? OpenReport(step.Path) : missing(QStringLiteral("Opening reports"));
    case TCommandStep::CompareNow:
        if (FActions.CompareNow)
            return FActions.CompareNow(step.Path);
        if (FRoots && !FRoots->Items().empty())
            return CompareNow(*FRoots->Items().front(), step.Path);
        return missing(QStringLiteral("Comparing reports"));
    case TCommandStep::ExportNow:
        if (FActions.ExportNow)
            return FActions.ExportNow(step.PostProcessing);
        if (FRoots && !FRoots->Items().empty()) {
            // Outputs after /OPEN act at once on the first root.
            TRoot& first = *FRoots->Items().front();
            std::optional<TPostProcessInformation> saved = std::exchange(first.PostProcessing, step.PostProcessing);
            const int before = FExitStatus;
            RunPostProcessing(first);
            first.PostProcessing = saved;
            return FExitStatus == before;
        }
        return missing(QStringLiteral("Exporting"));
    case TCommandStep::ChartForm:
        if (FActions.ChartForm)
            FActions.ChartForm(step.Value);
        return true;
    case TCommandStep::ClearClipboard:
        if (FActions.ClearClipboard)
            FActions.ClearClipboard();
        return true;
    default:
        return true;
    }
}

void TProgramRun::ScanEnded(uint16_t rootFlags)
{
    CheckQuit(true, rootFlags);
}

void TProgramRun::CheckQuit(bool afterScan, uint16_t rootFlags)
{
    const bool scanning = FActions.AnyRootScanning ? FActions.AnyRootScanning() : (FRoots && FRoots->IsAnyScanning());
    const bool present = FActions.AnyRootPresent ? FActions.AnyRootPresent() : (FRoots && !FRoots->Items().empty());
    const bool quit = afterScan ? QuitAfterScan(FRun, rootFlags, scanning) : QuitAfterArguments(FRun, scanning, present);
    if (quit && !FQuitSent) {
        FQuitSent = true;
        QTimer::singleShot(0, this, &TProgramRun::QuitRequested);
    }
}

void TProgramRun::Fail(const QString& message)
{
    ShowMessage(EEventType::Error, message);
    RaiseStatus(1);
}

} // namespace kelvane
