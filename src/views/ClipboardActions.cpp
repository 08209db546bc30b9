#include "ClipboardActions.h"

#include <QClipboard>
#include <QGuiApplication>

namespace kelvane {

TRunActions ClipboardActions()
{
    TRunActions actions;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        actions.ClearClipboard = [] { QGuiApplication::clipboard()->clear(); };
        actions.SetClipboardText = [](const QString& text) { QGuiApplication::clipboard()->setText(text); };
    }
    return actions;
}

} // namespace kelvane
