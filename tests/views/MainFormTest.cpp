#include "ViewTestMain.h"
#include "app/GlobalOptions.h"
#include "app/ProgramRun.h"
#include "scan/Root.h"
#include "scan/Roots.h"
#include "views/GraphicsRunActions.h"
#include "views/MainForm.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace kelvane;

class MainFormTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QSettings().clear(); }

    void captionRule()
    {
        QCOMPARE(MainCaption("Kelvane Professional", "Size", QString()), QString("Kelvane Professional"));
        QCOMPARE(MainCaption("Kelvane Professional", "Size", "/usr/ on [root]"),
                 QString("Kelvane Professional - Size - /usr/ on [root]"));
    }

    void windowValuesRoundTrip()
    {
        int leftWidth = 0;
        {
            TGlobalOptions options;
            TProgramRun run(options, {});
            TMainForm form(options, run);
            form.resize(1000, 700);
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            auto* splitter = form.findChild<QSplitter*>("MainSplitter");
            splitter->setSizes({280, 720});
            leftWidth = splitter->sizes().front();
            form.RightPane()->setCurrentIndex(2);
            form.close();
        }
        QSettings settings;
        QVERIFY(qAbs(leftWidth - 280) < 10);
        QCOMPARE(settings.value("SplitterV4").toInt(), leftWidth);
        QCOMPARE(settings.value("ActivePage").toInt(), 2);
        QVERIFY(settings.contains("MainFormWindowPlacement"));

        TGlobalOptions options;
        TProgramRun run(options, {});
        TMainForm form(options, run);
        QCOMPARE(form.WindowValues().SplitterV4, leftWidth);
        QCOMPARE(form.RightPane()->currentIndex(), 2);
    }

    void unreadableValueIsReportedAndTheRestKept()
    {
        QSettings().setValue("MarginLeft", 123);
        QSettings().setValue("MarginTop", "wide");
        TGlobalOptions options;
        TProgramRun run(options, {});
        TMainForm form(options, run);
        QCOMPARE(form.WindowValues().MarginLeft, 123);
        QCOMPARE(form.WindowValues().MarginTop, 800);
    }

    void unattendedRunSavesNothing()
    {
        TGlobalOptions options;
        TProgramRun run(options, {"/SAVE", "out.txt"});
        QVERIFY(run.Unattended());
        TMainForm form(options, run);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.close();
        QVERIFY(!QSettings().contains("SplitterV4"));
        QVERIFY(!QSettings().contains("RefreshInterval"));
    }

    void restrictedModeOffersOnlyKelvaneFolders()
    {
        qputenv("KELVANE", "/srv/share;/home/shared");
        TGlobalOptions options;
        TProgramRun run(options, {"/RESTRICTED"});
        TMainForm form(options, run);
        QVERIFY(form.IsRestricted());
        QCOMPARE(form.PathBox()->count(), 2);
        QCOMPARE(form.PathBox()->itemText(1), QString("/home/shared"));
        QVERIFY(!form.PathBox()->isEditable());
        QVERIFY(form.PathBox()->isEnabled());
        qunsetenv("KELVANE");
    }

    void branchGoesToTheClipboardAsTabSeparatedText()
    {
        TGlobalOptions options;
        SetGlobalOptions(&options);
        QTemporaryDir tree;
        QVERIFY(QDir().mkpath(tree.filePath("sub")));
        QFile file(tree.filePath("sub/f.bin"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(5000, 'x'));
        file.close();
        TRoots roots;
        QSignalSpy ended(&roots, &TRoots::ScanEnded);
        const auto made = roots.ScanPath(tree.path());
        QCOMPARE(made.size(), size_t(1));
        QVERIFY(ended.wait(20000));
        made.front()->RootFolder->ExpandToLevel(2, 0);
        QCOMPARE(CopyBranchToClipboard(*made.front()->RootFolder), QString());
        const QStringList lines = QGuiApplication::clipboard()->text().split("\r\n");
        QVERIFY(lines.contains(QString("Full Path      \tSize           \tAllocated      \tFiles          \tFolders        \t"
                                       "% of Parent    \tLast Change    \tLast Access    ")));
        QVERIFY2(lines.filter(QRegularExpression("^" + QRegularExpression::escape(tree.filePath("sub")) + "\t")).size() == 1,
                 qPrintable(lines.join('|')));
        roots.Clear();
        SetGlobalOptions(nullptr);
    }
};

int main(int argc, char** argv)
{
    return RunViewTests<MainFormTest>(argc, argv);
}

#include "MainFormTest.moc"
