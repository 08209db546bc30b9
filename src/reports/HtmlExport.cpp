#include "HtmlExport.h"

#include "BufferdFileStream.h"
#include "ExportTable.h"
#include "app/ApplicationInfo.h"
#include "app/GlobalOptions.h"
#include "lib/platform/Paths.h"
#include "scan/FolderData.h"
#include "scan/Root.h"

#include <QFileInfo>
#include <QUrl>

namespace kelvane {

namespace {

// The image's bare name when it lies beside the page, so the page and its
// image can be moved together.
QString ImageReference(const QString& htmlFile, const QString& image)
{
    const QFileInfo page(htmlFile);
    const QFileInfo picture(image);
    if (SamePath(picture.absolutePath(), page.absolutePath()))
        return picture.fileName();
    return image;
}

} // namespace

QString ExportHTMLFile(TFolderData& folder, const QString& fileName, const QString& imageName, const TReportProgress& progress)
{
    const TGlobalOptions& options = GlobalOptions();
    TRoot& root = *folder.Root;
    const TExportTable table = TExportTable::ForMedium(emHtml, QStringLiteral("</td><td>"), TCellSyntax::Html);

    TBufferdFileStream file;
    if (const QString error = file.Open(fileName, false); !error.isEmpty())
        return QStringLiteral("An error occured while opening the file: ") + fileName;
    auto line = [&file](const QString& text) { file.WriteBuffered((text + QStringLiteral("\r\n")).toUtf8()); };
    const QString title = HtmlEscaped(ApplicationTitle());

    line(QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\" >"));
    line(QStringLiteral("<HTML>"));
    line(QStringLiteral("<HEAD>"));
    line(QStringLiteral("<TITLE>") + title + QStringLiteral(" Report, ") + HtmlEscaped(folder.GetFullPath()) + QStringLiteral("</TITLE>"));
    line(QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">"));
    if (!options.HTMLStyleSheet.isEmpty())
        line(QStringLiteral("<link rel=\"stylesheet\" href=\"") + HtmlEscaped(QUrl::fromLocalFile(options.HTMLStyleSheet).toString(QUrl::FullyEncoded))
             + QStringLiteral("\" type=\"text/css\">"));
    line(QStringLiteral("</HEAD>"));
    line(QStringLiteral("<BODY>"));
    if (options.Media(emHtml).IncludeHeader) {
        line(QStringLiteral("<h1 align=\"center\">") + title + QStringLiteral(" Report, ") + HtmlEscaped(DateStamp()) + QStringLiteral("</h1>"));
        line(QStringLiteral("<h1 align=\"center\">") + HtmlEscaped(root.ReportCaption()) + QStringLiteral("</h1>"));
        // The separator is markup: the drive line's pieces are escaped one by one.
        line(QStringLiteral("<h3>") + HtmlEscaped(DriveLine(root, QStringLiteral("\x01"))).replace(QChar(1), QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;"))
             + QStringLiteral("</h3>"));
        if (!imageName.isEmpty())
            line(QStringLiteral("<p align=\"center\"><img src=\"") + HtmlEscaped(ImageReference(fileName, imageName)) + QStringLiteral("\"></p>"));
    }
    line(QStringLiteral("<table border=1 cellpadding=2><tr><th>") + table.ColumnHeader(QStringLiteral("</th><th>"))
         + QStringLiteral("</th></tr>"));
    TBranchProgress counter(folder, progress);
    WalkBranch(folder, options.Media(emHtml).ExportFullBranch, counter, [&](const TFolderData& row) {
        line(QStringLiteral("<tr><td>") + table.Row(row) + QStringLiteral("</td></tr>"));
        return true;
    });
    line(QStringLiteral("</TABLE>"));
    line(QStringLiteral("</BODY></HTML>"));
    if (const QString error = file.Commit(); !error.isEmpty())
        return QStringLiteral("An error occured while writing to the file: ") + fileName + QStringLiteral("\r\n") + error;
    return {};
}

} // namespace kelvane
