#include "ProgramRunner.h"

#include <QDir>
#include <QFile>
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
