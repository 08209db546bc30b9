#include "ErrorCodes.h"

#include <cerrno>
#include <cstring>

namespace kelvane {
namespace {

struct TMapping {
    int Errno;
    int Windows;
};

// The first entry for a Windows code gives its text when no errno was kept.
constexpr TMapping Mappings[] = {
    {EACCES, 5},   {EPERM, 5},      {ENOENT, 2},   {ENOTDIR, 3},  {ENAMETOOLONG, 206},
    {EMFILE, 4},   {ENFILE, 4},     {EIO, 1117},   {ENOMEM, 8},   {EROFS, 19},
    {EBUSY, 32},   {EEXIST, 80},    {ENOSPC, 112}, {EINVAL, 87},  {ELOOP, 1921},
    {ENOTEMPTY, 145}, {EXDEV, 17},  {ETIMEDOUT, 1460}, {EHOSTDOWN, 53}, {ENOTCONN, 53},
};

QString SystemText(int error)
{
    char buffer[256];
    const char* text = strerror_r(error, buffer, sizeof buffer);
    QString result = QString::fromLocal8Bit(text);
    result.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
    return result;
}

} // namespace

int32_t ErrorCodeFromErrno(int error)
{
    if (error == 0)
        return 0;
    int windows = 0xFFFF;
    for (const TMapping& m : Mappings)
        if (m.Errno == error) {
            windows = m.Windows;
            break;
        }
    return int32_t((uint32_t(error) << 16) | uint32_t(windows));
}

QString GetErrorText(int32_t code)
{
    const int windows = WindowsErrorCode(code);
    if (windows == 87 || windows == 1332)
        return QStringLiteral("Unknown");
    if (const int error = ErrnoOfErrorCode(code))
        return SystemText(error);
    for (const TMapping& m : Mappings)
        if (m.Windows == windows)
            return SystemText(m.Errno);
    return QStringLiteral("No error message for error code %1").arg(code);
}

} // namespace kelvane
