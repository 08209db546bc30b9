#include "ClipboardActions.h"

#include "reports/TextExport.h"

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

QString CopyBranchToClipboard(TFolderData& folder)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return QStringLiteral("Error while accessing clipboard: no clipboard");
    clipboard->setText(ExportTextToString(folder));
    return {};
}

} // namespace kelvane
