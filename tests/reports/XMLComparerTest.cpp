#include "../scan/ScanFixture.h"
#include "reports/XMLReportComparer.h"
#include "reports/XMLReportWriter.h"
#include "scan/AggregateKeys.h"
#include "scan/FileAggregates.h"

#include <QFile>
#include <filesystem>
#include <map>

using namespace kelvane;

namespace {

using TSnapshot = std::map<std::string, std::pair<TSizeData, TSizeData>>; // path -> (SizeData, FilesSizeData)

void Snap(const TFolderData& node, TSnapshot& out)
{
    if (node.IsFolder())
        out[node.GetFullPathBytes()] = {node.SizeData(), node.FilesSizeData()};
    for (const TFolderData* child : node.Children())
        Snap(*child, out);
}

TSizeData Minus(TSizeData a, const TSizeData& b)
{
    a.Subtract(b);
    return a;
}

class XMLComparer : public ScanFixture {
protected:
    void Build()
    {
        MakeFolder("a");
        MakeFolder("a/b");
        MakeFolder("c");
        MakeFolder("d");
        MakeFolder("only-subfolders");
        MakeFolder("only-subfolders/inner");
        MakeFile("a/x.txt", 100);
        MakeFile("a/b/y.log", 5000);
        MakeFile("c/gone.dat", 777);
        MakeFile("d/moved.iso", 9000);
        MakeFile("only-subfolders/inner/z.txt", 10);
    }
    void Change()
    {
        MakeFile("a/new.txt", 40);                                   // added file
        MakeFile("a/b/y.log", 8000);                                 // grown file
        std::filesystem::remove_all(Path("c"));                      // deleted folder
        std::filesystem::rename(Path("d"), Path("d2"));              // renamed folder
        MakeFolder("e");                                             // new folder
        MakeFile("e/fresh.jpg", 3000);
        MakeFile("only-subfolders/now-a-file.log", 123);             // a files item appears
    }
};

TEST_F(XMLComparer, CurrentMinusReportAtEveryLevel)
{
    Build();
    TRoot* root = Scan(Dir.path());
    ASSERT_NE(root, nullptr);
    const QString report = Dir.path() + "/../compare-" + QString::number(::getpid()) + ".xml";
    ASSERT_EQ(SaveXMLReport(*root, report), QString());
    TSnapshot before;
    Snap(*root->RootFolder, before);
    const TFileAggregates beforeStatistics = root->RootFolder->SubtreeAggregates();

    Change();
    root = Scan(Dir.path());
    TSnapshot current;
    Snap(*root->RootFolder, current);
    const TFileAggregates currentStatistics = root->RootFolder->SubtreeAggregates();

    ASSERT_EQ(CompareWithXMLReport(*root, report), QString());
    QFile::remove(report);
    EXPECT_TRUE(root->IsCompared);
    TSnapshot after;
    Snap(*root->RootFolder, after);

    std::map<std::string, bool> paths;
    for (const auto& [p, v] : before)
        paths[p] = true;
    for (const auto& [p, v] : current)
        paths[p] = true;
    for (const auto& [p, unused] : paths) {
        const auto rep = before.count(p) ? before[p] : std::pair<TSizeData, TSizeData>{};
        const auto cur = current.count(p) ? current[p] : std::pair<TSizeData, TSizeData>{};
        ASSERT_EQ(after.count(p), 1u) << p << " is in the compared tree";
        const TSizeData want = before.count(p) ? Minus(cur.first, rep.first) : cur.first;
        EXPECT_EQ(after[p].first.Size, want.Size) << p;
        EXPECT_EQ(after[p].first.Allocated, want.Allocated) << p;
        EXPECT_EQ(after[p].first.Files, want.Files) << p;
        EXPECT_EQ(after[p].first.Folders, want.Folders) << p;
        const TSizeData wantFiles = before.count(p) ? Minus(cur.second, rep.second) : cur.second;
        EXPECT_EQ(after[p].second.Size, wantFiles.Size) << p << " (files)";
    }
    EXPECT_LT(after[Path("c/")].first.Size, 0) << "a deleted folder shows what was lost";
    EXPECT_EQ(after[Path("d/")].first.Size, -9000);
    EXPECT_EQ(after[Path("d2/")].first.Size, 9000);

    // Every statistic at every level: the root's sum is current minus report.
    const TFileAggregates compared = root->RootFolder->SubtreeAggregates();
    TFileAggregates expected = currentStatistics;
    expected.SubtractAll(beforeStatistics);
    for (const auto& e : expected.Extensions.Entries())
        EXPECT_EQ(compared.Extensions.Lookup(e.Key).Size, e.Size) << TAggregateKeys::Key(e.Key);
    EXPECT_EQ(compared.Extensions.Lookup(".iso").Size, 0);
    EXPECT_EQ(compared.Extensions.Lookup(".jpg").Size, 3000);
    EXPECT_EQ(compared.Extensions.Lookup(".log").Size, 3000 + 123);
    EXPECT_EQ(compared.Extensions.Lookup(".dat").Size, -777);
    int aged = 0;
    for (int c : compared.Ages.Counts)
        aged += c;
    EXPECT_EQ(aged, current[Path()].first.Files - before[Path()].first.Files);
}

TEST_F(XMLComparer, AnotherPathAndForeignFolders)
{
    Build();
    TRoot* root = Scan(Dir.path());
    ASSERT_NE(root, nullptr);
    const QString report = Dir.path() + "/../other-" + QString::number(::getpid()) + ".xml";
    ASSERT_EQ(SaveXMLReport(*root, report), QString());
    QFile file(report);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray moved = file.readAll();
    file.close();
    QFile::remove(report);
    moved.replace(Dir.path().toUtf8() + "/", "/elsewhere/copy/");

    QStringList questions;
    EXPECT_TRUE(CompareWithXMLReportData(*root, moved, [&](const QString& q) { questions << q; return false; }).startsWith("Cancelled"))
        << "a different path needs a yes";
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions.front().startsWith("The path /elsewhere/copy/ does not match the current path"));

    root = Scan(Dir.path());
    ASSERT_EQ(CompareWithXMLReportData(*root, moved, [](const QString&) { return true; }), QString());
    EXPECT_EQ(root->RootFolder->SizeData().Size, 0) << "mapped onto this root by the path prefix";
    EXPECT_EQ(root->ComparedPath, "/elsewhere/copy/");

    root = Scan(Dir.path());
    QString text = QString::fromUtf8(moved);
    text.replace("fullpath=\"/elsewhere/copy/a/", "fullpath=\"/unrelated/a/");
    int asked = 0;
    ASSERT_EQ(CompareWithXMLReportData(*root, text.toUtf8(), [&](const QString&) { ++asked; return true; }), QString());
    EXPECT_GE(asked, 2) << "the path, then the foreign folder";

    EXPECT_EQ(CompareWithXMLReportData(*root, "<Root><Application/></Root>"), "No report information found in the XML file!");
}

} // namespace
