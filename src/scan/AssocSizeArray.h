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
    // The counters of files: no folder count, and 40 bytes with the key,
    // because a folder keeps several of them.
    struct TEntry {
        uint32_t Key; // see TAggregateKeys
        uint32_t Compression = 0;
        int64_t Size = 0;
        int64_t Allocated = 0;
        int64_t Wasted = 0;
        int32_t CDRom = 0;
        int32_t Files = 0;

        TSizeData Data() const;
        void Add(const TSizeData& data);
        // Compression is left as it is.
        void Subtract(const TSizeData& data);
        bool operator==(const TEntry&) const = default;
    };

    // No virtual functions and no members beside the entries: an aggregate
    // is kept per folder, every byte counts. Text keys are looked up through
    // the derived classes, which know how their keys are written.

    // The entry, inserted empty when the key is missing.
    TEntry& GetSizeData(uint32_t keyId);
    // The entry's counters, or zeros (never inserts).
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

    bool operator==(const TAssocSizeArray& other) const;

protected:
    TEntry& GetSizeDataOfText(const QString& normalizedKey);
    TSizeData LookupText(const QString& normalizedKey) const;

    std::vector<TEntry> FEntries; // sorted by key id
};

// Keys: lower-case extensions with the dot (".txt"); "." for files without one.
class TExtensionSizeArray : public TAssocSizeArray {
public:
    using TAssocSizeArray::GetSizeData;
    using TAssocSizeArray::Lookup;
    TEntry& GetSizeData(const QString& key) { return GetSizeDataOfText(NormalizedKey(key)); }
    TSizeData Lookup(const QString& key) const { return LookupText(NormalizedKey(key)); }
    // Lower case; "(none)" means ".".
    static QString NormalizedKey(const QString& key);
    // The key of a file name (bytes): from its last dot; a name whose only
    // dot is its first character (".bashrc") has none.
    static std::string KeyOf(std::string_view fileName);
    void AddByFilename(std::string_view fileName, const TSizeData& data);
};

// Keys: owner account names; "(none)" for an empty owner text.
class TUserSizeArray : public TAssocSizeArray {
public:
    using TAssocSizeArray::GetSizeData;
    using TAssocSizeArray::Lookup;
    TEntry& GetSizeData(const QString& key) { return GetSizeDataOfText(key); }
    TSizeData Lookup(const QString& key) const { return LookupText(key); }
    void AddByOwner(const QString& owner, const TSizeData& data);
};

} // namespace kelvane
