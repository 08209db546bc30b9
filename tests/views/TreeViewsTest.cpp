#include "ViewTestMain.h"
#include "app/GlobalOptions.h"
#include "app/ProgramRun.h"
#include "scan/FolderData.h"
#include "scan/Root.h"
#include "scan/Roots.h"
#include "views/AggregateListModel.h"
#include "views/DetailsModel.h"
#include "views/FolderTreeModel.h"
#include "views/MainForm.h"

#include <QApplication>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

using namespace kelvane;
using namespace kelvane::viewtypes;

// The tree and the details list on a scanned fixture:
//   big/ (3000 + deep/500), small/ (100), top files 700 + 50.
class TreeViewsTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QSettings().clear();
        QVERIFY(QDir().mkpath(FTree.filePath("big/deep")));
        QVERIFY(QDir().mkpath(FTree.filePath("small")));
        Write("big/a.bin", 3000);
        Write("big/deep/b.bin", 500);
        Write("small/c.txt", 100);
        Write("top.log", 700);
        Write("zz.txt", 50);
    }

    void treeOrderCaptionsAndFilesItem()
    {
        TGlobalOptions options;
        Session session(options);
        TFolderData* root = session.Scan(FTree.path());
        TFolderTreeModel& model = *session.Form->TreeModel();
        const QModelIndex top = model.IndexOf(root);
        QCOMPARE(model.rowCount(top), 3);
        QCOMPARE(Names(model, top), QStringList({"big", "[Files]", "small"})); // largest first
        const QString caption = model.index(0, 0, top).data().toString();
        QVERIFY2(caption.endsWith("big") && caption.contains(" MB"), qPrintable(caption));
        QVERIFY2(caption.startsWith(' '), "the value is padded to line the numbers up");

        options.SortType = stName;
        session.Form->TreeModel()->SortAll();
        QCOMPARE(Names(model, top), QStringList({"big", "small", "[Files]"})); // by name the files item comes last
        QCOMPARE(TFolderTreeModel::FolderOf(model.index(0, 0, top)), root->Children()[0]); // the order lives in the nodes
    }

    void expansionFollowsTheNodes()
    {
        TGlobalOptions options;
        Session session(options);
        TFolderData* root = session.Scan(FTree.path());
        TMainForm& form = *session.Form;
        form.SetCurrentFolder(root);
        QTreeView* tree = form.Tree();
        const QModelIndex top = form.TreeModel()->IndexOf(root);
        const QModelIndex big = form.TreeModel()->index(0, 0, top);
        Trigger(form, "&Full Expand");
        QVERIFY(tree->isExpanded(top));
        QVERIFY(tree->isExpanded(big));
        QVERIFY(root->Children()[0]->IsExpanded());
        Trigger(form, "To Level &1");
        QVERIFY(tree->isExpanded(top));
        QVERIFY(!tree->isExpanded(big));
        QVERIFY(!root->Children()[0]->IsExpanded());
        tree->expand(big);
        QVERIFY2(root->Children()[0]->IsExpanded(), "expanding in the view marks the node");
        Trigger(form, "Full &Collapse");
        QVERIFY(!tree->isExpanded(top));
    }

    void detailsListFoldersFilesAndSorting()
    {
        TGlobalOptions options;
        Session session(options);
        TFolderData* root = session.Scan(FTree.path());
        TMainForm& form = *session.Form;
        form.SetCurrentFolder(root);
        TDetailsModel& details = *form.DetailsModel();
        QCOMPARE(details.rowCount(), 4); // two subfolders and the two files read from the disk
        const int nameColumn = 0;
        QCOMPARE(details.Columns().front(), int(vt_Name));
        QCOMPARE(details.index(0, nameColumn).data().toString(), QString("big")); // sorted by size, largest first
        QCOMPARE(details.index(3, nameColumn).data().toString(), QString("zz.txt"));
        form.Details()->sortByColumn(nameColumn, Qt::AscendingOrder);
        QStringList names;
        for (int row = 0; row < details.rowCount(); ++row)
            names.append(details.index(row, nameColumn).data().toString());
        QCOMPARE(names, QStringList({"big", "small", "top.log", "zz.txt"})); // folders before files, then by name
    }

    void deepestNestingGoUpAndSelectionSummary()
    {
        TGlobalOptions options;
        Session session(options);
        TFolderData* root = session.Scan(FTree.path());
        TMainForm& form = *session.Form;
        form.SetCurrentFolder(root);
        form.FindDeepestNesting();
        QCOMPARE(form.CurrentFolder()->GetDisplayName(), QString("deep"));
        QVERIFY(form.Tree()->isExpanded(form.TreeModel()->IndexOf(form.CurrentFolder()->Parent)));
        form.GoUp();
        QCOMPARE(form.CurrentFolder()->GetDisplayName(), QString("big"));

        form.SetCurrentFolder(root);
        form.Details()->selectAll();
        const QStringList panels = StatusTexts(form);
        QVERIFY2(panels.contains("4 Objects"), qPrintable(panels.join('|')));
        QVERIFY2(panels.contains("0.0 MB"), qPrintable(panels.join('|'))); // 4,350 bytes in MB
    }

    void removingSmallFoldersKeepsTheTotals()
    {
        TGlobalOptions options;
        Session session(options);
        TFolderData* root = session.Scan(FTree.path());
        TMainForm& form = *session.Form;
        form.SetCurrentFolder(root->Children()[0]); // big: the details list shows its entries
        form.SetCurrentFolder(root);
        const TSizeData before = root->SizeData();
        form.RemoveSmallFolders(); // every folder here is below the default 10 MB
        QCOMPARE(form.TreeModel()->rowCount(form.TreeModel()->IndexOf(root)), 0);
        QVERIFY(root->Children().empty());
        QVERIFY(root->SizeData() == before);
        QCOMPARE(form.DetailsModel()->rowCount(), 2); // the two files of the root, from the disk
    }

    void extensionPageListsAndLimitsTheTree()
    {
        TGlobalOptions options;
        Session session(options);
        TFolderData* root = session.Scan(FTree.path());
        TMainForm& form = *session.Form;
        form.SetCurrentFolder(root);
        form.RightPane()->setCurrentIndex(2); // Extensions
        TAggregateListModel& extensions = *form.ExtensionModel();
        QCOMPARE(extensions.rowCount(), 3);
        QCOMPARE(extensions.KeyAt(0), QString(".bin")); // 3,500 bytes, the largest
        QCOMPARE(extensions.index(0, 4).data().toString().trimmed(), QString("2"));
        QCOMPARE(extensions.index(0, 5).data().toString().isEmpty(), false);

        form.findChild<QTreeView*>("ExtensionList")->setCurrentIndex(extensions.index(0, 0));
        Trigger(form, "&Limit Tree to this Extension");
        QCOMPARE(root->Root->ExtensionFilter, QString(".bin"));
        QCOMPARE(root->ShownCounters().Size, int64_t(3500)); // the tree shows the .bin files' share
        QVERIFY(extensions.index(0, 0).data(Qt::FontRole).value<QFont>().bold());
        Trigger(form, "&Show All Extensions");
        QVERIFY(root->Root->ExtensionFilter.isEmpty());
        QCOMPARE(root->ShownCounters().Size, root->SizeData().Size);
    }

    void columnLayoutSurvivesARestart()
    {
        {
            TGlobalOptions options;
            Session session(options);
            options.Columns.Column(vt_Owner).Media[emDetailsView].Visible = false;
            options.Columns.Column(vt_wasted).Media[emDetailsView] = {true, 77, 1};
            session.Form->show();
            session.Form->close();
        }
        TGlobalOptions options;
        Session session(options);
        QVERIFY(!options.Columns.IsVisible(emDetailsView, vt_Owner));
        QCOMPARE(options.Columns.Column(vt_wasted).Media[emDetailsView].Width, 77);
        const auto& columns = session.Form->DetailsModel()->Columns();
        QCOMPARE(columns.at(1), int(vt_wasted));
        QVERIFY(std::find(columns.begin(), columns.end(), int(vt_Owner)) == columns.end());
    }

private:
    struct Session {
        explicit Session(TGlobalOptions& options)
            : Run(options, {})
        {
            SetGlobalOptions(&options);
            Form = std::make_unique<TMainForm>(options, Run, &Roots);
        }
        ~Session()
        {
            Form.reset();
            Roots.Clear();
            SetGlobalOptions(nullptr);
        }
        TFolderData* Scan(const QString& path)
        {
            QSignalSpy ended(&Roots, &TRoots::ScanEnded);
            Form->ScanPath(path);
            if (!ended.wait(20000))
                return nullptr;
            return Roots.Items().front()->RootFolder.get();
        }
        TRoots Roots;
        TProgramRun Run;
        std::unique_ptr<TMainForm> Form;
    };

    void Write(const QString& name, int size)
    {
        QFile file(FTree.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(size, 'x'));
    }

    static QStringList Names(const TFolderTreeModel& model, const QModelIndex& parent)
    {
        QStringList names;
        for (int row = 0; row < model.rowCount(parent); ++row)
            names.append(TFolderTreeModel::FolderOf(model.index(row, 0, parent))->GetDisplayName());
        return names;
    }

    static QStringList StatusTexts(QWidget& form)
    {
        QStringList texts;
        for (QLabel* label : form.findChildren<QLabel*>())
            texts.append(label->text());
        return texts;
    }

    static void Trigger(QWidget& form, const QString& caption)
    {
        for (QAction* action : form.findChildren<QAction*>())
            if (action->text() == caption) {
                action->trigger();
                return;
            }
        QFAIL(qPrintable("no action " + caption));
    }

    QTemporaryDir FTree;
};

int main(int argc, char** argv)
{
    return RunViewTests<TreeViewsTest>(argc, argv);
}

#include "TreeViewsTest.moc"
