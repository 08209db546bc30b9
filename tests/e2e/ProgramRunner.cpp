#include "ProgramRunner.h"

#include <QDir>

TProgramRunner::TProgramRunner() = default;

QString TProgramRunner::SettingsFile() const
{
    return QDir(FHome.path()).filePath(QStringLiteral("config/Brask Software/Kelvane Professional.conf"));
}

TProgramResult TProgramRunner::Run(const QStringList& arguments, int timeoutMs, const QProcessEnvironment* extra)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), FHome.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir(FHome.path()).filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), QDir(FHome.path()).filePath(QStringLiteral("data")));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (extra)
        for (const QString& key : extra->keys())
            env.insert(key, extra->value(key));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(DROMLET_PATH), arguments);
    TProgramResult result;
    result.Finished = process.waitForFinished(timeoutMs);
    if (!result.Finished) {
        process.kill();
        process.waitForFinished();
    }
    result.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.Out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.Err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}
