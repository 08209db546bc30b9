#pragma once
#include "ViewType.h"

#include <QString>
#include <cstdint>
#include <stdexcept>
#include <utility>

namespace kelvane {

// Programming errors (an unknown column or unit) raise this with a fixed text.
class EKelvaneError : public std::runtime_error {
public:
    explicit EKelvaneError(const QString& text)
        : std::runtime_error(text.toStdString())
    {
    }
};

enum TCompressionFlag : uint32_t { cfUncompressed = 1, cfCompressed = 2 };

// The seven counters of a folder, a files group, an extension, an owner or
// one file.
struct TSizeData {
    int64_t Size = 0;
    int64_t Allocated = 0;
    int64_t Wasted = 0;
    int32_t CDRom = 0; // 2048-byte sectors
    int32_t Files = 0;
    int32_t Folders = 0;
    uint32_t Compression = 0;

    void Clear() { *this = TSizeData(); }
    void Add(const TSizeData& other);
    // Compression is left as it is.
    void Subtract(const TSizeData& other);

    // The value of a column in the unit (byte values are converted; Mixed
    // picks the unit). reference is the parent's size for vt_percent.
    std::pair<double, TUnitType> GetValue(int viewType, TUnitType unit, int64_t reference = 0) const;
    QString GetText(int viewType, TUnitType unit, bool plain, int64_t reference = 0) const;
    // Only the sign counts: negative when this record sorts first.
    int Compare(const TSizeData& other, int viewType) const;

    bool operator==(const TSizeData&) const = default;
};

bool IsByteColumn(int viewType);
// The columns whose values come from the counters (sizes, counts, shares).
bool IsCounterColumn(int viewType);
QString UnitSuffix(TUnitType unit);
double ConvertToUnit(TUnitType unit, double bytes);
// Formats bytes in the unit with decimals (negative: the Decimals option).
QString KVPFormatSize(TUnitType unit, int decimals, double bytes);
// Bytes in the SizeUnit option's unit, without decimals.
QString FormatSizeAndUnit(int64_t bytes, TUnitType unit);
// "%1.*n": thousands separators of the locale and the given decimals.
QString FormatNumber(double value, int decimals);

} // namespace kelvane
