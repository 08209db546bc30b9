#include "CustomFileData.h"

#include "SizeData.h"
#include "app/GlobalOptions.h"
#include "lib/platform/DirectoryLister.h"
#include "lib/platform/FileSystem.h"
#include "lib/platform/OwnerNames.h"
#include "lib/platform/Paths.h"
#include "lib/platform/Permissions.h"

#include <QMimeDatabase>

namespace kelvane {

using namespace viewtypes;

TCustomFileData TCustomFileData::FromFindRecord(const TFindRecord& r, std::string_view directoryPath, bool available)
{
    TCustomFileData f;
    f.Path = directoryPath;
    if (f.Path.empty() || f.Path.back() != '/')
        f.Path += '/';
    f.Name = r.Name;
    f.Attributes = r.Attributes;
    f.CreationTime = r.CreationTime;
    f.LastAccessTime = r.LastAccessTime;
    f.LastWriteTime = r.LastWriteTime;
    f.Size = r.Size;
    f.Available = available;
    return f;
}

TCustomFileData TCustomFileData::FromNameAndSize(std::string_view name, TFileTime lastWrite, int64_t size, std::string_view directoryPath)
{
    TCustomFileData f;
    f.Name = name;
    f.LastWriteTime = lastWrite;
    f.Size = size;
    if (!directoryPath.empty()) {
        f.Path = directoryPath;
        if (f.Path.back() != '/')
            f.Path += '/';
        f.Available = PathExists(f.GetFullPath());
    }
    return f;
}

QString TCustomFileData::GetFullPath() const
{
    return FromLocalPath(GetFullPathBytes());
}

QString TCustomFileData::GetFileName() const
{
    return FromLocalPath(Name);
}

bool TCustomFileData::IsCompressed() const
{
    return Attributes & (faCompressed | faSparse);
}

QString TCustomFileData::GetColumnText(int column) const
{
    const bool withTime = HasGlobalOptions() && GlobalOptions().ShowDateAndTime;
    switch (column) {
    case vt_Name:
        return GetFileName();
    case vt_fullpath:
        return GetFullPath();
    case vt_size: {
        TSizeData one;
        one.Size = Size;
        return one.GetText(vt_size, HasGlobalOptions() ? GlobalOptions().SizeUnit : Mega, false);
    }
    case vt_LastChange:
        return FormatFileTime(LastWriteTime, withTime);
    case vt_LastAccess:
        return FormatFileTime(LastAccessTime, withTime);
    case vt_creationdate:
        return FormatFileTime(CreationTime, withTime);
    case vt_Owner:
        return Available ? GetOwnerText(GetFullPath()) : QString();
    case vt_filetype: {
        const QString ext = ExtractFileExt(GetFileName());
        return ext + QStringLiteral(" (") + QMimeDatabase().mimeTypeForFile(GetFileName(), QMimeDatabase::MatchExtension).comment()
            + QLatin1Char(')');
    }
    case vt_path_without_name:
        return FromLocalPath(Path);
    case vt_permissions: {
        QString error;
        return GetPermissionsText(GetFullPath(), QStringLiteral("   "), &error).value_or(error);
    }
    default:
        throw EKelvaneError(QStringLiteral("Cannot get text for unknown column %1").arg(column));
    }
}

int TCustomFileData::CompareTo(const TCustomFileData& other, int column) const
{
    switch (column) {
    case vt_size:
        return Size < other.Size ? -1 : (Size > other.Size ? 1 : 0);
    case vt_LastChange:
        return LastWriteTime < other.LastWriteTime ? -1 : (LastWriteTime > other.LastWriteTime ? 1 : 0);
    case vt_LastAccess:
        return LastAccessTime < other.LastAccessTime ? -1 : (LastAccessTime > other.LastAccessTime ? 1 : 0);
    case vt_filetype:
        return ExtractFileExt(GetFileName()).compare(ExtractFileExt(other.GetFileName()), Qt::CaseInsensitive);
    default:
        return GetColumnText(column).compare(other.GetColumnText(column), Qt::CaseInsensitive);
    }
}

QString TCustomFileData::GetHint() const
{
    QStringList lines;
    for (int column : {vt_fullpath, vt_size, vt_LastChange, vt_LastAccess, vt_Owner, vt_filetype, vt_creationdate, vt_permissions})
        lines << (DefaultColumnCaption(column) + QStringLiteral(":  ")).leftJustified(29, QLatin1Char(' ')) + GetColumnText(column);
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace kelvane
