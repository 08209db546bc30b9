#pragma once
#include "XMLReportWriter.h"

#include <QString>

namespace kelvane {

class TFolderData;

// The branch of a folder as a text table: tab separated, or with the list
// separator when the file name ends in ".csv" (any case). The file is
// written in UTF-8 and replaces the target only when complete (with append,
// the text goes to the end of an existing file). Returns an empty text or
// the error: "An error occured while opening the file: ..." or "... while
// writing to the file: ...".
QString ExportTextFile(TFolderData& folder, const QString& fileName, bool append = false, const TReportProgress& progress = {});
// The same text, tab separated, for the clipboard and for e-mail.
QString ExportTextToString(TFolderData& folder, const TReportProgress& progress = {});

} // namespace kelvane
