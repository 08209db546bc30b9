#pragma once
#include "scan/PostProcessInformation.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace kelvane {

// One thing the command line asks for, in the order it was given.
struct TCommandStep {
    enum EKind {
        ScanPath,         // Path, with the post-processing record and title in force
        SetOption,        // Name = Value for this run
        SetIncludePatterns, // Value
        SetExcludePatterns, // Value
        OpenReport,       // Path: load an XML report as a root
        CompareNow,       // Path: compare the first root with a report at once
        ExportNow,        // PostProcessing (one flag): export the loaded report at once
        ChartForm,        // Value "pie" or "bar"
        ClearClipboard,
    };
    EKind Kind = ScanPath;
    QString Path;
    QString Name;
    QString Value;
    QString Title;
    TPostProcessInformation PostProcessing;

    bool operator==(const TCommandStep&) const = default;
};

// What the program does with its arguments: the steps and the run's flags.
struct TCommandLineRun {
    QList<TCommandStep> Steps;
    QStringList Errors;             // command-line errors: exit status 2
    QStringList FoldersToCreate;    // folders of output files, created before writing
    bool Unattended = false;        // an output was asked for: nothing is saved at exit
    bool NoWindow = false;
    bool Restricted = false;
    bool ContextFlag = false;       // /CONTEXT without a usable path
    bool NoPathsGiven = true;
    bool ReportLoaded = false;
    bool ShowErrorsOff = false;
    bool SearchWindow = false;      // a search switch: the file-search window instead
    bool SetAdminFlag = false;      // /SETADMINFLAG: end at once
    bool QuitRequested = false;     // e.g. /XML after /OPEN
    bool ShowHelp = false;
    bool ShowVersion = false;
    int ExpandLevel = 1;
    int ExpandThreshold = 0;        // MB, with level 99
    QChar ListSeparator;            // null: the locale's
    QString Title;
};

// What the interpreter may ask of the world; plain functions so that tests
// can give fixed answers.
struct TCommandLineContext {
    std::function<QDateTime()> Now = [] { return QDateTime::currentDateTime(); };
    std::function<bool(const QString&)> PathExists;
    // Whether the name (without "/") is a published option, and whether it is boolean.
    std::function<bool(const QString&)> IsOption;
    std::function<bool(const QString&)> IsBooleanOption;
};

// Reads the arguments (without the program name) from first to last.
TCommandLineRun InterpretCommandLine(const QStringList& arguments, const TCommandLineContext& context);

// Stamps an output name with the date and time: style A "_yy-mm-dd_hhnn",
// style B "_yymmdd-hhnn", before the extension.
enum class EStampStyle { A, B };
QString StampFileName(const QString& name, EStampStyle style, const QDateTime& now);

// Whether the program ends once the arguments are processed, and after a
// root's scan has ended.
bool QuitAfterArguments(const TCommandLineRun& run, bool anyRootScanning, bool anyRootPresent);
bool QuitAfterScan(const TCommandLineRun& run, uint16_t rootFlags, bool anyRootScanning);

// Whether any argument asks for the file-search window.
bool HasSearchSwitch(const QStringList& arguments);

QString CommandLineHelp();

} // namespace kelvane
