#include "EventLog.h"

#include "ApplicationInfo.h"

#include <QMutex>
#include <cstdio>
#include <syslog.h>

namespace kelvane {
namespace {

QMutex g_mutex;
TMessageSink g_sink;

} // namespace

void WriteEventLog(EEventType type, const QString& text)
{
    static const QByteArray ident = ApplicationTitle().toUtf8();
    const QByteArray line = text.toUtf8();
    const int priority = type == EEventType::Error ? LOG_ERR : type == EEventType::Warning ? LOG_WARNING : LOG_INFO;
    QMutexLocker lock(&g_mutex);
    openlog(ident.constData(), LOG_PID, LOG_USER);
    syslog(priority, "%s", line.constData());
    closelog();
    std::fprintf(stderr, "%s\n", line.constData());
    std::fflush(stderr);
}

void SetMessageSink(TMessageSink sink)
{
    QMutexLocker lock(&g_mutex);
    g_sink = std::move(sink);
}

void ShowMessage(EEventType type, const QString& text)
{
    TMessageSink sink;
    {
        QMutexLocker lock(&g_mutex);
        sink = g_sink;
    }
    if (sink)
        sink(type, text);
    else
        WriteEventLog(type, text);
}

} // namespace kelvane
