#include "FileAgeDistribution.h"

namespace kelvane {

QString TFileAgeDistribution::ClassCaption(int index)
{
    static const char* const captions[ClassCount] = {"1 Day", "1 Week", "1 Month", "6 Months", "1 Year", "2 Years", ">2 Years"};
    return index >= 0 && index < ClassCount ? QString::fromLatin1(captions[index]) : QString();
}

int TFileAgeDistribution::ClassOf(double ageInDays)
{
    for (int i = 0; i < ClassCount; ++i)
        if (ageInDays <= Limits[size_t(i)])
            return i;
    return ClassCount - 1;
}

void TFileAgeDistribution::AddFile(int64_t bytes, TFileTime lastWrite, TFileTime now)
{
    // A time that cannot be read counts as 1000 days old.
    const double age = lastWrite == 0 ? 1000.0 : (double(int64_t(now - lastWrite))) / 864e9;
    const size_t c = size_t(ClassOf(age));
    Counts[c] += 1;
    Sizes[c] += bytes;
}

void TFileAgeDistribution::AddAll(const TFileAgeDistribution& other)
{
    for (size_t i = 0; i < ClassCount; ++i) {
        Counts[i] += other.Counts[i];
        Sizes[i] += other.Sizes[i];
    }
}

void TFileAgeDistribution::SubtractAll(const TFileAgeDistribution& other)
{
    for (size_t i = 0; i < ClassCount; ++i) {
        Counts[i] -= other.Counts[i];
        Sizes[i] -= other.Sizes[i];
    }
}

bool TFileAgeDistribution::IsEmpty() const
{
    for (size_t i = 0; i < ClassCount; ++i)
        if (Counts[i] != 0 || Sizes[i] != 0)
            return false;
    return true;
}

} // namespace kelvane
