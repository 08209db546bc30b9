#include "ProgramMain.h"

#include "EventLog.h"
#include "GlobalOptions.h"
#include "scan/Roots.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

namespace kelvane {

int RunProgram(const QStringList& arguments, const TWindowHooks& hooks)
{
    TGlobalOptions options(arguments);
    SetGlobalOptions(&options);
    for (const QString& error : options.TakeLoadErrors())
        WriteEventLog(EEventType::Warning, error);

    if (HasSearchSwitch(arguments)) {
        WriteEventLog(EEventType::Error, QStringLiteral("The file search window is not available in this version"));
        return 2;
    }

    TRoots roots;
    TProgramRun run(options, arguments, &roots);
    // A windowless run works on the same roots and exports without a window.
    std::unique_ptr<QObject> window;
    if (!run.NoWindow() && hooks.ShowWindow)
        window = hooks.ShowWindow(options, run, roots);
    QObject::connect(&run, &TProgramRun::QuitRequested, QCoreApplication::instance(), [&window] {
        if (window)
            QMetaObject::invokeMethod(window.get(), "close");
        QCoreApplication::quit();
    });
    if (!window)
        run.Execute(hooks.Actions ? hooks.Actions() : TRunActions{});
    const int status = QCoreApplication::exec();
    const int exitStatus = std::max(status, run.ExitStatus());
    if (!window) {
        // A windowless run has written everything it writes and saves no
        // settings: freeing a tree of millions of nodes one by one would only
        // delay the end.
        std::fflush(nullptr);
        std::_Exit(exitStatus);
    }
    window.reset();
    roots.Closing = true;
    roots.Clear();
    SetMessageSink({});
    SetGlobalOptions(nullptr);
    return exitStatus;
}

} // namespace kelvane
