#include "AssocSizeArray.h"

#include "AggregateKeys.h"
#include "lib/AsciiCase.h"

#include <algorithm>
#include <cctype>

namespace kelvane {

using namespace viewtypes;

namespace {

auto ByKey = [](const TAssocSizeArray::TEntry& e, uint32_t key) { return e.Key < key; };

static_assert(sizeof(TAssocSizeArray::TEntry) == 40);

} // namespace

TSizeData TAssocSizeArray::TEntry::Data() const
{
    TSizeData d;
    d.Size = Size;
    d.Allocated = Allocated;
    d.Wasted = Wasted;
    d.CDRom = CDRom;
    d.Files = Files;
    d.Compression = Compression;
    return d;
}

void TAssocSizeArray::TEntry::Add(const TSizeData& data)
{
    Size += data.Size;
    Allocated += data.Allocated;
    Wasted += data.Wasted;
    CDRom += data.CDRom;
    Files += data.Files;
    Compression |= data.Compression;
}

void TAssocSizeArray::TEntry::Subtract(const TSizeData& data)
{
    Size -= data.Size;
    Allocated -= data.Allocated;
    Wasted -= data.Wasted;
    CDRom -= data.CDRom;
    Files -= data.Files;
}

TAssocSizeArray::TEntry& TAssocSizeArray::GetSizeData(uint32_t keyId)
{
    auto it = std::lower_bound(FEntries.begin(), FEntries.end(), keyId, ByKey);
    if (it == FEntries.end() || it->Key != keyId)
        it = FEntries.insert(it, TEntry{keyId});
    return *it;
}

TAssocSizeArray::TEntry& TAssocSizeArray::GetSizeDataOfText(const QString& normalizedKey)
{
    return GetSizeData(TAggregateKeys::Intern(normalizedKey.toStdString()));
}

TSizeData TAssocSizeArray::Lookup(uint32_t keyId) const
{
    const auto it = std::lower_bound(FEntries.begin(), FEntries.end(), keyId, ByKey);
    return it != FEntries.end() && it->Key == keyId ? it->Data() : TSizeData();
}

TSizeData TAssocSizeArray::LookupText(const QString& normalizedKey) const
{
    const uint32_t id = TAggregateKeys::Find(normalizedKey);
    return id == UINT32_MAX ? TSizeData() : Lookup(id);
}

void TAssocSizeArray::AddAll(const TAssocSizeArray& other)
{
    for (const TEntry& e : other.FEntries)
        GetSizeData(e.Key).Add(e.Data());
}

void TAssocSizeArray::SubtractAll(const TAssocSizeArray& other)
{
    for (const TEntry& e : other.FEntries)
        GetSizeData(e.Key).Subtract(e.Data());
}

bool TAssocSizeArray::operator==(const TAssocSizeArray& other) const
{
    return FEntries == other.FEntries;
}

std::vector<TAssocSizeArray::TEntry> TAssocSizeArray::SortedEntries() const
{
    std::vector<TEntry> sorted = FEntries;
    // By the keys' bytes, ignoring the case of ASCII letters: the same order
    // every time, whatever the locale.
    auto less = [](const TEntry& a, const TEntry& b) {
        const std::string& x = TAggregateKeys::Key(a.Key);
        const std::string& y = TAggregateKeys::Key(b.Key);
        return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(), [](char c, char d) {
            return std::tolower(static_cast<unsigned char>(c)) < std::tolower(static_cast<unsigned char>(d));
        });
    };
    std::stable_sort(sorted.begin(), sorted.end(), less);
    return sorted;
}

QString TAssocSizeArray::DisplayKey(uint32_t keyId)
{
    const QString key = TAggregateKeys::KeyText(keyId);
    return key.isEmpty() || key == QLatin1String(".") ? QStringLiteral("(none)") : key;
}

QString TAssocSizeArray::GetColumnText(const TEntry& entry, int viewType, TUnitType unit, int64_t reference) const
{
    switch (viewType) {
    case vt_Name:
        return DisplayKey(entry.Key);
    case vt_size:
    case vt_alloc:
    case vt_files:
        return entry.Data().GetText(viewType, unit, false);
    case vt_percent:
        return entry.Data().GetText(vt_percent, None, false, reference);
    default:
        throw EKelvaneError(QStringLiteral("TAssocSizeArray.Format: Unknown View Type %1").arg(viewType));
    }
}

double TAssocSizeArray::GetColumnValue(const TEntry& entry, int viewType, TUnitType unit, int64_t reference) const
{
    switch (viewType) {
    case vt_size:
    case vt_alloc:
    case vt_files:
        return entry.Data().GetValue(viewType, unit).first;
    case vt_percent:
        return entry.Data().GetValue(vt_percent, None, reference).first;
    default:
        throw EKelvaneError(QStringLiteral("TAssocSizeArray.Format: Unknown View Type %1").arg(viewType));
    }
}

QString TAssocSizeArray::GetUnitCaption(TUnitType unit, int viewType)
{
    if (viewType == vt_size || viewType == vt_alloc || viewType == vt_wasted || viewType == vt_CDSize
        || viewType == vt_average_file_size)
        return UnitSuffix(unit);
    if (viewType == vt_files)
        return QStringLiteral(" Files");
    return {};
}

std::string TExtensionSizeArray::KeyOf(std::string_view name)
{
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return ".";
    std::string key(name.substr(dot));
    if (!LowerAsciiBytes(key))
        key = QString::fromUtf8(key.data(), qsizetype(key.size())).toLower().toStdString();
    return key;
}

void TExtensionSizeArray::AddByFilename(std::string_view fileName, const TSizeData& data)
{
    GetSizeData(TAggregateKeys::Intern(KeyOf(fileName))).Add(data);
}

QString TExtensionSizeArray::NormalizedKey(const QString& key)
{
    return key == QLatin1String("(none)") ? QStringLiteral(".") : key.toLower();
}

void TUserSizeArray::AddByOwner(const QString& owner, const TSizeData& data)
{
    GetSizeData(owner.isEmpty() ? QStringLiteral("(none)") : owner).Add(data);
}

} // namespace kelvane
