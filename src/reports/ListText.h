#pragma once
#include <QString>
#include <QStringList>
#include <vector>

namespace kelvane {

// The contents of a list view as text: its column captions and its rows of
// cell texts, in display order.
struct TListTable {
    QStringList Captions;
    std::vector<QStringList> Rows;

    // The captions (when asked) and every row, each cell between the quote
    // strings (a quote inside a cell is doubled), joined by the separator,
    // each line ended by CR LF. Without a quote, tabs and line breaks inside
    // a cell become blanks.
    QString Text(const QString& separator, const QString& quote, bool includeHeader) const;
};

// Writes a list to a file: an empty separator means the list separator; no
// quote with a ".csv" name means the double quote. ".csv" files are written
// in UTF-8, all others in UTF-16 little-endian, each with its byte-order
// mark when writing starts at the beginning of the file. Missing folders are
// created. Returns an empty text or the error.
QString SaveListToFile(const TListTable& list, const QString& fileName, bool append = false, bool includeHeader = true,
                       QString quote = {}, QString separator = {});

} // namespace kelvane
