#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Every engine test runs with its own settings and data folders, never the
// user's, and with an application object for timers and queued calls.
int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QDir(home.path()).filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", QDir(home.path()).filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Brask Software"));
    QCoreApplication::setApplicationName(QStringLiteral("Kelvane Professional"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
