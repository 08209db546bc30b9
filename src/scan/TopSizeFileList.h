#pragma once
#include "CustomFileData.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace kelvane {

// The largest files of a scan, largest first, at most Capacity of them.
// Scan threads call Consider concurrently; a file smaller than the smallest
// of a full list costs one comparison and no lock.
class TTopSizeFileList {
public:
    explicit TTopSizeFileList(int capacity, bool skipSystem = true);

    void Consider(const TFindRecord& record, std::string_view directoryPath, bool available);
    void Insert(TCustomFileData file);
    // Forgets every file below the path (whole path components).
    void RemovePath(const QString& path);
    void Clear();

    int Capacity() const { return FCapacity; }
    std::vector<TCustomFileData> Files() const;
    int Count() const;

private:
    static bool IsSkipped(const TFindRecord& record, std::string_view directoryPath);
    void UpdateThreshold();

    const int FCapacity;
    const bool FSkipSystem;
    mutable std::mutex FLock;
    std::vector<TCustomFileData> FFiles;
    // Size of the smallest kept file while the list is full, else -1.
    std::atomic<int64_t> FThreshold{-1};
};

} // namespace kelvane
