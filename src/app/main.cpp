#include "ApplicationInfo.h"
#include "CommandLine.h"
#include "EventLog.h"
#include "GlobalOptions.h"
#include "ProgramRun.h"
#include "scan/Roots.h"
#include "views/GraphicsRunActions.h"
#include "views/MainForm.h"
#include "lib/platform/Processor.h"

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

// Charts, printing and the clipboard need the graphics system even without a window.
bool NeedsGraphics(const QStringList& arguments)
{
    for (const QString& a : arguments)
        if (IsAnyOf(a, {"/PIECHART", "/CHART", "/BARCHART", "/PRINT", "/PRINT1", "/FILELIST", "-PIECHART", "-CHART",
                        "-BARCHART", "-PRINT", "-PRINT1", "-FILELIST", "--PIECHART", "--CHART", "--BARCHART", "--PRINT",
                        "--PRINT1", "--FILELIST"}))
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

    TuneAllocatorForScanning();
    qInstallMessageHandler(FilterQtMessages);
    // A windowless run that draws nothing needs no graphics system at all.
    std::unique_ptr<QCoreApplication> app;
    if (noGuiSwitch && !NeedsGraphics(arguments))
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(ApplicationTitle());
    QCoreApplication::setOrganizationName(OrganizationName());
    QCoreApplication::setApplicationVersion(ProgramVersion());

    TGlobalOptions options(arguments);
    SetGlobalOptions(&options);
    for (const QString& error : options.TakeLoadErrors())
        WriteEventLog(EEventType::Warning, error);

    if (HasSearchSwitch(arguments)) {
        WriteEventLog(EEventType::Error, QStringLiteral("The file search window is not available in this version"));
        return 2;
    }

    TRoots roots;
    TProgramRun run(options, arguments, &roots);
    // A windowless run works on the same roots and exports without a window.
    std::unique_ptr<TMainForm> form;
    if (!run.NoWindow() && qobject_cast<QApplication*>(app.get())) {
        form = std::make_unique<TMainForm>(options, run, &roots);
        SetMessageSink([&form, &run](EEventType type, const QString& text) {
            if (!form->isVisible() || run.Unattended())
                return WriteEventLog(type, text);
            if (type == EEventType::Error)
                QMessageBox::critical(form.get(), ApplicationTitle(), text);
            else
                QMessageBox::information(form.get(), ApplicationTitle(), text);
        });
        form->show();
    }
    QObject::connect(&run, &TProgramRun::QuitRequested, app.get(), [&form] {
        if (form)
            form->close();
        QCoreApplication::quit();
    });
    if (form)
        form->ProcessCommandLine();
    else
        run.Execute(GraphicsRunActions());
    const int status = QCoreApplication::exec();
    const int exitStatus = std::max(status, run.ExitStatus());
    if (!form) {
        // A windowless run has written everything it writes and saves no
        // settings: freeing a tree of millions of nodes one by one would only
        // delay the end.
        std::fflush(nullptr);
        std::_Exit(exitStatus);
    }
    roots.Closing = true;
    roots.Clear();
    SetMessageSink({});
    SetGlobalOptions(nullptr);
    return exitStatus;
}
