#pragma once
#include "SizeData.h"
#include "lib/WorkItem.h"

#include <string>

namespace kelvane {

class TFolderData;
class TRoot;

// Lists one folder: counts its files, makes a node for every subfolder and
// queues it (or lists it in place when the processor is saturated), then
// hands its totals to its ancestors under the root's lock.
class TScanJob : public TBasicWorkItem {
public:
    // path: the folder's full path when the caller has it at hand.
    TScanJob(TFolderData* folder, int compressionAction, bool isRescan, std::string path = {});
    void Execute() override;

    TFolderData* Folder;
    TRoot* Root;
    bool IsRescan;
    int CompressionAction;
    TSizeData OldTotals;
    uint32_t Generation;
    std::string Path;

private:
    void ScanFolder(const std::string& path, TFolderData* folder, int parentFd);
};

} // namespace kelvane
