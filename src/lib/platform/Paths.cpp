#include "Paths.h"

#include "MountTable.h"

#include <QDir>

namespace kelvane {

QString NormalizeServerPath(const QString& path)
{
    if (path.startsWith(QLatin1String("smb://"), Qt::CaseInsensitive))
        return QStringLiteral("//") + path.mid(6);
    return path;
}

QString IncludeTrailingPathDelimiter(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

QString ExcludeTrailingPathDelimiter(const QString& path)
{
    QString p = path;
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}

QString ExtractFilePath(const QString& path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString ExtractFileDir(const QString& path)
{
    const QString p = ExtractFilePath(path);
    if (p == QLatin1String("/") || p == QLatin1String("//"))
        return p;
    return p.isEmpty() ? p : p.left(p.size() - 1);
}

QString ExtractFileName(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString ExtractFileExt(const QString& path)
{
    const QString name = ExtractFileName(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.mid(dot) : QString();
}

bool IsServerName(const QString& path)
{
    const QString p = NormalizeServerPath(path);
    if (!p.startsWith(QLatin1String("//")) || p.size() < 3 || p.at(2) == QLatin1Char('/'))
        return false;
    const qsizetype slash = p.indexOf(QLatin1Char('/'), 2);
    return slash < 0 || slash == p.size() - 1;
}

bool IsUncPath(const QString& path)
{
    const QString p = NormalizeServerPath(path);
    if (p.size() <= 3 || !p.startsWith(QLatin1String("//")) || p.at(2) == QLatin1Char('/'))
        return false;
    const qsizetype slash = p.indexOf(QLatin1Char('/'), 2);
    return slash > 2 && slash < p.size() - 1;
}

QString ExtractFileDrive(const QString& path)
{
    const QString p = NormalizeServerPath(path);
    if (IsUncPath(p)) {
        const qsizetype share = p.indexOf(QLatin1Char('/'), 2);
        const qsizetype end = p.indexOf(QLatin1Char('/'), share + 1);
        return end < 0 ? p : p.left(end);
    }
    if (!p.startsWith(QLatin1Char('/')))
        return {};
    return TMountTable::MountOf(p).MountPoint;
}

bool IsDriveRoot(const QString& path)
{
    const QString drive = ExtractFileDrive(path);
    return !drive.isEmpty() && SamePath(drive, NormalizeServerPath(path));
}

bool IsNetworkPath(const QString& path)
{
    if (IsUncPath(path) || IsServerName(path))
        return true;
    return path.startsWith(QLatin1Char('/')) && TMountTable::IsNetworkFileSystem(TMountTable::MountOf(path).FileSystem);
}

bool SamePath(const QString& a, const QString& b)
{
    return ExcludeTrailingPathDelimiter(a) == ExcludeTrailingPathDelimiter(b);
}

bool IsPathInside(const QString& root, const QString& target)
{
    if (target.isEmpty() || root.isEmpty())
        return false;
    const QString r = IncludeTrailingPathDelimiter(root);
    const QString t = IncludeTrailingPathDelimiter(target);
    return t.size() > r.size() && t.startsWith(r);
}

bool ForceDirectories(const QString& path)
{
    if (path.isEmpty())
        return false;
    return QDir().mkpath(path);
}

} // namespace kelvane
