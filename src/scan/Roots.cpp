#include "Roots.h"

#include "app/EventLog.h"
#include "app/GlobalOptions.h"
#include "lib/WildcardMatcher.h"
#include "lib/platform/DirectoryLister.h"
#include "lib/platform/ErrorCodes.h"
#include "lib/platform/Paths.h"

#include <QDir>
#include <algorithm>
#include <unordered_map>

namespace kelvane {

bool ReportPathMessage(const QString& message, const QString& path, bool force)
{
    if (path.toUpper().contains(QLatin1String("SYSTEM VOLUME INFORMATION")))
        return false;
    if (!force && !(HasGlobalOptions() && GlobalOptions().ShowErrors))
        return false;
    ShowMessage(EEventType::Error, path.isEmpty() ? message : QStringLiteral("Path \"%1\": %2").arg(path, message));
    return true;
}

bool ReportPathError(int32_t code, const QString& path, bool force)
{
    if (code == 0)
        return false;
    return ReportPathMessage(GetErrorText(code), path, force);
}

TRoots::TRoots(QObject* parent)
    : QObject(parent)
{
    FTimer.setInterval(400);
    connect(&FTimer, &QTimer::timeout, this, [this] {
        InsertNewNodes();
        ReportScanErrors();
    });
    FTimer.start();
}

TRoots::~TRoots()
{
    Closing = true;
    Clear();
}

TRoot* TRoots::Find(const QString& path) const
{
    const QString wanted = IncludeTrailingPathDelimiter(path);
    for (const auto& root : FRoots)
        if (SamePath(root->Path, wanted))
            return root.get();
    return nullptr;
}

TRoot* TRoots::FindOrAdd(const QString& path)
{
    auto root = std::make_unique<TRoot>(*this, path);
    if (TRoot* existing = Find(root->Path))
        return existing;
    emit RootAboutToBeAdded();
    FRoots.push_back(std::move(root));
    TRoot* added = FRoots.back().get();
    added->AutomaticUpdates = false; // automatic updates come with change notifications
    emit RootAdded(added);
    return added;
}

TRoot* TRoots::AddRoot(std::unique_ptr<TRoot> root)
{
    emit RootAboutToBeAdded();
    FRoots.push_back(std::move(root));
    emit RootAdded(FRoots.back().get());
    return FRoots.back().get();
}

std::vector<TRoot*> TRoots::ScanPath(const QString& path, const TPostProcessInformation* postProcessing, const QString& title)
{
    std::vector<TRoot*> result;
    if (path.isEmpty() || Closing)
        return result;
    if (IsServerName(path)) {
        ReportPathMessage(QStringLiteral("Scanning all shares of a server is not supported in this version"), path, true);
        emit RootFailed(path, QStringLiteral("not supported"));
        return result;
    }
    if (!path.contains(QLatin1Char('*')) && !path.contains(QLatin1Char('?'))) {
        TRoot* root = FindOrAdd(path);
        if (!root->Scan(nullptr, postProcessing)) {
            Remove(root);
            return result;
        }
        if (!title.isEmpty())
            root->ScanTitle = title;
        result.push_back(root);
        return result;
    }
    // A wildcard in the last part: every matching folder is a root of its own.
    const QString pattern = ExcludeTrailingPathDelimiter(path);
    const QString folder = ExtractFilePath(QDir::current().absoluteFilePath(pattern));
    const std::string mask = ExtractFileName(pattern).toUpper().toStdString();
    TDirectoryLister lister(TDirectoryLister::loFoldersOnly | TDirectoryLister::loResolveLinkTargets);
    if (const int32_t error = lister.Open(ToLocalPath(folder))) {
        ReportPathError(error, folder, ForceRootErrors);
        emit RootFailed(folder, GetErrorText(error));
        return result;
    }
    QStringList matches;
    TFindRecord entry;
    while (lister.Next(entry))
        if (entry.IsDirectory() && WildcardMatch(mask, entry.Name))
            matches.append(folder + FromLocalPath(entry.Name));
    matches.sort();
    for (const QString& match : matches)
        for (TRoot* root : ScanPath(match, postProcessing, title))
            result.push_back(root);
    return result;
}

void TRoots::Remove(TRoot* root)
{
    const auto it = std::find_if(FRoots.begin(), FRoots.end(), [root](const auto& r) { return r.get() == root; });
    if (it == FRoots.end())
        return;
    root->Stop();
    emit RootAboutToBeRemoved(root);
    std::unique_ptr<TRoot> doomed = std::move(*it);
    FRoots.erase(it);
    doomed.reset();
    emit RootRemoved();
}

void TRoots::RemoveNode(TFolderData* node, bool subtract)
{
    TFolderData* parent = node ? node->Parent : nullptr;
    if (!parent || node->IsScanning())
        return;
    if (subtract) {
        std::lock_guard lock(node->Root->Lock);
        TSizeData delta = node->SizeData();
        delta.Folders += node->IsFolder() ? 1 : 0;
        parent->SubtractDelta(delta, false);
    }
    emit NodeAboutToBeRemoved(node);
    std::unique_ptr<TFolderData> doomed = parent->TakeChild(node);
    emit NodeRemoved(parent);
}

void TRoots::Clear()
{
    while (!FRoots.empty())
        Remove(FRoots.back().get());
}

bool TRoots::IsAnyScanning() const
{
    return std::any_of(FRoots.begin(), FRoots.end(), [](const auto& r) { return r->IsScanning(); });
}

void TRoots::AddNewNode(TFolderData* node, uint32_t generation)
{
    std::lock_guard lock(FNewNodesLock);
    FNewNodes.emplace_back(node, generation);
}

void TRoots::DiscardNewNodes(TRoot* root)
{
    std::vector<TFolderData*> doomed;
    {
        std::lock_guard lock(FNewNodesLock);
        std::erase_if(FNewNodes, [&](const auto& entry) {
            if (entry.first->Root != root)
                return false;
            doomed.push_back(entry.first);
            return true;
        });
    }
    for (TFolderData* node : doomed)
        delete node;
}

void TRoots::InsertNewNodes()
{
    std::vector<std::pair<TFolderData*, uint32_t>> nodes;
    {
        std::lock_guard lock(FNewNodesLock);
        nodes.swap(FNewNodes);
    }
    if (nodes.empty())
        return;
    // One bracket per run of siblings, in the order the nodes arrived (a
    // parent always arrives before its own children). No map of parents: the
    // last hand-over of a large scan holds thousands of them.
    size_t i = 0;
    while (i < nodes.size()) {
        auto [node, generation] = nodes[i];
        if (generation != node->Root->Generation.load()) {
            delete node; // from a scan whose tree was replaced meanwhile
            ++i;
            continue;
        }
        TFolderData* parent = node->Parent;
        size_t end = i + 1;
        while (end < nodes.size() && nodes[end].first->Parent == parent && nodes[end].second == nodes[end].first->Root->Generation.load())
            ++end;
        const int first = int(parent->Children().size());
        emit ChildrenAboutToBeInserted(parent, first, first + int(end - i) - 1);
        for (size_t k = i; k < end; ++k)
            parent->AppendChild(nodes[k].first);
        emit ChildrenInserted(parent);
        i = end;
    }
    emit NodesChanged();
}

void TRoots::ReportScanErrors()
{
    for (auto it = FRoots.rbegin(); it != FRoots.rend(); ++it)
        if (TFolderData* folder = (*it)->TakeLastErrorFolder()) {
            ReportPathError(folder->Error, folder->GetFullPath(), false);
            return;
        }
}

} // namespace kelvane
