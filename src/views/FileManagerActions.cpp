#include "FileManagerActions.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace kelvane {

namespace {

// org.freedesktop.FileManager1, which GNOME Files, Dolphin, Nemo and Caja offer.
bool CallFileManager(const char* method, const QString& path)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
                                                       QStringLiteral("org.freedesktop.FileManager1"), QLatin1String(method));
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 3000);
    return reply.type() == QDBusMessage::ReplyMessage;
}

} // namespace

bool OpenWithDesktop(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool ShowInFileManager(const QString& path)
{
    if (CallFileManager("ShowItems", path))
        return true;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

bool ShowFileManagerProperties(const QString& path)
{
    return CallFileManager("ShowItemProperties", path);
}

} // namespace kelvane
