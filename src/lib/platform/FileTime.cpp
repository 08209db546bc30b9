#include "FileTime.h"

#include <QLocale>
#include <QTimeZone>

namespace kelvane {

QDateTime FileTimeToDateTime(TFileTime t)
{
    if (t == 0)
        return {};
    const int64_t ms = (int64_t(t) - int64_t(FileTimeUnixEpoch)) / 10000;
    return QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc());
}

TFileTime DateTimeToFileTime(const QDateTime& t)
{
    if (!t.isValid())
        return 0;
    const int64_t ms = t.toMSecsSinceEpoch();
    return FileTimeFromUnix(ms / 1000 - (ms % 1000 < 0 ? 1 : 0), uint32_t(((ms % 1000) + 1000) % 1000) * 1000000u);
}

double FileTimeToDate(TFileTime t)
{
    const QDateTime local = FileTimeToDateTime(t).toLocalTime();
    if (!local.isValid())
        return 0;
    const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0));
    return double(epoch.msecsTo(QDateTime(local.date(), local.time()))) / 86400000.0;
}

QString FormatFileTime(TFileTime t, bool withTime)
{
    if (FileTimeHigh(t) == 0)
        return {};
    const QDateTime local = FileTimeToDateTime(t).toLocalTime();
    if (!local.isValid())
        return {};
    const QLocale locale;
    QString text = locale.toString(local.date(), QLocale::ShortFormat);
    if (withTime)
        text += QLatin1Char(' ') + locale.toString(local.time(), QLocale::ShortFormat);
    return text;
}

} // namespace kelvane
