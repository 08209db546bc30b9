#pragma once
#include "SizeData.h"

namespace kelvane {

class TRoot;
struct TFindRecord;

// Turns one directory entry into counters: exclude and include patterns,
// the archive-bit and creation-age filters, cluster rounding, wasted space,
// CD sectors, compression bits and the hard-link share. Returns whether the
// entry was counted.
bool CountFile(TRoot& root, const TFindRecord& entry, TSizeData& target, bool countSeen);

} // namespace kelvane
