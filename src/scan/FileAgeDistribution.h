#pragma once
#include "lib/platform/FileTime.h"

#include <QString>
#include <array>
#include <cstdint>

namespace kelvane {

// Files and allocated bytes by age of their last change, in seven classes:
// up to 1 day, 1 week, 1 month, 6 months, 1 year, 2 years, and older.
class TFileAgeDistribution {
public:
    static constexpr int ClassCount = 7;
    static constexpr std::array<int32_t, ClassCount> Limits = {1, 7, 31, 182, 365, 730, 2147483647};
    static QString ClassCaption(int index);
    // The class of an age in days; a time in the future is the first class.
    static int ClassOf(double ageInDays);

    void Clear() { *this = TFileAgeDistribution(); }
    // now: the time the ages are measured from (the scan's start).
    void AddFile(int64_t bytes, TFileTime lastWrite, TFileTime now);
    void AddAll(const TFileAgeDistribution& other);
    void SubtractAll(const TFileAgeDistribution& other);
    bool IsEmpty() const;

    std::array<int32_t, ClassCount> Counts{};
    std::array<int64_t, ClassCount> Sizes{};

    bool operator==(const TFileAgeDistribution&) const = default;
};

} // namespace kelvane
