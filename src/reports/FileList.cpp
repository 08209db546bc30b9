#include "FileList.h"

#include "app/ApplicationInfo.h"
#include "app/GlobalOptions.h"
#include "lib/platform/DirectoryLister.h"
#include "lib/platform/OwnerNames.h"
#include "lib/platform/Permissions.h"
#include "scan/AssocSizeArray.h"
#include "scan/CountFile.h"
#include "scan/FileAggregates.h"
#include "scan/FolderData.h"
#include "scan/Root.h"

#include <utility>
#include <vector>

namespace kelvane {

using namespace viewtypes;

namespace {

QString Cell(QString text)
{
    for (QChar& c : text)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    return text;
}

class TFileLister {
public:
    TFileLister(const TFolderData& folder, const QString& extensionFilter, const QString& ownerFilter, const TReportProgress& progress)
        : FRoot(*folder.Root)
        , FExtension(extensionFilter)
        , FOwner(ownerFilter)
        , FProgress(progress)
    {
        const TGlobalOptions& options = GlobalOptions();
        FFullPath = options.Columns.IsVisible(emText, vt_fullpath);
        FWithOwner = options.Columns.IsVisible(emText, vt_Owner);
        FWithPermissions = options.Columns.IsVisible(emText, vt_permissions);
        FWithTime = options.ShowDateAndTime;
        FFollowLinks = FRoot.Settings.FollowReparsePoints;
        const TFileAggregates all = folder.SubtreeAggregates();
        if (!FOwner.isEmpty())
            FTotal = all.Users.Lookup(FOwner).Files;
        else if (!FExtension.isEmpty())
            FTotal = all.Extensions.Lookup(FExtension).Files;
        else
            FTotal = folder.SizeData().Files;
        FTotal = qMax(1, FTotal);
    }

    QString Header(const QString& folderPath) const
    {
        const TColumnLayout& layout = GlobalOptions().Columns;
        QString text = ApplicationTitle() + QStringLiteral(" - File List of ") + folderPath + QStringLiteral("\r\n\r\n");
        text += FFullPath ? QStringLiteral("File\t") : QStringLiteral("Name\tPath\t");
        text += QStringLiteral("Size in Bytes\tLast Access\tLast Change\tCreation Date");
        if (FWithOwner)
            text += QLatin1Char('\t') + layout.Header(vt_Owner);
        if (FWithPermissions)
            text += QLatin1Char('\t') + layout.Header(vt_permissions);
        return text + QStringLiteral("\r\n");
    }

    // Returns false once cancelled.
    bool List(const std::string& path, std::vector<std::pair<uint64_t, uint64_t>>& branch)
    {
        TDirectoryLister lister(FFollowLinks ? TDirectoryLister::loResolveLinkTargets : TDirectoryLister::loNone);
        if (lister.Open(path) != 0)
            return true; // an unreadable folder lists nothing
        // Seen from above, a folder that leads back into its own branch is
        // listed no further.
        const std::pair<uint64_t, uint64_t> self{lister.Self().Device, lister.Self().Inode};
        for (const auto& ancestor : branch)
            if (ancestor == self)
                return true;
        std::vector<std::string> subfolders;
        TFindRecord entry;
        TSizeData counted;
        while (lister.Next(entry)) {
            if (entry.IsDirectory()) {
                if (!entry.IsReparsePoint() || FFollowLinks)
                    if (FRoot.ExcludePatterns.IsEmpty() || !FRoot.ExcludePatterns.Matches(entry.Name))
                        subfolders.emplace_back(entry.Name);
                continue;
            }
            if (!CountFile(FRoot, entry, counted, false) || !PassesFilters(entry))
                continue;
            AddLine(path, entry);
            if (FProgress && !FProgress(qMin(++FDone, FTotal), FTotal))
                return false;
        }
        lister.Close();
        branch.push_back(self);
        for (const std::string& name : subfolders)
            if (!List(path + name + '/', branch))
                return false;
        branch.pop_back();
        return true;
    }

    QString Text;

private:
    bool PassesFilters(const TFindRecord& entry) const
    {
        if (!FOwner.isEmpty() && TSID2Username::Instance().Lookup(entry.Uid).compare(FOwner, Qt::CaseInsensitive) != 0)
            return false;
        if (FExtension.isEmpty())
            return true;
        const QString key = FromLocalPath(TExtensionSizeArray::KeyOf(entry.Name));
        return key.compare(FExtension, Qt::CaseInsensitive) == 0;
    }

    void AddLine(const std::string& folder, const TFindRecord& entry)
    {
        const QString folderText = FromLocalPath(folder);
        const QString name = FromLocalPath(entry.Name);
        if (FFullPath)
            Text += Cell(folderText + name) + QLatin1Char('\t');
        else
            Text += Cell(name) + QLatin1Char('\t') + Cell(folderText) + QLatin1Char('\t');
        Text += QString::number(entry.Size) + QLatin1Char('\t') + FormatFileTime(entry.LastAccessTime, FWithTime) + QLatin1Char('\t')
            + FormatFileTime(entry.LastWriteTime, FWithTime) + QLatin1Char('\t') + FormatFileTime(entry.CreationTime, FWithTime);
        if (FWithOwner)
            Text += QLatin1Char('\t') + Cell(TSID2Username::Instance().Lookup(entry.Uid));
        if (FWithPermissions) {
            QString error;
            const auto permissions = GetPermissionsText(folderText + name, QStringLiteral("   "), &error);
            Text += QLatin1Char('\t') + Cell(permissions ? *permissions : QStringLiteral("Error: ") + error);
        }
        Text += QStringLiteral("\r\n");
    }

    TRoot& FRoot;
    QString FExtension;
    QString FOwner;
    TReportProgress FProgress;
    bool FFullPath = false;
    bool FWithOwner = false;
    bool FWithPermissions = false;
    bool FWithTime = false;
    bool FFollowLinks = false;
    int FTotal = 1;
    int FDone = 0;
};

} // namespace

QString BuildFileList(const TFolderData& folder, const QString& extensionFilter, const QString& ownerFilter, const TReportProgress& progress)
{
    TFileLister lister(folder, extensionFilter, ownerFilter, progress);
    const QString path = folder.GetFullPath();
    if (GlobalOptions().Media(emText).IncludeHeader)
        lister.Text = lister.Header(path);
    std::vector<std::pair<uint64_t, uint64_t>> branch;
    lister.List(folder.GetFullPathBytes(), branch);
    return lister.Text;
}

} // namespace kelvane
