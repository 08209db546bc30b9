#pragma once
#include "FileTime.h"

#include <QString>

namespace kelvane {

// Author and last-saved time of office documents: the summary information of
// OLE2 files (older office formats), docProps/core.xml of OOXML files and
// meta.xml of OpenDocument files. Empty and 0 for anything else.
struct TDocumentProperties {
    QString Author;
    TFileTime LastSaved = 0;
};

TDocumentProperties ReadDocumentProperties(const QString& path);
QString GetDocumentAuthor(const QString& path);
TFileTime GetDocumentLastSaved(const QString& path);

} // namespace kelvane
