#pragma once
#include <QString>
#include <cstdint>

namespace kelvane {

bool FileExists(const QString& path);      // exists and is not a folder
bool DirectoryExists(const QString& path); // a folder (following links)
bool PathExists(const QString& path);      // anything, also a dangling link

// Attributes of a path (without following a final link), or -1.
int64_t GetAttributes(const QString& path);

struct TDiskSpace {
    int64_t Total = -1; // bytes of the volume
    int64_t Free = -1;  // bytes available to the caller
};
TDiskSpace GetDiskSpace(const QString& path);
bool IsDriveReady(const QString& path);

// Bytes the file occupies on disk, or -1.
int64_t GetCompressedSize(const QString& path);
// Sets or clears per-file compression (btrfs, f2fs); false where the file
// system cannot.
bool SetCompression(const QString& path, bool uncompress);
// On success the compressed bit of attributes follows.
bool SetCompressionAndAttribute(const QString& path, bool uncompress, uint32_t& attributes);
bool SetFolderCompression(const QString& path, bool uncompress, bool recurse);

// The number of hard links, or fallback when the path cannot be read.
int GetHardLinkCount(const QString& path, int fallback);
// Where a symbolic link points, or for a mount point its mount source; empty
// otherwise.
QString GetReparseTarget(const QString& path);

} // namespace kelvane
