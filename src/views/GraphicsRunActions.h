#pragma once
#include "app/ProgramRun.h"

#include <QSize>

namespace kelvane {

class TFolderData;
class TRoot;

// The run's steps that need the graphics system (a QGuiApplication, which
// runs with such steps start, also without a display): the clipboard, and
// chart images in the chart form the command line chose.
TRunActions GraphicsRunActions();

// The main chart of a root's top folder saved as an image (size and format
// as for the chart page's "Save Chart"). Returns an empty text or the error.
QString SaveRootChart(TRoot& root, const QString& fileName, bool pie, QSize shown = {});

// The branch of a folder as tab-separated text on the clipboard (the text
// export's columns). Returns an empty text or "Error while accessing
// clipboard: ...".
QString CopyBranchToClipboard(TFolderData& folder);

} // namespace kelvane
