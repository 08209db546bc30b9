#include "Permissions.h"

#include "DirectoryLister.h"

#include <QStringList>
#include <acl/libacl.h>
#include <sys/acl.h>
#include <sys/stat.h>

namespace kelvane {
namespace {

QString Bits(unsigned mode)
{
    QString s;
    s += (mode & 4) ? QLatin1Char('r') : QLatin1Char('-');
    s += (mode & 2) ? QLatin1Char('w') : QLatin1Char('-');
    s += (mode & 1) ? QLatin1Char('x') : QLatin1Char('-');
    return s;
}

} // namespace

std::optional<QString> GetPermissionsText(const QString& path, const QString& separator, QString* error)
{
    const std::string local = ToLocalPath(path);
    struct stat st;
    if (::lstat(local.c_str(), &st) != 0) {
        if (error)
            *error = QStringLiteral("Could not get Access Control List");
        return std::nullopt;
    }
    QStringList entries;
    if (!S_ISLNK(st.st_mode)) {
        if (acl_t acl = acl_get_file(local.c_str(), ACL_TYPE_ACCESS)) {
            if (char* text = acl_to_any_text(acl, nullptr, '\n', TEXT_SOME_EFFECTIVE)) {
                for (const QString& line : QString::fromLocal8Bit(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
                    entries.append(line.trimmed());
                acl_free(text);
            }
            acl_free(acl);
        }
    }
    if (entries.isEmpty())
        entries = {QStringLiteral("user::") + Bits(st.st_mode >> 6), QStringLiteral("group::") + Bits(st.st_mode >> 3),
                   QStringLiteral("other::") + Bits(st.st_mode)};
    return entries.join(separator);
}

} // namespace kelvane
