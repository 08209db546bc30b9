#pragma once
#include "app/ProgramRun.h"

namespace kelvane {

// The run's clipboard steps on the system clipboard; needs the graphics
// system (a QGuiApplication), which runs that use the clipboard start.
TRunActions ClipboardActions();

} // namespace kelvane
