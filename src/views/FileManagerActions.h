#pragma once
#include <QString>

namespace kelvane {

// What the desktop does with a path: open it with its program, show it in
// the file manager, show the file manager's properties of it. Names are
// passed as URLs, never built into command lines. Each returns false when
// nothing could be done.
bool OpenWithDesktop(const QString& path);
bool ShowInFileManager(const QString& path);
bool ShowFileManagerProperties(const QString& path);

} // namespace kelvane
