#include "SizeData.h"

#include "app/GlobalOptions.h"

#include <QDateTime>
#include <QLocale>
#include <cmath>

namespace kelvane {

using namespace viewtypes;

namespace {

int OptionDecimals()
{
    return HasGlobalOptions() ? GlobalOptions().Decimals : 1;
}

double CurrentDate()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0));
    return double(epoch.msecsTo(now)) / 86400000.0;
}

std::pair<double, TUnitType> InUnit(double bytes, TUnitType unit)
{
    if (unit == Mixed) {
        double v = bytes / 1024.0;
        int u = Kilo;
        while (v > 1024.0 && u < Tera) {
            v /= 1024.0;
            ++u;
        }
        return {v, TUnitType(u)};
    }
    return {ConvertToUnit(unit, bytes), unit};
}

} // namespace

void TSizeData::Add(const TSizeData& o)
{
    Size += o.Size;
    Allocated += o.Allocated;
    Wasted += o.Wasted;
    CDRom += o.CDRom;
    Files += o.Files;
    Folders += o.Folders;
    Compression |= o.Compression;
}

void TSizeData::Subtract(const TSizeData& o)
{
    Size -= o.Size;
    Allocated -= o.Allocated;
    Wasted -= o.Wasted;
    CDRom -= o.CDRom;
    Files -= o.Files;
    Folders -= o.Folders;
}

bool IsCounterColumn(int viewType)
{
    switch (viewType) {
    case vt_size:
    case vt_alloc:
    case vt_percent:
    case vt_wasted:
    case vt_CDSize:
    case vt_files:
    case vt_Folders:
    case vt_CompressionRate:
    case vt_average_file_size:
        return true;
    default:
        return false;
    }
}

bool IsByteColumn(int viewType)
{
    return viewType == vt_size || viewType == vt_alloc || viewType == vt_wasted || viewType == vt_CDSize
        || viewType == vt_average_file_size;
}

QString UnitSuffix(TUnitType unit)
{
    switch (unit) {
    case Byte:
        return QStringLiteral(" Bytes");
    case Kilo:
        return QStringLiteral(" KB");
    case Mega:
    case Mixed:
        return QStringLiteral(" MB");
    case Giga:
        return QStringLiteral(" GB");
    case Tera:
        return QStringLiteral(" TB");
    default:
        return {};
    }
}

double ConvertToUnit(TUnitType unit, double bytes)
{
    switch (unit) {
    case Byte:
        return bytes;
    case Kilo:
        return bytes / 1024.0;
    case Mega:
    case Mixed:
        return bytes / (1024.0 * 1024.0);
    case Giga:
        return bytes / (1024.0 * 1024.0 * 1024.0);
    case Tera:
        return bytes / (1024.0 * 1024.0 * 1024.0 * 1024.0);
    default:
        throw EKelvaneError(QStringLiteral("KVPFormatSize: Unknown size value: %1").arg(int(unit)));
    }
}

QString FormatNumber(double value, int decimals)
{
    return QLocale().toString(value, 'f', qMax(0, decimals));
}

QString KVPFormatSize(TUnitType unit, int decimals, double bytes)
{
    if (decimals < 0)
        decimals = OptionDecimals();
    if (unit == None)
        ConvertToUnit(unit, bytes); // raises
    const auto [value, used] = InUnit(bytes, unit);
    return FormatNumber(value, decimals) + UnitSuffix(used);
}

QString FormatSizeAndUnit(int64_t bytes, TUnitType unit)
{
    if (unit == Mixed)
        unit = bytes > 107374182400LL ? Giga : Mega;
    switch (unit) {
    case Byte:
        return QLocale().toString(qlonglong(bytes)) + UnitSuffix(Byte);
    case Kilo:
    case Mega:
    case Giga:
    case Tera:
        return FormatNumber(ConvertToUnit(unit, double(bytes)), 0) + UnitSuffix(unit);
    default:
        throw EKelvaneError(QStringLiteral("Unknown unit type (%1) supplied to FormatSizeAndUnit().").arg(int(unit)));
    }
}

std::pair<double, TUnitType> TSizeData::GetValue(int viewType, TUnitType unit, int64_t reference) const
{
    double value = 0;
    switch (viewType) {
    case vt_size:
        value = double(Size);
        break;
    case vt_alloc:
        value = double(Allocated);
        break;
    case vt_wasted:
        value = double(Wasted);
        break;
    case vt_CDSize:
        value = double(int64_t(CDRom) * 2048);
        break;
    case vt_files:
        return {double(Files), unit};
    case vt_Folders:
        return {double(Folders), unit};
    case vt_average_file_size:
        value = Files > 0 ? double(Size) / double(Files) : 0.0;
        break;
    case vt_percent:
        return {double(Size) / (double(reference) + 0.0001), unit};
    case vt_CompressionRate:
        return {(Allocated < Size && Size != 0) ? 1.0 - double(Allocated) / double(Size) : 0.0, unit};
    case vt_CurrentDate:
        return {CurrentDate(), unit};
    default:
        return {0.0, unit};
    }
    return InUnit(value, unit);
}

QString TSizeData::GetText(int viewType, TUnitType unit, bool plain, int64_t reference) const
{
    if (IsByteColumn(viewType)) {
        if (plain)
            return QString::number(GetValue(viewType, Byte).first, 'f', 0);
        const auto [value, used] = GetValue(viewType, unit);
        return FormatNumber(value, OptionDecimals()) + UnitSuffix(used);
    }
    if (viewType == vt_percent || viewType == vt_CompressionRate) {
        const double fraction = GetValue(viewType, None, reference).first;
        if (!(fraction >= 0.0 && fraction <= 1.0))
            return {};
        return FormatNumber(fraction * 100.0, OptionDecimals()) + (plain ? QString() : QStringLiteral(" %"));
    }
    if (viewType == vt_files || viewType == vt_Folders)
        return FormatNumber(GetValue(viewType, None).first, 0) + QLatin1Char(' ');
    return {};
}

int TSizeData::Compare(const TSizeData& other, int viewType) const
{
    auto sign = [](double d) { return d < 0 ? -1 : (d > 0 ? 1 : 0); };
    switch (viewType) {
    case vt_size:
    case vt_alloc:
    case vt_wasted:
    case vt_CDSize:
    case vt_files:
    case vt_Folders:
    case vt_dirlevel:
    case vt_average_file_size: {
        const double d = GetValue(viewType, Kilo).first - other.GetValue(viewType, Kilo).first;
        return sign(std::nearbyint(std::fabs(d) > 1024 ? d / 1024 : d * 1024));
    }
    case vt_percent:
        return sign(std::nearbyint(double(Size - other.Size) / 1024.0));
    case vt_CompressionRate:
        return sign(std::nearbyint((GetValue(viewType, None).first - other.GetValue(viewType, None).first) * 100000));
    default:
        throw EKelvaneError(QStringLiteral("Unknown CompareType in TSizeData.Compare(%1)").arg(viewType));
    }
}

} // namespace kelvane
