#pragma once
#include "FileTime.h"

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelvane {

// File attributes as the data model keeps them (synthesised from statx).
enum TFileAttribute : uint32_t {
    faReadOnly = 0x01,
    faHidden = 0x02,
    faSystem = 0x04,
    faDirectory = 0x10,
    faArchive = 0x20,
    faTemporary = 0x100,
    faSparse = 0x200,
    faReparsePoint = 0x400,
    faCompressed = 0x800,
};

// One directory entry as the scan needs it. Name points into the lister's
// buffer and is valid until the next call.
struct TFindRecord {
    std::string_view Name;
    uint32_t Attributes = 0;
    TFileTime CreationTime = 0;
    TFileTime LastAccessTime = 0;
    TFileTime LastWriteTime = 0;
    int64_t Size = 0;
    int64_t AllocatedSize = 0; // blocks actually used
    uint64_t Device = 0;
    uint64_t Inode = 0;
    uint32_t LinkCount = 0;
    uint32_t Uid = 0;
    uint32_t Mode = 0;

    bool IsDirectory() const { return Attributes & faDirectory; }
    bool IsReparsePoint() const { return Attributes & faReparsePoint; }
};

// Lists one folder with getdents64 and statx relative to the open folder, so
// no path length limit applies below it and nothing is allocated per entry.
class TDirectoryLister {
public:
    enum EOption : unsigned {
        loNone = 0,
        loArchiveBit = 1,        // read the archive bit Samba records (one extra call per file)
        loResolveLinkTargets = 2, // symbolic links to folders become folders with the reparse bit
        loFoldersOnly = 4         // entries known not to be folders are passed over unread
    };

    explicit TDirectoryLister(unsigned options = loNone);
    ~TDirectoryLister();
    TDirectoryLister(const TDirectoryLister&) = delete;
    TDirectoryLister& operator=(const TDirectoryLister&) = delete;

    // Open a folder by path (any length) or by name below an open folder.
    // Return 0 or the stored error code. A caller that knows the folder's
    // device and inode already (from its parent's listing) passes them and
    // saves a call.
    int32_t Open(const std::string& path, const TFindRecord* known = nullptr);
    int32_t OpenAt(int parentFd, std::string_view name, const TFindRecord* known = nullptr);
    void Close();

    // The next entry other than "." and ".."; false at the end or on error.
    // Entries that vanish while listed are passed over.
    bool Next(TFindRecord& record);
    int32_t Error() const { return FError; }
    int Fd() const { return FFd; }
    // The open folder's own record (its name is empty).
    const TFindRecord& Self() const { return FSelf; }

private:
    int32_t Opened(const TFindRecord* known);
    bool Fill();
    bool StatEntry(const char* name, TFindRecord& record);

    unsigned FOptions;
    int FFd = -1;
    int32_t FError = 0;
    char* FBuffer = nullptr;
    long FPos = 0;
    long FEnd = 0;
    TFindRecord FSelf;
};

// The record of one path, without following a final symbolic link. Returns 0
// or the stored error code.
int32_t StatPath(const std::string& path, TFindRecord& record, bool follow = false);

// Opens a folder for listing, also when its path is longer than the system
// allows in one call. Returns the descriptor or -1 with errno set.
int OpenFolder(const std::string& path);

std::string ToLocalPath(const QString& path);
QString FromLocalPath(std::string_view path);

} // namespace kelvane
