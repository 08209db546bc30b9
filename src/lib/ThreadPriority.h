#pragma once
#include <QObject>

namespace kelvane::threadpriority {
Q_NAMESPACE

// Priorities of worker threads; on Linux each maps to a per-thread nice value.
enum TThreadPriority { tpIdle = 0, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };
Q_ENUM_NS(TThreadPriority)

} // namespace kelvane::threadpriority

namespace kelvane {
using threadpriority::TThreadPriority;
}
