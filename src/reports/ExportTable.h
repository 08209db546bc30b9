#pragma once
#include "XMLReportWriter.h"

#include <QString>
#include <functional>
#include <vector>

namespace kelvane {

class TFolderData;
class TRoot;

// How the cells of a row are joined and protected.
enum class TCellSyntax {
    Tab,  // tabs and line breaks inside a cell become blanks
    Csv,  // a cell holding the separator, a quote or a line break is quoted
    Html, // "&", "<", ">" and quotes become entities
};

// The columns of one export medium and how its rows are written.
struct TExportTable {
    std::vector<int> Columns; // column types in display order
    QString Separator;
    TCellSyntax Syntax = TCellSyntax::Tab;
    bool PlainNumbers = false;

    // The medium's visible columns; a medium without any is reported
    // ("No column activated for ...") and exported without columns.
    static TExportTable ForMedium(int medium, const QString& separator, TCellSyntax syntax);

    QString Cell(const QString& text) const;
    // Each title padded with blanks to 15 characters, joined by the
    // separator (or by another one: HTML heads its table with "</th><th>").
    QString ColumnHeader() const { return ColumnHeader(Separator); }
    QString ColumnHeader(const QString& separator) const;
    QString Row(const TFolderData& folder) const;
};

QString HtmlEscaped(const QString& text);

// Header pieces shared by the reports.
QString DateStamp(); // local short date, two blanks, short time
QString DriveLine(TRoot& root, const QString& separator);

// Counts the folders an export walks for its progress display.
class TBranchProgress {
public:
    TBranchProgress(const TFolderData& start, const TReportProgress& progress);
    // False once the user cancelled.
    bool Advance(int steps);
    bool Cancelled() const { return FCancelled; }

private:
    TReportProgress FProgress;
    int FDone = 0;
    int FTotal = 0;
    bool FCancelled = false;
};

// The rows of a branch in tree order: the start folder, then its children
// when it is expanded or the whole branch is exported, and so on. Returns
// false when the progress display was cancelled.
bool WalkBranch(const TFolderData& start, bool fullBranch, TBranchProgress& progress,
                const std::function<bool(const TFolderData&)>& row);

} // namespace kelvane
