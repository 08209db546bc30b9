#pragma once
#include "ProgramRun.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

namespace kelvane {

class TGlobalOptions;
class TRoots;

// What a graphics-capable process adds to a run: the main window and the
// steps that need the graphics system. A core-only process gives nothing.
struct TWindowHooks {
    // Creates and shows the main window (which then reads the command line);
    // the window is closed with its "close" slot and freed before the roots.
    std::function<std::unique_ptr<QObject>(TGlobalOptions&, TProgramRun&, TRoots&)> ShowWindow;
    // The graphics steps of a windowless run.
    std::function<TRunActions()> Actions;
};

// The program once its application object exists: options, the run of the
// command line, the roots, the event loop and the exit status.
int RunProgram(const QStringList& arguments, const TWindowHooks& hooks);

} // namespace kelvane
