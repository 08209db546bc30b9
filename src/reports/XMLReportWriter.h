#pragma once
#include <QString>
#include <functional>

namespace kelvane {

class TRoot;

// Called after each folder written; returning false cancels the report
// (the partly written file is dropped, an earlier file stays).
using TReportProgress = std::function<bool(int done, int total)>;

// Writes the XML report of a root. Returns an empty text, or the reason
// the report could not be written.
QString SaveXMLReport(TRoot& root, const QString& fileName, const TReportProgress& progress = {});

} // namespace kelvane
