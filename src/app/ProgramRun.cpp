#include "ProgramRun.h"

#include "EventLog.h"
#include "GlobalOptions.h"
#include "PublishedProperties.h"
#include "lib/ListSeparator.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace kelvane {

TProgramRun::TProgramRun(TGlobalOptions& options, const QStringList& arguments, QObject* parent)
    : QObject(parent)
    , FOptions(options)
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
        return FActions.ScanPath ? FActions.ScanPath(step) : missing(QStringLiteral("Scanning"));
    case TCommandStep::OpenReport:
        return FActions.OpenReport ? FActions.OpenReport(step.Path) : missing(QStringLiteral("Opening reports"));
    case TCommandStep::CompareNow:
        return FActions.CompareNow ? FActions.CompareNow(step.Path) : missing(QStringLiteral("Comparing reports"));
    case TCommandStep::ExportNow:
        return FActions.ExportNow ? FActions.ExportNow(step.PostProcessing) : missing(QStringLiteral("Exporting"));
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
    const bool scanning = FActions.AnyRootScanning && FActions.AnyRootScanning();
    const bool present = FActions.AnyRootPresent && FActions.AnyRootPresent();
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
