// The window half of dromlet, loaded only by runs that show a window or draw
// (charts, the clipboard): windowless scans start without the graphics
// libraries.
#include "ApplicationInfo.h"
#include "EventLog.h"
#include "ProgramMain.h"
#include "views/GraphicsRunActions.h"
#include "views/MainForm.h"

#include <QApplication>
#include <QMessageBox>

using namespace kelvane;

extern "C" __attribute__((visibility("default"))) int KelvaneWindowMain(int argc, char** argv, const QStringList* arguments)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(ApplicationTitle());
    QCoreApplication::setOrganizationName(OrganizationName());
    QCoreApplication::setApplicationVersion(ProgramVersion());

    TWindowHooks hooks;
    hooks.Actions = GraphicsRunActions;
    hooks.ShowWindow = [](TGlobalOptions& options, TProgramRun& run, TRoots& roots) {
        auto form = std::make_unique<TMainForm>(options, run, &roots);
        TMainForm* shown = form.get();
        SetMessageSink([shown, &run](EEventType type, const QString& text) {
            if (!shown->isVisible() || run.Unattended())
                return WriteEventLog(type, text);
            if (type == EEventType::Error)
                QMessageBox::critical(shown, ApplicationTitle(), text);
            else
                QMessageBox::information(shown, ApplicationTitle(), text);
        });
        form->show();
        form->ProcessCommandLine();
        return std::unique_ptr<QObject>(std::move(form));
    };
    return RunProgram(*arguments, hooks);
}
