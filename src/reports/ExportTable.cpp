#include "ExportTable.h"

#include "app/EventLog.h"
#include "app/GlobalOptions.h"
#include "scan/FolderData.h"
#include "scan/Root.h"

#include <QDateTime>
#include <QLocale>

namespace kelvane {

TExportTable TExportTable::ForMedium(int medium, const QString& separator, TCellSyntax syntax)
{
    const TGlobalOptions& options = GlobalOptions();
    if (const QString warning = options.Columns.NoColumnWarning(medium); !warning.isEmpty())
        ShowMessage(EEventType::Error, warning);
    TExportTable table;
    table.Columns = options.Columns.ColumnOrder(medium);
    table.Separator = separator;
    table.Syntax = syntax;
    table.PlainNumbers = options.UsePlainNumbers;
    return table;
}

QString TExportTable::Cell(const QString& text) const
{
    switch (Syntax) {
    case TCellSyntax::Html:
        return HtmlEscaped(text);
    case TCellSyntax::Csv: {
        const bool quote = text.contains(Separator) || text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\r'))
            || text.contains(QLatin1Char('\n'));
        if (!quote)
            return text;
        QString quoted = text;
        quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
        return QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    case TCellSyntax::Tab:
        break;
    }
    QString flat = text;
    for (QChar& c : flat)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    return flat;
}

QString TExportTable::ColumnHeader(const QString& separator) const
{
    const TColumnLayout& layout = GlobalOptions().Columns;
    QStringList titles;
    for (int type : Columns)
        titles.append(Cell(layout.Header(type).leftJustified(15)));
    return titles.join(separator);
}

QString TExportTable::Row(const TFolderData& folder) const
{
    QStringList cells;
    for (int type : Columns)
        cells.append(Cell(folder.GetColumnText(type, PlainNumbers, false)));
    return cells.join(Separator);
}

QString HtmlEscaped(const QString& text)
{
    return text.toHtmlEscaped(); // &, <, > and "
}

QString DateStamp()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    return locale.toString(now.date(), QLocale::ShortFormat) + QStringLiteral("  ") + locale.toString(now.time(), QLocale::ShortFormat);
}

QString DriveLine(TRoot& root, const QString& separator)
{
    const TGlobalOptions& options = GlobalOptions();
    auto size = [&options](int64_t bytes) { return KVPFormatSize(options.SizeUnit, options.Decimals, double(qMax<int64_t>(0, bytes))); };
    const int64_t total = root.TotalBytes;
    const int64_t free = root.FreeBytes;
    return QStringLiteral("Drive: ") + root.DriveRoot + separator + QStringLiteral(" Size: ") + size(total) + separator
        + QStringLiteral(" Used: ") + size(total - free) + separator + QStringLiteral(" Free: ") + size(free) + separator
        + QStringLiteral("    ") + root.ClusterText();
}

TBranchProgress::TBranchProgress(const TFolderData& start, const TReportProgress& progress)
    : FProgress(progress)
    , FTotal(qMax(10, start.SizeData().Folders + 1))
{
}

bool TBranchProgress::Advance(int steps)
{
    if (FCancelled)
        return false;
    FDone += steps;
    if (FProgress && !FProgress(qMin(FDone, FTotal), FTotal))
        FCancelled = true;
    return !FCancelled;
}

bool WalkBranch(const TFolderData& start, bool fullBranch, TBranchProgress& progress,
                const std::function<bool(const TFolderData&)>& row)
{
    if (progress.Cancelled() || !row(start))
        return false;
    if (start.IsExpanded() || fullBranch) {
        if (!progress.Advance(1))
            return false;
        for (const TFolderData* child : start.Children())
            if (!WalkBranch(*child, fullBranch, progress, row))
                return false;
        return true;
    }
    if (!start.IsFilesItem())
        return progress.Advance(start.SizeData().Folders + 1);
    return true;
}

} // namespace kelvane
