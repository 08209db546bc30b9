#include "TopSizeFileList.h"

#include "lib/platform/DirectoryLister.h"
#include "lib/platform/Paths.h"

#include <algorithm>

namespace kelvane {

TTopSizeFileList::TTopSizeFileList(int capacity, bool skipSystem)
    : FCapacity(std::max(0, capacity))
    , FSkipSystem(skipSystem)
{
}

bool TTopSizeFileList::IsSkipped(const TFindRecord& record, std::string_view directoryPath)
{
    if (record.Attributes & faSystem)
        return true;
    // Recycle bins and trash folders hold nothing the user still has.
    std::string upper(directoryPath);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = char(c - 32);
    return upper.find("/RECYCLE") != std::string::npos || upper.find("/SYSTEM VOLUME INFORMATION") != std::string::npos
        || upper.find("/.TRASH") != std::string::npos || upper.find("/.LOCAL/SHARE/TRASH/") != std::string::npos;
}

void TTopSizeFileList::Consider(const TFindRecord& record, std::string_view directoryPath, bool available)
{
    if (FCapacity == 0)
        return; // a list without room ignores every file
    const int64_t threshold = FThreshold.load(std::memory_order_relaxed);
    if (threshold >= 0 && record.Size <= threshold)
        return;
    if (FSkipSystem && IsSkipped(record, directoryPath))
        return;
    Insert(TCustomFileData::FromFindRecord(record, directoryPath, available));
}

void TTopSizeFileList::Insert(TCustomFileData file)
{
    std::lock_guard lock(FLock);
    if (int(FFiles.size()) >= FCapacity && (FCapacity == 0 || FFiles.back().Size >= file.Size))
        return;
    // After every file at least as large: equal sizes keep their arrival order.
    const auto at = std::upper_bound(FFiles.begin(), FFiles.end(), file.Size,
                                     [](int64_t size, const TCustomFileData& f) { return size > f.Size; });
    FFiles.insert(at, std::move(file));
    if (int(FFiles.size()) > FCapacity)
        FFiles.pop_back();
    UpdateThreshold();
}

void TTopSizeFileList::UpdateThreshold()
{
    FThreshold.store(int(FFiles.size()) >= FCapacity && !FFiles.empty() ? FFiles.back().Size : -1, std::memory_order_relaxed);
}

void TTopSizeFileList::RemovePath(const QString& path)
{
    std::lock_guard lock(FLock);
    const QString folder = IncludeTrailingPathDelimiter(path);
    std::erase_if(FFiles, [&](const TCustomFileData& f) {
        const QString full = f.GetFullPath();
        return full.startsWith(folder) || SamePath(full, path);
    });
    UpdateThreshold();
}

void TTopSizeFileList::Clear()
{
    std::lock_guard lock(FLock);
    FFiles.clear();
    UpdateThreshold();
}

std::vector<TCustomFileData> TTopSizeFileList::Files() const
{
    std::lock_guard lock(FLock);
    return FFiles;
}

int TTopSizeFileList::Count() const
{
    std::lock_guard lock(FLock);
    return int(FFiles.size());
}

} // namespace kelvane
