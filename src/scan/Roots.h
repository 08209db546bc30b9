#pragma once
#include "Root.h"

#include <QObject>
#include <QTimer>
#include <memory>
#include <mutex>
#include <vector>

namespace kelvane {

// Every scan root of the program, and the hand-over of nodes that scan
// threads create to the user-interface thread, where they join the tree
// (every 400 ms and when a scan ends). Windowed and windowless runs use it
// alike.
class TRoots : public QObject {
    Q_OBJECT
public:
    explicit TRoots(QObject* parent = nullptr);
    ~TRoots() override;

    // The entry for every scan request: a plain path is one root (scanned
    // again in place when it exists), a wildcard path one root per matching
    // folder. Returns the roots that were made or rescanned.
    std::vector<TRoot*> ScanPath(const QString& path, const TPostProcessInformation* postProcessing = nullptr,
                                 const QString& title = {});
    TRoot* FindOrAdd(const QString& path);
    // Takes a root filled from a report into the collection.
    TRoot* AddRoot(std::unique_ptr<TRoot> root);
    TRoot* Find(const QString& path) const;
    void Remove(TRoot* root);
    // Takes a folder that is not being scanned out of its tree; with
    // subtract its counters leave its ancestors too, otherwise their totals
    // stay (the disk is not touched either way).
    void RemoveNode(TFolderData* node, bool subtract);
    void Clear();
    bool IsAnyScanning() const;
    const std::vector<std::unique_ptr<TRoot>>& Items() const { return FRoots; }

    // Called by scan threads: generation is the root's when the job began.
    void AddNewNode(TFolderData* node, uint32_t generation);
    // Moves the waiting nodes into the tree (user-interface thread).
    void InsertNewNodes();
    // Forgets waiting nodes of a root (before its tree is replaced).
    void DiscardNewNodes(TRoot* root);

    // Reports the most recent listing error of a root (timer).
    void ReportScanErrors();

    // Root failures are always reported when set (windowless and unattended
    // runs); otherwise only with the ShowErrors option or a visible window.
    bool ForceRootErrors = false;
    bool Closing = false;
    // Worker threads per root; 0: eight per processor.
    int ThreadLimit = 0;

signals:
    // Brackets for views: a root is appended, or removed.
    void RootAboutToBeAdded();
    void RootAdded(kelvane::TRoot* root);
    void RootAboutToBeRemoved(kelvane::TRoot* root);
    void RootRemoved();
    void ScanStarted(kelvane::TRoot* root);
    void ScanEnded(kelvane::TRoot* root);
    void RootFailed(const QString& path, const QString& message);
    // Brackets for views: children are appended to parent.
    void ChildrenAboutToBeInserted(kelvane::TFolderData* parent, int first, int last);
    void ChildrenInserted(kelvane::TFolderData* parent);
    void ChildrenAboutToBeRemoved(kelvane::TFolderData* parent);
    void ChildrenRemoved(kelvane::TFolderData* parent);
    void NodeAboutToBeRemoved(kelvane::TFolderData* node);
    void NodeRemoved(kelvane::TFolderData* parent);
    void NodesChanged();

private:
    friend class TRoot;
    std::vector<std::unique_ptr<TRoot>> FRoots;
    std::mutex FNewNodesLock;
    std::vector<std::pair<TFolderData*, uint32_t>> FNewNodes;
    QTimer FTimer;
};

// Reports an error for a path: "Path \"<path>\": <message>". Nothing for
// code 0, for paths inside "System Volume Information", or without force
// while the ShowErrors option is off. Returns whether it was shown.
bool ReportPathError(int32_t code, const QString& path, bool force);
bool ReportPathMessage(const QString& message, const QString& path, bool force);

} // namespace kelvane
