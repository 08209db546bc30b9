#pragma once
#include <QString>
#include <optional>

namespace kelvane {

// The access list of a path, entries joined by separator: the POSIX ACL
// ("user::rwx", "user:alice:r--", "mask::r-x" ...) or, where the file system
// has none, the mode bits in the same form. Empty with error set when the
// path cannot be read ("Could not get Access Control List").
std::optional<QString> GetPermissionsText(const QString& path, const QString& separator, QString* error = nullptr);

} // namespace kelvane
