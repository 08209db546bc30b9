#pragma once
#include "app/ProgramRun.h"

namespace kelvane {

// The run's clipboard steps on the system clipboard; needs the graphics
// system (a QGuiApplication), which runs that use the clipboard start.
TRunActions ClipboardActions();

class TFolderData;

// The branch of a folder as tab-separated text on the clipboard (the text
// export's columns). Returns an empty text or "Error while accessing
// clipboard: ...".
QString CopyBranchToClipboard(TFolderData& folder);

} // namespace kelvane
