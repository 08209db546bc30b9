// How long the tree view takes to expand and to sort a folder of 100,000
// children, offscreen. Prints milliseconds; the window must stay responsive
// (under 100 ms for each).
#include "app/GlobalOptions.h"
#include "scan/FolderData.h"
#include "scan/Root.h"
#include "scan/Roots.h"
#include "scan/TreeOrder.h"
#include "views/FolderTreeDelegate.h"
#include "views/FolderTreeModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTreeView>
#include <cstdio>
#include <random>

using namespace kelvane;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int children = argc > 1 ? std::atoi(argv[1]) : 100000;
    TGlobalOptions options;
    SetGlobalOptions(&options);
    TRoots roots;
    TRoot* root = roots.AddRoot(TRoot::CreateForReport(roots, QStringLiteral("/bench/")));
    std::mt19937 random(42);
    for (int i = 0; i < children; ++i) {
        auto* child = new TFolderData(root->RootFolder.get(), false, "folder" + std::to_string(i), root);
        child->SizeData().Size = int64_t(random() % 1000000000);
        child->SizeData().Allocated = child->SizeData().Size;
        root->RootFolder->SizeData().Add(child->SizeData());
        root->RootFolder->AppendChild(child);
    }
    TFolderTreeModel model(roots, options);
    QTreeView view;
    view.setModel(&model);
    view.setUniformRowHeights(true);
    view.setItemDelegate(new TFolderTreeDelegate(options, &view));
    view.resize(600, 800);
    view.show();
    app.processEvents();

    QElapsedTimer timer;
    timer.start();
    view.expand(model.index(0, 0));
    app.processEvents();
    view.repaint();
    const qint64 expand = timer.restart();
    model.SortAll();
    const qint64 modelOnly = timer.elapsed();
    app.processEvents();
    view.repaint();
    const qint64 sortBySize = timer.restart();
    std::printf("(model part of sorting by size: %lld ms)\n", modelOnly);
    options.SortType = viewtypes::stName;
    model.SortAll();
    std::printf("(model part of sorting by name: %lld ms)\n", timer.elapsed());
    app.processEvents();
    view.repaint();
    const qint64 sortByName = timer.elapsed();
    timer.restart();
    SortBranch(root->RootFolder.get(), viewtypes::stName, viewtypes::vt_size);
    const qint64 orderOnly = timer.elapsed();
    std::printf("tree view, %d children: expand %lld ms, sort by size %lld ms, sort by name %lld ms (ordering the nodes alone: %lld ms)\n",
                children, expand, sortBySize, sortByName, orderOnly);
    roots.Clear();
    SetGlobalOptions(nullptr);
    return 0;
}
