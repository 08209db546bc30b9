#include "FileAggregates.h"

#include "AggregateKeys.h"

#include <algorithm>
#include "lib/platform/OwnerNames.h"

namespace kelvane {

void TFileAggregates::AddAll(const TFileAggregates& other)
{
    Extensions.AddAll(other.Extensions);
    Users.AddAll(other.Users);
    Ages.AddAll(other.Ages);
}

void TFileAggregates::SubtractAll(const TFileAggregates& other)
{
    Extensions.SubtractAll(other.Extensions);
    Users.SubtractAll(other.Users);
    Ages.SubtractAll(other.Ages);
}

bool TFileAggregates::operator==(const TFileAggregates& other) const
{
    return Extensions == other.Extensions && Users == other.Users && Ages == other.Ages;
}

namespace {

using TExtensionCounts = std::vector<std::pair<std::string, TSizeData>>;
// Every listing needs a short vector of extensions; growing a new one each
// time costs several allocations per folder. Listings nest when folders are
// listed in place, so each borrows a vector from its thread's stock.
thread_local std::vector<TExtensionCounts> ExtensionCountsStock;

} // namespace

TListingAggregates::TListingAggregates(bool extensions, bool users, bool ages, TFileTime now)
    : FExtensions(extensions)
    , FUsers(users)
    , FAges(ages)
    , FNow(now)
{
    if (FExtensions && !ExtensionCountsStock.empty()) {
        FByExtension = std::move(ExtensionCountsStock.back());
        ExtensionCountsStock.pop_back();
    }
}

TListingAggregates::~TListingAggregates()
{
    if (FByExtension.capacity() > 0 && ExtensionCountsStock.size() < 64) {
        FByExtension.clear();
        ExtensionCountsStock.push_back(std::move(FByExtension));
    }
}

void TListingAggregates::Clear()
{
    FEmpty = true;
    FByExtension.clear();
    FLastExtension = 0;
    FByUid.clear();
    FAgesOf = TFileAgeDistribution();
}

void TListingAggregates::AddFile(std::string_view name, uint32_t uid, TFileTime lastWrite, const TSizeData& counted)
{
    FEmpty = false;
    if (FExtensions) {
        // A folder holds few extensions: a linear search beats any map, and
        // short ASCII extensions are lower-cased on the stack.
        char buffer[24];
        std::string_view key;
        std::string longKey;
        const size_t dot = name.rfind('.');
        if (dot == std::string_view::npos || dot == 0) {
            key = ".";
        } else if (name.size() - dot < sizeof buffer) {
            size_t n = 0;
            bool ascii = true;
            for (size_t i = dot; i < name.size(); ++i) {
                const char c = name[i];
                ascii = ascii && static_cast<unsigned char>(c) < 0x80;
                buffer[n++] = (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
            }
            key = std::string_view(buffer, n);
            if (!ascii)
                key = longKey = TExtensionSizeArray::KeyOf(name);
        } else {
            key = longKey = TExtensionSizeArray::KeyOf(name);
        }
        // Neighbouring files often share their extension: try the last one first.
        if (FLastExtension < FByExtension.size() && FByExtension[FLastExtension].first == key) {
            FByExtension[FLastExtension].second.Add(counted);
        } else {
            auto it = std::find_if(FByExtension.begin(), FByExtension.end(), [&](const auto& e) { return e.first == key; });
            if (it == FByExtension.end()) {
                FByExtension.emplace_back(std::string(key), counted);
                it = FByExtension.end() - 1;
            } else {
                it->second.Add(counted);
            }
            FLastExtension = size_t(it - FByExtension.begin());
        }
    }
    if (FUsers) {
        auto it = std::find_if(FByUid.begin(), FByUid.end(), [&](const auto& e) { return e.first == uid; });
        if (it == FByUid.end())
            FByUid.emplace_back(uid, counted);
        else
            it->second.Add(counted);
    }
    if (FAges)
        FAgesOf.AddFile(counted.Allocated, lastWrite, FNow);
}

TFileAggregates TListingAggregates::Finish() const
{
    TFileAggregates result;
    result.Extensions.Reserve(FByExtension.size());
    for (const auto& [key, data] : FByExtension)
        result.Extensions.GetSizeData(TAggregateKeys::Intern(key)).Add(data);
    for (const auto& [uid, data] : FByUid)
        result.Users.AddByOwner(TSID2Username::Instance().Lookup(uid), data);
    result.Ages = FAgesOf;
    return result;
}

} // namespace kelvane
