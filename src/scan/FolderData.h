#pragma once
#include "SizeData.h"
#include "lib/platform/FileTime.h"

#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

class TRoot;
struct TFindRecord;
struct TFileAggregates;
struct TNodeDisplayTexts;

// Milliseconds of a monotonic clock, for "recently updated" tests.
uint32_t TickCount();

// One node of a scanned tree: a folder, the files item "[Files]" of a folder
// (which shares its parent's file counters), or one file of the details list.
// Scan threads create nodes and merge counters under the root's lock; the
// tree's child lists change on the user-interface thread only.
class TFolderData {
public:
    enum TFlag : uint8_t {
        fdScanning = 0x01,
        fdFilesItem = 0x02,
        fdAbortRequested = 0x04,
        fdFileItem = 0x08,
        fdDisplayTexts = 0x10, // the root keeps display texts of the node
        fdLink = 0x20,
        fdSettled = 0x40,
        fdExpanded = 0x80, // the tree shows the node's children
    };

    TFolderData(TFolderData* parent, bool filesItem, std::string name, TRoot* root);
    // A file of the details list.
    static std::unique_ptr<TFolderData> FromFindRecord(TFolderData* parent, const TFindRecord& record, TRoot* root);
    ~TFolderData();
    TFolderData(const TFolderData&) = delete;
    TFolderData& operator=(const TFolderData&) = delete;

    // --- tree (user-interface thread)
    const std::vector<TFolderData*>& Children() const { return FChildren; }
    void AppendChild(TFolderData* child);   // takes ownership
    void DeleteChildren();
    // Detaches a child; the caller owns it.
    std::unique_ptr<TFolderData> TakeChild(TFolderData* child);
    // Takes ownership of the children away (to free them later).
    std::vector<TFolderData*> TakeChildren();
    int IndexOfChild(const TFolderData* child) const;
    void TrimChildren() { FChildren.shrink_to_fit(); }
    void SortChildren(const std::function<bool(const TFolderData*, const TFolderData*)>& less);
    // The same children in another order.
    void SetChildOrder(std::vector<TFolderData*> children);

    // --- counters
    TSizeData& SizeData() { return IsFilesItem() && Parent ? Parent->FOwnFiles : FOwnSize; }
    const TSizeData& SizeData() const { return IsFilesItem() && Parent ? Parent->FOwnFiles : FOwnSize; }
    TSizeData& FilesSizeData() { return IsFilesItem() && Parent ? Parent->FOwnFiles : FOwnFiles; }
    const TSizeData& FilesSizeData() const { return IsFilesItem() && Parent ? Parent->FOwnFiles : FOwnFiles; }
    // Both counter records, the error, the update tick and the settled mark
    // are cleared (before the folder is scanned again).
    void ResetCounters();

    // --- names and paths
    QString NameText() const;          // the name for display (bytes decoded)
    QString GetFullPath() const;       // folders end with "/"
    std::string GetFullPathBytes() const;
    int Level() const;
    TFolderData* FindFilesItem();

    // --- what the views show
    std::pair<double, TUnitType> GetValue(int viewType, TUnitType unit) const;
    QString GetColumnText(int viewType, bool plain, bool padded) const;
    int Compare(const TFolderData& other, int viewType) const;
    QString GetDisplayName() const;
    QString GetHint() const;
    bool IsEmphasized() const;
    // The counters the views show: the filter owner's or extension's share
    // when the root has a view filter, else SizeData.
    TSizeData ShownCounters() const;

    // --- statistics by extension, owner and age
    // Of the files directly in this folder (for a files item: its parent's);
    // null when there are none or grouping was off.
    const TFileAggregates* OwnAggregates() const;
    TFileAggregates* MutableOwnAggregates();
    // The own-file statistics of the folder (a files item's: its parent's),
    // made empty when missing.
    TFileAggregates& EnsureOwnAggregates();
    void SetOwnAggregates(std::unique_ptr<TFileAggregates> aggregates);
    // Of every file below this node, summed on demand from the folders'
    // own statistics (under the root's lock).
    TFileAggregates SubtreeAggregates() const;

    // --- counters moving between nodes (under the root's lock)
    void AddChildTotals(TFolderData* child, bool carryUp);
    // Content disappeared or shrank by delta: this node and every ancestor
    // lose it (from the files counters first with fromFiles). Returns the
    // node whose totals went negative (its branch must be scanned again), or
    // null.
    TFolderData* SubtractDelta(const TSizeData& delta, bool fromFiles);
    // After the files of this folder were listed again: the files counters
    // become newFiles and every ancestor moves by the difference.
    TFolderData* ReplaceFilesCounters(const TSizeData& newFiles);

    // --- flags
    void SetScanning(bool on);
    bool IsScanning() const { return Flags.load(std::memory_order_acquire) & fdScanning; }
    bool IsFilesItem() const { return FFixedFlags & fdFilesItem; }
    bool IsFileItem() const { return FFixedFlags & fdFileItem; }
    // Only there can a folder be its own ancestor (bind mounts, followed links).
    bool IsBelowReparsePoint() const { return FFixedFlags & FixedBelowReparsePoint; }
    // Before the node is handed to other threads.
    void MarkBelowReparsePoint() { FFixedFlags |= FixedBelowReparsePoint; }
    bool IsFolder() const { return !(FFixedFlags & (fdFilesItem | fdFileItem)); }
    bool IsLink() const { return Flags.load(std::memory_order_relaxed) & fdLink; }
    bool IsAbortRequested() const { return Flags.load(std::memory_order_relaxed) & fdAbortRequested; }
    bool IsExpanded() const { return Flags.load(std::memory_order_relaxed) & fdExpanded; }
    void SetFlag(TFlag flag, bool on);
    void RequestAbort(bool on);
    bool IsRecentlyUpdated() const;
    bool IsBranchBusy();
    int CountSettledChildren();
    // Opens levels of the tree below this node for folders of at least
    // minimumMB (by the ViewType option's value); closes the rest.
    void ExpandToLevel(int levels, int minimumMB);

    std::string Name; // bytes as found on disk; for a root folder the root path
    TRoot* Root = nullptr;
    TFolderData* Parent = nullptr;
    TFileTime LastAccessDate = 0;
    TFileTime LastChangeDate = 0;
    TFileTime CreationDate = 0;
    uint64_t Device = 0; // of the folder itself, for the cycle guard
    uint64_t Inode = 0;
    std::atomic<uint32_t> UpdateTick{0};
    std::atomic<uint8_t> Flags{0};

private:
    // Flags set before other threads see the node: fdFilesItem, fdFileItem
    // and this one (a bit fdFilesItem and fdFileItem leave free).
    static constexpr uint8_t FixedBelowReparsePoint = 0x01;
    uint8_t FFixedFlags = 0; // beside Flags: nodes are many, padding counts

public:
    int32_t Error = 0;
    uint32_t Attributes = 0;

private:
    // The root's record of the node's slow texts; null without a root.
    TNodeDisplayTexts* DisplayTexts() const;

    TSizeData FOwnSize;
    TSizeData FOwnFiles;
    std::unique_ptr<TFileAggregates> FAggregates;
    std::vector<TFolderData*> FChildren;
};

// The key that orders names (bytes) as the tree does, ignoring case: the
// case-folded name in UTF-8, whose bytes compare in character order. Short
// names need no allocation.
std::string NameSortKey(std::string_view name);

// How wide a text is in the main window's font; 100 without a window.
void SetTextWidthMeasure(std::function<int(const QString&)> measure);

} // namespace kelvane
