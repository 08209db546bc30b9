#include "TextExport.h"

#include "BufferdFileStream.h"
#include "ExportTable.h"
#include "app/ApplicationInfo.h"
#include "app/GlobalOptions.h"
#include "lib/ListSeparator.h"
#include "scan/FolderData.h"
#include "scan/Root.h"

#include <QLocale>

namespace kelvane {

namespace {

const QString CrLf = QStringLiteral("\r\n");

// While a CSV file is written, numbers lose their thousands separator when
// it would be read as a field or decimal separator.
class TCsvNumberGuard {
public:
    explicit TCsvNumberGuard(QChar listSeparator)
    {
        const QLocale locale;
        const QString group = locale.groupSeparator();
        if (group == QString(listSeparator) || group == locale.decimalPoint()) {
            QLocale plain = locale;
            plain.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
            QLocale::setDefault(plain);
            FRestore = true;
            FSaved = locale;
        }
    }
    ~TCsvNumberGuard()
    {
        if (FRestore)
            QLocale::setDefault(FSaved);
    }
    TCsvNumberGuard(const TCsvNumberGuard&) = delete;
    TCsvNumberGuard& operator=(const TCsvNumberGuard&) = delete;

private:
    bool FRestore = false;
    QLocale FSaved;
};

QString HeaderBlock(TFolderData& folder, const TExportTable& table)
{
    TRoot& root = *folder.Root;
    return ApplicationTitle() + QStringLiteral(" Report, ") + DateStamp() + CrLf + QStringLiteral("  ") + root.ReportCaption() + CrLf
        + DriveLine(root, QStringLiteral("    ")) + CrLf + CrLf + table.ColumnHeader() + CrLf;
}

// Writes the text of a branch piece by piece; returns false when cancelled.
bool WriteBranchText(TFolderData& folder, const TExportTable& table, const TReportProgress& progress,
                     const std::function<void(const QString&)>& write)
{
    const TGlobalOptions& options = GlobalOptions();
    write(CrLf);
    if (options.Media(emText).IncludeHeader)
        write(HeaderBlock(folder, table));
    TBranchProgress counter(folder, progress);
    return WalkBranch(folder, options.Media(emText).ExportFullBranch, counter, [&](const TFolderData& row) {
        write(table.Row(row) + CrLf);
        return true;
    });
}

} // namespace

QString ExportTextFile(TFolderData& folder, const QString& fileName, bool append, const TReportProgress& progress)
{
    const bool csv = fileName.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
    const QChar separator = csv ? ListSeparator() : QLatin1Char('\t');
    std::optional<TCsvNumberGuard> guard;
    if (csv)
        guard.emplace(separator);
    const TExportTable table = TExportTable::ForMedium(emText, QString(separator), csv ? TCellSyntax::Csv : TCellSyntax::Tab);

    TBufferdFileStream file;
    if (const QString error = file.Open(fileName, append); !error.isEmpty())
        return QStringLiteral("An error occured while opening the file: ") + fileName + CrLf + error;
    WriteBranchText(folder, table, progress, [&file](const QString& text) { file.WriteBuffered(text.toUtf8()); });
    // A cancelled export keeps the rows written so far.
    if (const QString error = file.Commit(); !error.isEmpty())
        return QStringLiteral("An error occured while writing to the file: ") + fileName + CrLf + error;
    return {};
}

QString ExportTextToString(TFolderData& folder, const TReportProgress& progress)
{
    const TExportTable table = TExportTable::ForMedium(emText, QStringLiteral("\t"), TCellSyntax::Tab);
    QString text;
    WriteBranchText(folder, table, progress, [&text](const QString& piece) { text += piece; });
    return text;
}

} // namespace kelvane
