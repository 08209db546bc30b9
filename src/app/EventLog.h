#pragma once
#include <QString>
#include <functional>

namespace kelvane {

enum class EEventType { Error, Warning, Information };

// Messages of runs that show no window: syslog (ident = application title)
// and the same line on standard error.
void WriteEventLog(EEventType type, const QString& text);

// Where user-facing errors go. Without a window (the default) they go to the
// event log; the main window installs a message box while it is visible.
using TMessageSink = std::function<void(EEventType, const QString&)>;
void SetMessageSink(TMessageSink sink);
void ShowMessage(EEventType type, const QString& text);

} // namespace kelvane
