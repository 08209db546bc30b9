#pragma once
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Runs the built program in a private home (settings and data folders of its
// own) and collects what it printed.
struct TProgramResult {
    int ExitCode = -1;
    bool Finished = false;
    QString Out;
    QString Err;
};

class TProgramRunner {
public:
    TProgramRunner();
    TProgramResult Run(const QStringList& arguments, int timeoutMs = 60000, const QProcessEnvironment* extra = nullptr);
    QString SettingsFile() const;
    QString Home() const { return FHome.path(); }

private:
    QTemporaryDir FHome;
};
