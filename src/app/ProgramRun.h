#pragma once
#include "CommandLine.h"

#include <QHash>
#include <QObject>
#include <functional>

namespace kelvane {

class TGlobalOptions;
class TRoots;
class TRoot;

// What the rest of the program does for the steps of a command line. A
// missing action means the feature is not part of this build: the step is
// reported and the run fails.
struct TRunActions {
    std::function<bool(const TCommandStep&)> ScanPath; // true when a root was made
    std::function<bool(const QString&)> OpenReport;
    std::function<bool(const QString&)> CompareNow;
    std::function<bool(const TPostProcessInformation&)> ExportNow;
    std::function<void(const QString&)> ChartForm;
    std::function<void()> ClearClipboard;
    std::function<void(const QString&)> SetClipboardText;
    // Returns an empty text or the error.
    std::function<QString(TRoot&, const QString&)> SaveChart;
    std::function<bool()> AnyRootScanning;
    std::function<bool()> AnyRootPresent;
};

// One run of the program as its command line describes it: carries out the
// steps, keeps the exit status and decides when the program ends.
class TProgramRun : public QObject {
    Q_OBJECT
public:
    // With roots, paths are scanned there and each root's end of scan runs
    // the requested outputs and the quit decision.
    TProgramRun(TGlobalOptions& options, const QStringList& arguments, TRoots* roots = nullptr, QObject* parent = nullptr);

    const TCommandLineRun& Run() const { return FRun; }
    bool Unattended() const { return FRun.Unattended; }
    bool NoWindow() const { return FRun.NoWindow; }
    // Nothing is saved at exit after an unattended run.
    bool SavesSettings() const { return !FRun.Unattended && !FRun.NoWindow; }

    void Execute(const TRunActions& actions);
    // A root's scan has ended; rootFlags are its post-processing flags.
    void ScanEnded(uint16_t rootFlags);

    // Reports a failed root or output; the run goes on and ends with status 1.
    void Fail(const QString& message);
    int ExitStatus() const { return FExitStatus; }

signals:
    void QuitRequested();

private:
    void RaiseStatus(int status) { FExitStatus = std::max(FExitStatus, status); }
    bool Invoke(const TCommandStep& step);
    bool OpenReport(const QString& file);
    bool CompareNow(TRoot& root, const QString& file);
    bool ScanPath(const QString& path, const TPostProcessInformation* postProcessing, const QString& title);
    void RootScanEnded(TRoot* root);
    void RunPostProcessing(TRoot& root);
    void Report(const QString& error);
    // The file lists of all roots, last root first, on the clipboard (and on
    // standard output without a window).
    void CopyFileLists();
    // The file name for one more output of the run: later roots writing to
    // the same name get "_2", "_3" ... before the extension.
    QString OutputName(const QString& name);
    void CheckQuit(bool afterScan, uint16_t rootFlags);

    TGlobalOptions& FOptions;
    TRoots* FRoots;
    TCommandLineRun FRun;
    TRunActions FActions;
    int FExitStatus = 0;
    QHash<QString, int> FOutputNames;
    bool FQuitSent = false;
};

} // namespace kelvane
