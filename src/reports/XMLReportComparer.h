#pragma once
#include "XMLReportWriter.h"

#include <QString>
#include <functional>

namespace kelvane {

class TRoot;

// Asked when a report does not fit the root (another path, a folder outside
// the root); true goes on. Windowless runs answer yes: compare anyway.
using TCompareQuestion = std::function<bool(const QString& question)>;

// Subtracts a report from a root: afterwards every folder that is in the
// report holds current minus report, for every counter and every statistic
// at every level; folders only in the report appear with negative values.
// Returns an empty text or the reason the comparison stopped.
QString CompareWithXMLReport(TRoot& root, const QString& fileName, const TCompareQuestion& ask = {},
                             const TReportProgress& progress = {});
QString CompareWithXMLReportData(TRoot& root, const QByteArray& data, const TCompareQuestion& ask = {},
                                 const TReportProgress& progress = {});

} // namespace kelvane
