#include "HistoryReader.h"

#include "XMLFileStream.h"
#include "XMLReportParser.h"
#include "app/GlobalOptions.h"
#include "scan/Root.h"

#include <QFile>
#include <climits>

namespace kelvane {

namespace {

bool SameIgnoringCase(std::string_view a, const char* b)
{
    return QString::fromUtf8(a.data(), qsizetype(a.size())).compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

bool SamePatterns(const QStringList& a, const QStringList& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].compare(b[i], Qt::CaseInsensitive) != 0)
            return false;
    return true;
}

class THistoryReader : public TReportParser {
public:
    THistoryReader(const QString& path, const QStringList& patterns)
        : FPath(path)
        , FPatterns(patterns)
    {
    }

    std::unique_ptr<THistoryDataCollection> Entries;

private:
    void OnStart(std::string_view n, const XML_Char** a) override
    {
        if (SameIgnoringCase(n, "Root")) {
            const char* path = Attribute(a, "path");
            FCurrent = nullptr;
            if (path && QString::fromUtf8(path).compare(FPath, Qt::CaseInsensitive) == 0) {
                if (!Entries)
                    Entries = std::make_unique<THistoryDataCollection>();
                FCurrent = &Entries->emplace_back();
            }
        } else if (FCurrent && SameIgnoringCase(n, "SizeData")) {
            FCurrent->SizeData = Counters(a);
        }
    }

    void OnEnd(std::string_view n, const std::string& text) override
    {
        if (!FCurrent)
            return;
        if (SameIgnoringCase(n, "Root")) {
            // Scans made with other exclusions are not comparable.
            if (!SamePatterns(FCurrent->Patterns, FPatterns))
                Entries->pop_back();
            FCurrent = nullptr;
        } else if (SameIgnoringCase(n, "Date")) {
            bool ok = false;
            FCurrent->Date = QByteArray::fromStdString(Trimmed(text)).toDouble(&ok);
            if (!ok)
                throw TReportStop{QStringLiteral("Invalid date \"%1\"").arg(QString::fromStdString(text))};
        } else if (SameIgnoringCase(n, "Freespace")) {
            FCurrent->Freespace = ToNumber(text, "Freespace");
        } else if (SameIgnoringCase(n, "pattern")) {
            FCurrent->Patterns.append(QString::fromStdString(Trimmed(text)));
        }
    }

    QString FPath;
    QStringList FPatterns;
    THistoryData* FCurrent = nullptr;
};

} // namespace

std::unique_ptr<THistoryDataCollection> ReadHistoryData(const QByteArray& data, const QString& path,
                                                        const QStringList& excludePatterns, QString* error)
{
    THistoryReader reader(path, excludePatterns);
    const QString message = reader.Parse(data);
    if (!message.isEmpty()) {
        if (error)
            *error = message;
        return nullptr;
    }
    if (reader.Entries && reader.Entries->empty())
        return nullptr;
    return std::move(reader.Entries);
}

std::unique_ptr<THistoryDataCollection> ReadHistory(const QString& historyFile, const QString& path,
                                                    const QStringList& excludePatterns, QString* error)
{
    QFile file(historyFile);
    if (!file.exists())
        return nullptr;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Could not parse XML file %1!\r\n\r\n%2").arg(historyFile, file.errorString());
        return nullptr;
    }
    QString message;
    auto entries = ReadHistoryData(file.readAll(), path, excludePatterns, &message);
    if (!message.isEmpty() && error)
        *error = QStringLiteral("Could not parse XML file %1!\r\n\r\n%2").arg(historyFile, message);
    return entries;
}

const THistoryDataCollection* GetHistory(TRoot& root)
{
    if (!root.History && HasGlobalOptions())
        root.History = ReadHistory(GlobalOptions().HistoryFilePath(), root.Path, root.ExcludePatterns.Patterns());
    return root.History.get();
}

} // namespace kelvane
