#include "OwnerNames.h"

#include "DirectoryLister.h"
#include "ErrorCodes.h"

#include <cerrno>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kelvane {

TSID2Username& TSID2Username::Instance()
{
    static TSID2Username instance;
    return instance;
}

std::optional<QString> TSID2Username::SystemResolver(uint32_t uid, bool& failed)
{
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size_t(size > 0 ? size : 16384));
    struct passwd entry;
    struct passwd* result = nullptr;
    int error = 0;
    while ((error = getpwuid_r(uid_t(uid), &entry, buffer.data(), buffer.size(), &result)) == ERANGE)
        buffer.resize(buffer.size() * 2);
    failed = error != 0 && error != ENOENT && error != ESRCH && error != EBADF && error != EPERM;
    if (!result)
        return std::nullopt;
    return QString::fromLocal8Bit(entry.pw_name);
}

QString TSID2Username::Lookup(uint32_t uid)
{
    TResolver resolver;
    {
        std::lock_guard lock(FLock);
        auto it = FEntries.constFind(uid);
        if (it != FEntries.constEnd())
            return *it;
        resolver = FResolver;
    }
    bool failed = false;
    const std::optional<QString> name = resolver(uid, failed);
    const QString result = name.value_or(QString::number(uid));
    if (failed)
        return result; // a passing failure of the account database: ask again next time
    std::lock_guard lock(FLock);
    const auto now = std::chrono::steady_clock::now();
    if (now - FLastCleared > Lifetime) {
        FEntries.clear();
        FLastCleared = now;
    }
    FEntries.insert(uid, result);
    return result;
}

void TSID2Username::SetResolver(TResolver resolver)
{
    std::lock_guard lock(FLock);
    FResolver = resolver ? resolver : &SystemResolver;
    FEntries.clear();
}

void TSID2Username::Clear()
{
    std::lock_guard lock(FLock);
    FEntries.clear();
}

QString GetOwnerText(const QString& path)
{
    struct stat st;
    if (::lstat(ToLocalPath(path).c_str(), &st) != 0)
        return GetErrorText(ErrorCodeFromErrno(errno));
    return TSID2Username::Instance().Lookup(st.st_uid);
}

} // namespace kelvane
