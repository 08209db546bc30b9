#include "ListText.h"

#include "BufferdFileStream.h"
#include "lib/ListSeparator.h"

#include <QDir>
#include <QFileInfo>
#include <QStringEncoder>

namespace kelvane {

namespace {

QString Field(const QString& text, const QString& quote)
{
    if (quote.isEmpty()) {
        QString flat = text;
        for (QChar& c : flat)
            if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
                c = QLatin1Char(' ');
        return flat;
    }
    QString quoted = text;
    quoted.replace(quote, quote + quote);
    return quote + quoted + quote;
}

QString Line(const QStringList& cells, const QString& separator, const QString& quote)
{
    QStringList fields;
    fields.reserve(cells.size());
    for (const QString& cell : cells)
        fields.append(Field(cell, quote));
    return fields.join(separator) + QStringLiteral("\r\n");
}

} // namespace

QString TListTable::Text(const QString& separator, const QString& quote, bool includeHeader) const
{
    QString text;
    if (includeHeader)
        text += Line(Captions, separator, quote);
    for (const QStringList& row : Rows)
        text += Line(row, separator, quote);
    return text;
}

QString SaveListToFile(const TListTable& list, const QString& fileName, bool append, bool includeHeader, QString quote, QString separator)
{
    const bool csv = fileName.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
    if (separator.isEmpty())
        separator = ListSeparator();
    if (quote.isEmpty() && csv)
        quote = QStringLiteral("\"");
    const QString folder = QFileInfo(fileName).absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("Could not create the folder %1").arg(folder);

    TBufferdFileStream file;
    if (const QString error = file.Open(fileName, append); !error.isEmpty())
        return QStringLiteral("An error occured while opening the file: ") + fileName + QStringLiteral("\r\n") + error;
    const QString text = list.Text(separator, quote, includeHeader);
    const bool mark = file.IsNewFile();
    if (csv) {
        if (mark)
            file.WriteBuffered(QByteArray("\xEF\xBB\xBF"));
        file.WriteBuffered(text.toUtf8());
    } else {
        if (mark)
            file.WriteBuffered(QByteArray("\xFF\xFE"));
        QStringEncoder utf16(QStringEncoder::Utf16LE);
        file.WriteBuffered(QByteArray(utf16(text)));
    }
    if (const QString error = file.Commit(); !error.isEmpty())
        return QStringLiteral("An error occured while writing to the file: ") + fileName + QStringLiteral("\r\n") + error;
    return {};
}

} // namespace kelvane
