#pragma once
#include <QString>

namespace kelvane {

class TRoot;

// Whether a scan goes into the history: it ended without being stopped,
// counted files and ran without an include filter.
bool BelongsInHistory(TRoot& root);

// Appends one entry for the root to the history file. Several programs may
// do so at once: the file is read, changed and replaced under a lock file.
// Returns an empty text or the reason nothing was written.
QString AppendHistoryEntry(TRoot& root, const QString& historyFile);

} // namespace kelvane
