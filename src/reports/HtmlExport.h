#pragma once
#include "XMLReportWriter.h"

#include <QString>

namespace kelvane {

class TFolderData;

// The branch of a folder as an HTML page in UTF-8, with the chart image
// imageName when one is given. Every text from the tree is escaped. Returns
// an empty text or the error.
QString ExportHTMLFile(TFolderData& folder, const QString& fileName, const QString& imageName = {},
                       const TReportProgress& progress = {});

} // namespace kelvane
