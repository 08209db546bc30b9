#pragma once
#include <QString>

#include "SizeData.h"

#include <QStringList>
#include <vector>

namespace kelvane {

class TRoot;

// One earlier scan of a root, as the history file keeps it.
struct THistoryData {
    double Date = 0; // days since 30 December 1899
    TSizeData SizeData;
    int64_t Freespace = 0;
    QStringList Patterns; // the exclude patterns of that scan

    // The entry's value for vt_size and vt_alloc in the unit; -1 otherwise.
    double GetValue(int viewType, TUnitType unit) const;
};

// The entries of one root, oldest first.
using THistoryDataCollection = std::vector<THistoryData>;

// Whether a scan goes into the history: it ended without being stopped,
// counted files and ran without an include filter.
bool BelongsInHistory(TRoot& root);

// Appends one entry for the root to the history file. Several programs may
// do so at once: the file is read, changed and replaced under a lock file.
// Returns an empty text or the reason nothing was written.
QString AppendHistoryEntry(TRoot& root, const QString& historyFile);

} // namespace kelvane
