#include "ApplicationInfo.h"
#include "CommandLine.h"
#include "EventLog.h"
#include "GlobalOptions.h"
#include "ProgramMain.h"
#include "lib/platform/Processor.h"

#include <QCoreApplication>
#include <dlfcn.h>
#include <string>
#include <unistd.h>
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

// The window half lives beside the program; loading it costs the graphics
// libraries, which windowless scans never need.
int RunWindowModule(int argc, char** argv, const QStringList& arguments)
{
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string folder = n > 0 ? std::string(self, size_t(n)) : std::string(argv[0]);
    folder = folder.substr(0, folder.rfind('/') + 1);
    const std::string module = folder + "libkelvane_window.so";
    void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "dromlet: cannot load the window module: %s\n", dlerror());
        return 1;
    }
    using TWindowMain = int (*)(int, char**, const QStringList*);
    auto start = reinterpret_cast<TWindowMain>(dlsym(handle, "KelvaneWindowMain"));
    if (!start) {
        std::fprintf(stderr, "dromlet: %s is not the window module\n", module.c_str());
        return 1;
    }
    return start(argc, argv, &arguments);
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
    if (!noGuiSwitch || NeedsGraphics(arguments))
        return RunWindowModule(argc, argv, arguments);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(ApplicationTitle());
    QCoreApplication::setOrganizationName(OrganizationName());
    QCoreApplication::setApplicationVersion(ProgramVersion());
    return RunProgram(arguments, {});
}
