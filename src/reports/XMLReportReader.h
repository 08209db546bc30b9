#pragma once
#include "XMLReportWriter.h"

#include <QString>

namespace kelvane {

class TRoot;
class TRoots;

// Reads a report into a new root of the collection, in one streaming pass.
// A malformed, truncated or hostile file (document types and entities are
// refused, nesting is limited) gives the reason in error and leaves the
// collection as it was. Returns the root, or null.
TRoot* LoadXMLReport(TRoots& roots, const QString& fileName, QString* error, const TReportProgress& progress = {});

// The same for report text already in memory (tests, fuzzing).
TRoot* LoadXMLReportData(TRoots& roots, const QByteArray& data, QString* error, const TReportProgress& progress = {});

} // namespace kelvane
