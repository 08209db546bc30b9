#pragma once
#include <QString>
#include <cstdint>

namespace kelvane {

// Error codes as the program stores them: the low 16 bits hold the
// Windows-style code that captions and reports test (5 access denied, 2 not
// found, 3 path not found, 206 name too long, 4 too many open files, 1117 I/O
// error, 0xFFFF for anything else), the high bits keep the original errno so
// that its text can be shown.
int32_t ErrorCodeFromErrno(int error);
inline int WindowsErrorCode(int32_t code) { return code & 0xFFFF; }
inline int ErrnoOfErrorCode(int32_t code) { return int(uint32_t(code) >> 16); }

// The system's message for a stored code, on one line; codes 87 and 1332
// read "Unknown".
QString GetErrorText(int32_t code);

} // namespace kelvane
