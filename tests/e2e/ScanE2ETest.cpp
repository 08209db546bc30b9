#include "ProgramRunner.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <memory>
#include <gtest/gtest.h>

namespace {

void MakeTree(const QString& root)
{
    QDir().mkpath(root + "/a/b");
    QDir().mkpath(root + "/c");
    for (const QString& f : {QString("/x.txt"), QString("/a/y.dat"), QString("/a/b/z.log")}) {
        QFile file(root + f);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(1000, 'q'));
    }
}

TEST(ScanE2E, WindowlessScanEndsByItself)
{
    TProgramRunner runner;
    QTemporaryDir tree;
    MakeTree(tree.path());
    const auto r = runner.Run({"/NOGUI", tree.path()}, 30000);
    ASSERT_TRUE(r.Finished) << "the run must end by itself";
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_TRUE(r.Err.isEmpty()) << r.Err.toStdString();
}

TEST(ScanE2E, SeveralRootsAndOneMissing)
{
    TProgramRunner runner;
    QTemporaryDir tree;
    MakeTree(tree.path());
    const QString missing = tree.path() + "/no/such";
    const auto r = runner.Run({"-nogui", tree.path() + "/a", missing, tree.path() + "/c"}, 30000);
    ASSERT_TRUE(r.Finished);
    EXPECT_EQ(r.ExitCode, 1) << "a root that fails makes the run fail";
    EXPECT_TRUE(r.Err.contains(QString("Path \"%1/\": ").arg(missing))) << r.Err.toStdString();
}

TEST(ScanE2E, XmlReportsForSeveralRootsInANewFolder)
{
    TProgramRunner runner;
    QTemporaryDir tree;
    MakeTree(tree.path());
    const QString out = tree.path() + "/reports/nightly/r.xml";
    const auto r = runner.Run({"/NOGUI", "/XML", out, tree.path() + "/a", tree.path() + "/c"}, 30000);
    ASSERT_TRUE(r.Finished);
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    QFile first(out), second(tree.path() + "/reports/nightly/r_2.xml");
    ASSERT_TRUE(first.open(QIODevice::ReadOnly)) << "the first root writes the name as given";
    ASSERT_TRUE(second.open(QIODevice::ReadOnly)) << "later roots add _2, _3 ...";
    EXPECT_TRUE(first.readAll().contains(QString("<Path>%1/a/</Path>").arg(tree.path()).toUtf8()));
    EXPECT_TRUE(second.readAll().contains(QString("<Path>%1/c/</Path>").arg(tree.path()).toUtf8()));
    QFile history(runner.Home() + "/data/Brask Software/Kelvane Professional/scanhistory.xml");
    ASSERT_TRUE(history.open(QIODevice::ReadOnly));
    EXPECT_EQ(history.readAll().count("<Root path="), 1) << "the empty folder c counted no file: no history entry";
}

TEST(ScanE2E, OpenAndWriteAReportRoundTrip)
{
    TProgramRunner runner;
    QTemporaryDir tree;
    MakeTree(tree.path());
    const QString first = tree.path() + "/r.xml", second = tree.path() + "/r2.xml";
    ASSERT_EQ(runner.Run({"/NOGUI", "/XML", first, tree.path() + "/a"}).ExitCode, 0);
    // With a loaded report /XML writes at once, and the run ends by itself even with a window.
    const auto r = runner.Run({"/OPEN", first, "/XML", second}, 30000);
    ASSERT_TRUE(r.Finished);
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    QFile a(first), b(second);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly));
    ASSERT_TRUE(b.open(QIODevice::ReadOnly));
    auto stable = [](QByteArray text) {
        QList<QByteArray> kept;
        for (const QByteArray& line : text.split('\n'))
            if (!line.startsWith("<Date>") && !line.contains("BytesOnDrive>"))
                kept.append(line);
        return kept;
    };
    EXPECT_EQ(stable(a.readAll()), stable(b.readAll()));

    const auto broken = runner.Run({"/NOGUI", "/OPEN", tree.path() + "/x.txt"}, 30000);
    EXPECT_EQ(broken.ExitCode, 1);
    EXPECT_TRUE(broken.Err.contains("Line: 1")) << broken.Err.toStdString();
}

TEST(ScanE2E, ProgramsAppendingToTheHistoryAtOnceLoseNothing)
{
    TProgramRunner runner;
    QTemporaryDir tree;
    MakeTree(tree.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", runner.Home() + "/config");
    env.insert("XDG_DATA_HOME", runner.Home() + "/data");
    std::vector<std::unique_ptr<QProcess>> programs;
    for (int i = 0; i < 8; ++i) {
        programs.push_back(std::make_unique<QProcess>());
        programs.back()->setProcessEnvironment(env);
        programs.back()->start(DROMLET_PATH, {"/NOGUI", tree.path()});
    }
    for (auto& p : programs) {
        ASSERT_TRUE(p->waitForFinished(60000));
        EXPECT_EQ(p->exitCode(), 0);
    }
    QFile history(runner.Home() + "/data/Brask Software/Kelvane Professional/scanhistory.xml");
    ASSERT_TRUE(history.open(QIODevice::ReadOnly));
    EXPECT_EQ(history.readAll().count("<Root path="), 8);
}

TEST(ScanE2E, CompareComesBeforeTheReport)
{
    TProgramRunner runner;
    QTemporaryDir tree;
    MakeTree(tree.path());
    const QString old = tree.path() + "/old.xml", now = tree.path() + "/now.xml";
    ASSERT_EQ(runner.Run({"/NOGUI", "/XML", old, tree.path() + "/a"}).ExitCode, 0);
    QFile grown(tree.path() + "/a/more.bin");
    ASSERT_TRUE(grown.open(QIODevice::WriteOnly));
    grown.write(QByteArray(4321, 'm'));
    grown.close();
    const auto r = runner.Run({"/NOGUI", "/COMPARE", old, "/XML", now, tree.path() + "/a"}, 30000);
    ASSERT_TRUE(r.Finished);
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    QFile report(now);
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    const QByteArray text = report.readAll();
    EXPECT_TRUE(text.contains("<IsCompared>-1</IsCompared>"));
    EXPECT_TRUE(text.contains("<SizeData Size=\"4321\"")) << "the root shows its growth";
}

TEST(ScanE2E, UnwritableReportFailsTheRun)
{
    TProgramRunner runner;
    QTemporaryDir tree;
    MakeTree(tree.path());
    const auto r = runner.Run({"/NOGUI", "/XML", "/proc/forbidden/r.xml", tree.path()}, 30000);
    ASSERT_TRUE(r.Finished);
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_FALSE(r.Err.isEmpty());
}

TEST(ScanE2E, WithoutDisplayAndWithoutNoGuiTheRunStillEnds)
{
    TProgramRunner runner;
    QTemporaryDir tree;
    MakeTree(tree.path());
    // No DISPLAY: the program draws offscreen; an output makes the run unattended.
    const auto r = runner.Run({"/SAVE", tree.path() + "/out.txt", tree.path() + "/a"}, 30000);
    ASSERT_TRUE(r.Finished);
}

} // namespace
