#pragma once
#include "scan/ScanHistory.h"

#include <QString>
#include <memory>

namespace kelvane {

// The entries of the history file for one path: entries of other paths, and
// entries taken with other exclude patterns (compared one by one, ignoring
// case), are left out. Null when the file holds none; error is set when it
// cannot be read.
std::unique_ptr<THistoryDataCollection> ReadHistory(const QString& historyFile, const QString& path,
                                                    const QStringList& excludePatterns, QString* error = nullptr);
std::unique_ptr<THistoryDataCollection> ReadHistoryData(const QByteArray& data, const QString& path,
                                                        const QStringList& excludePatterns, QString* error = nullptr);

// The root's history, read on first use.
const THistoryDataCollection* GetHistory(TRoot& root);

} // namespace kelvane
