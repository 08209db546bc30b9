#pragma once
#include <QDateTime>
#include <QString>
#include <cstdint>

namespace kelvane {

// File times as the data model keeps them: UTC, 100 ns steps since 1601.
using TFileTime = uint64_t;

constexpr uint64_t FileTimeUnixEpoch = 116444736000000000ULL;

constexpr TFileTime FileTimeFromUnix(int64_t seconds, uint32_t nanoseconds)
{
    const int64_t ticks = seconds * 10000000LL + nanoseconds / 100;
    return ticks < -int64_t(FileTimeUnixEpoch) ? 0 : TFileTime(int64_t(FileTimeUnixEpoch) + ticks);
}

inline uint32_t FileTimeHigh(TFileTime t) { return uint32_t(t >> 32); }
inline uint32_t FileTimeLow(TFileTime t) { return uint32_t(t); }

QDateTime FileTimeToDateTime(TFileTime t); // UTC; invalid for 0
TFileTime DateTimeToFileTime(const QDateTime& t);

// Days since 30 December 1899, with the time as fraction (local time).
double FileTimeToDate(TFileTime t);

// The local date in the short format, and the short time after one blank
// when withTime; empty when the upper half is 0 or the time cannot be shown.
QString FormatFileTime(TFileTime t, bool withTime);

} // namespace kelvane
