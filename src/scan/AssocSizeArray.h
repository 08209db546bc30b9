#pragma once
#include "SizeData.h"

#include <QString>
#include <string_view>
#include <vector>

namespace kelvane {

// Counters by key (a file extension or an owner), keys compared ignoring
// case. Lookups for display return zeros for a missing key and never insert.
class TAssocSizeArray {
public:
    struct TEntry {
        uint32_t Key; // see TAggregateKeys
        TSizeData Data;
    };

    // No virtual functions: an aggregate is kept per folder, every byte counts.
    explicit TAssocSizeArray(bool extensionKeys = false)
        : FExtensionKeys(extensionKeys)
    {
    }

    // The entry's counters, inserted empty when the key is missing.
    TSizeData& GetSizeData(const QString& key);
    TSizeData& GetSizeData(uint32_t keyId);
    // The entry's counters, or zeros (never inserts).
    TSizeData Lookup(const QString& key) const;
    TSizeData Lookup(uint32_t keyId) const;

    void AddAll(const TAssocSizeArray& other);
    // Entries stay, also when their counters reach zero.
    void SubtractAll(const TAssocSizeArray& other);
    void Clear() { FEntries.clear(); }
    void Reserve(size_t count) { FEntries.reserve(count); }

    int Count() const { return int(FEntries.size()); }
    bool IsEmpty() const { return FEntries.empty(); }
    const std::vector<TEntry>& Entries() const { return FEntries; }
    // The entries in the order of their keys (ignoring case).
    std::vector<TEntry> SortedEntries() const;

    // Texts and values of the extension and owner lists; reference is the
    // total that percentages refer to.
    static QString DisplayKey(uint32_t keyId);
    QString GetColumnText(const TEntry& entry, int viewType, TUnitType unit, int64_t reference) const;
    double GetColumnValue(const TEntry& entry, int viewType, TUnitType unit, int64_t reference) const;
    static QString GetUnitCaption(TUnitType unit, int viewType);

    // Extension keys: lower case, "(none)" means ".".
    QString NormalizedKey(const QString& key) const;

    bool operator==(const TAssocSizeArray& other) const;

protected:
    std::vector<TEntry> FEntries; // sorted by key id
    bool FExtensionKeys;
};

// Keys: lower-case extensions with the dot (".txt"); "." for files without one.
class TExtensionSizeArray : public TAssocSizeArray {
public:
    TExtensionSizeArray()
        : TAssocSizeArray(true)
    {
    }
    // The key of a file name (bytes): from its last dot; a name whose only
    // dot is its first character (".bashrc") has none.
    static std::string KeyOf(std::string_view fileName);
    void AddByFilename(std::string_view fileName, const TSizeData& data);
};

// Keys: owner account names; "(none)" for an empty owner text.
class TUserSizeArray : public TAssocSizeArray {
public:
    void AddByOwner(const QString& owner, const TSizeData& data);
};

} // namespace kelvane
