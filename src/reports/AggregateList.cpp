#include "AggregateList.h"

#include "app/GlobalOptions.h"
#include "scan/FileAggregates.h"
#include "scan/FolderData.h"
#include "scan/Root.h"

#include <QMimeDatabase>
#include <algorithm>

namespace kelvane {

using namespace viewtypes;

namespace {

TListTable AggregateList(const TFolderData& folder, const TAssocSizeArray& aggregate, QStringList captions, bool withDescription)
{
    const TGlobalOptions& options = GlobalOptions();
    std::vector<TAssocSizeArray::TEntry> entries = aggregate.SortedEntries(); // by name
    if (options.SortType == stSize)
        std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.Size > b.Size; });
    else if (options.SortType == stNone)
        entries = aggregate.Entries();
    const int64_t reference = folder.SizeData().Size;
    const bool compared = folder.Root && folder.Root->IsCompared;
    TListTable list;
    list.Captions = std::move(captions);
    for (const TAssocSizeArray::TEntry& entry : entries) {
        const QString name = aggregate.GetColumnText(entry, vt_Name, options.SizeUnit, reference);
        QStringList row{name,
                        aggregate.GetColumnText(entry, vt_size, options.SizeUnit, reference),
                        aggregate.GetColumnText(entry, vt_alloc, options.SizeUnit, reference),
                        compared ? QString() : aggregate.GetColumnText(entry, vt_percent, options.SizeUnit, reference),
                        aggregate.GetColumnText(entry, vt_files, options.SizeUnit, reference)};
        if (withDescription)
            row.append(ExtensionDescription(name));
        list.Rows.push_back(std::move(row));
    }
    return list;
}

} // namespace

TListTable ExtensionList(const TFolderData& folder)
{
    const TFileAggregates all = folder.SubtreeAggregates();
    return AggregateList(folder, all.Extensions,
                         {QStringLiteral("Extension"), QStringLiteral("Size"), QStringLiteral("Allocated"), QStringLiteral("Percent"),
                          QStringLiteral("Files"), QStringLiteral("Description")},
                         true);
}

TListTable OwnerList(const TFolderData& folder)
{
    const TFileAggregates all = folder.SubtreeAggregates();
    return AggregateList(folder, all.Users,
                         {QStringLiteral("Name"), QStringLiteral("Size"), QStringLiteral("Allocated"), QStringLiteral("Percent"),
                          QStringLiteral("Files")},
                         false);
}

QString SaveAggregateList(const TListTable& list, const QString& fileName)
{
    const bool csv = fileName.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
    return SaveListToFile(list, fileName, false, true, {}, csv ? QString() : QStringLiteral("\t"));
}

QString ExtensionDescription(const QString& extension)
{
    if (extension.isEmpty() || extension == QLatin1String(".") || extension == QLatin1String("(none)"))
        return QStringLiteral("No file extension");
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("x") + extension, QMimeDatabase::MatchExtension);
    if (!type.isDefault() && !type.comment().isEmpty())
        return type.comment();
    // Unknown types are named after their extension, as file managers do.
    return extension.mid(1).toUpper() + QStringLiteral(" File");
}

} // namespace kelvane
