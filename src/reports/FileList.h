#pragma once
#include "XMLReportWriter.h"

#include <QString>

namespace kelvane {

class TFolderData;

// The files below a folder, read again from the disk: one line per file
// with its name and folder (or its full path, when the text export shows
// that column), size, dates and, when the text export shows them, owner and
// permissions. Files pass the root's scan filters and the given owner and
// extension filters ("." for files without extension). Each folder's files
// come before its subfolders; links and mount points are entered only when
// links are followed.
QString BuildFileList(const TFolderData& folder, const QString& extensionFilter, const QString& ownerFilter,
                      const TReportProgress& progress = {});

} // namespace kelvane
