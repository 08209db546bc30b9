#include "ApplicationInfo.h"
#include "CommandLine.h"
#include "EventLog.h"
#include "GlobalOptions.h"
#include "ProgramRun.h"
#include "views/MainForm.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

using namespace kelvane;

namespace {

bool IsAnyOf(const QString& argument, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (argument.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool HasDisplay()
{
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

// Qt warns about a missing XDG_RUNTIME_DIR, which cron and SSH sessions
// usually lack; the warning says nothing a user can act on.
void FilterQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    qt_message_output(type, context, message);
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    for (const QString& a : arguments) {
        if (IsAnyOf(a, {"--help", "-help", "/help", "-h", "/?"})) {
            std::fputs(CommandLineHelp().toLocal8Bit().constData(), stdout);
            return 0;
        }
        if (IsAnyOf(a, {"--version", "-version", "/version"})) {
            std::printf("dromlet (%s) %s\n", ApplicationTitle().toUtf8().constData(), ProgramVersion().toUtf8().constData());
            return 0;
        }
    }

    // Unattended runs from cron or over SSH have no display: draw offscreen.
    const bool noGuiSwitch = HasNoGuiSwitch(arguments);
    if (noGuiSwitch || (!HasDisplay() && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    qInstallMessageHandler(FilterQtMessages);
    QApplication app(argc, argv);
    QApplication::setApplicationName(ApplicationTitle());
    QApplication::setOrganizationName(OrganizationName());
    QApplication::setApplicationVersion(ProgramVersion());

    TGlobalOptions options(arguments);
    SetGlobalOptions(&options);
    for (const QString& error : options.TakeLoadErrors())
        WriteEventLog(EEventType::Warning, error);

    if (HasSearchSwitch(arguments)) {
        WriteEventLog(EEventType::Error, QStringLiteral("The file search window is not available in this version"));
        return 2;
    }

    TProgramRun run(options, arguments);
    TMainForm form(options, run);
    if (!run.NoWindow()) {
        SetMessageSink([&form, &run](EEventType type, const QString& text) {
            if (!form.isVisible() || run.Unattended())
                return WriteEventLog(type, text);
            if (type == EEventType::Error)
                QMessageBox::critical(&form, ApplicationTitle(), text);
            else
                QMessageBox::information(&form, ApplicationTitle(), text);
        });
        form.show();
    }
    QObject::connect(&run, &TProgramRun::QuitRequested, &app, [&form] {
        form.close();
        QApplication::quit();
    });
    form.ProcessCommandLine();
    const int status = app.exec();
    SetMessageSink({});
    SetGlobalOptions(nullptr);
    return std::max(status, run.ExitStatus());
}
