#pragma once
#include "AssocSizeArray.h"
#include "FileAgeDistribution.h"

#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

// The extension, owner and age statistics of a set of files: kept per
// folder for the folder's own files; a subtree's statistics are the sum of
// its folders'.
struct TFileAggregates {
    TExtensionSizeArray Extensions;
    TUserSizeArray Users;
    TFileAgeDistribution Ages;

    // The entry of a key of the extensions or of the owners.
    TAssocSizeArray::TEntry& Item(bool extensions, const QString& key)
    {
        return extensions ? Extensions.GetSizeData(key) : Users.GetSizeData(key);
    }

    void AddAll(const TFileAggregates& other);
    void SubtractAll(const TFileAggregates& other);
    bool operator==(const TFileAggregates& other) const;
};

// What one folder listing collects before it is handed to the folder: keys
// stay as plain bytes and user ids until the listing ends, so that counting
// a file takes no lock.
class TListingAggregates {
public:
    TListingAggregates(bool extensions, bool users, bool ages, TFileTime now);
    ~TListingAggregates();
    TListingAggregates(const TListingAggregates&) = delete;
    TListingAggregates& operator=(const TListingAggregates&) = delete;

    void AddFile(std::string_view name, uint32_t uid, TFileTime lastWrite, const TSizeData& counted);
    bool IsEmpty() const { return FEmpty; }
    void Clear();
    // Turns the collected keys into the program's keys and owner names.
    TFileAggregates Finish() const;

private:
    bool FExtensions, FUsers, FAges;
    TFileTime FNow;
    bool FEmpty = true;
    std::vector<std::pair<std::string, TSizeData>> FByExtension; // borrowed from the thread's stock
    size_t FLastExtension = 0;
    std::vector<std::pair<uint32_t, TSizeData>> FByUid;
    TFileAgeDistribution FAgesOf;
};

} // namespace kelvane
