#pragma once
#include "lib/platform/FileTime.h"

#include <QString>
#include <string>
#include <string_view>

namespace kelvane {

struct TFindRecord;

// One file as the largest-files list (and later the search results) keep it.
class TCustomFileData {
public:
    static TCustomFileData FromFindRecord(const TFindRecord& record, std::string_view directoryPath, bool available);
    static TCustomFileData FromNameAndSize(std::string_view name, TFileTime lastWrite, int64_t size, std::string_view directoryPath);

    int64_t GetSize() const { return Size; }
    std::string GetFullPathBytes() const { return Path + Name; }
    QString GetFullPath() const;
    QString GetFileName() const;
    bool IsCompressed() const;
    QString GetColumnText(int column) const;
    // Negative when this file sorts first.
    int CompareTo(const TCustomFileData& other, int column) const;
    QString GetHint() const;

    std::string Path; // the folder, with a trailing "/"
    std::string Name;
    uint32_t Attributes = 0;
    TFileTime CreationTime = 0;
    TFileTime LastAccessTime = 0;
    TFileTime LastWriteTime = 0;
    int64_t Size = 0;
    bool Available = false;
    int32_t ImageIndex = -1;
};

} // namespace kelvane
