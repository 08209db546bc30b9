#pragma once
#include <QString>

namespace kelvane {

// Path text helpers with their Linux meaning: "/" is the only separator,
// folder paths keep a trailing "/", a "drive" is the mount point holding a
// path, and a server is "//server" (also "smb://server").

QString IncludeTrailingPathDelimiter(const QString& path);
QString ExcludeTrailingPathDelimiter(const QString& path);

QString ExtractFilePath(const QString& path); // up to and including the last "/"
QString ExtractFileDir(const QString& path);  // the same without the final "/" (except "/")
QString ExtractFileName(const QString& path); // after the last "/"
// From the last "." of the name; a name whose only dot is its first character
// (".bashrc") has no extension.
QString ExtractFileExt(const QString& path);
// The mount point holding the path ("//server/share" for server paths).
QString ExtractFileDrive(const QString& path);

bool IsDriveRoot(const QString& path);   // a mount point or a share root
bool IsServerName(const QString& path);  // "//server", "//server/", "smb://server"
bool IsUncPath(const QString& path);     // "//server/share..."
bool IsNetworkPath(const QString& path); // a server path or on a network file system

// Paths compare exactly (Linux is case-sensitive), ignoring a trailing "/".
bool SamePath(const QString& a, const QString& b);
// Whether target lies below root, by whole components: /data/x is inside
// /data, /database is not, and /data itself is not.
bool IsPathInside(const QString& root, const QString& target);
// Creates the folder and its missing parents; false when it cannot.
bool ForceDirectories(const QString& path);

// Server paths written as smb://server/share become //server/share.
QString NormalizeServerPath(const QString& path);

} // namespace kelvane
