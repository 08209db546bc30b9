#include "ScanFixture.h"
#include "lib/platform/DirectoryLister.h"
#include "lib/platform/OwnerNames.h"
#include "scan/AggregateKeys.h"
#include "scan/FileAggregates.h"
#include "scan/TopSizeFileList.h"

#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <sys/statvfs.h>

using namespace kelvane;
using namespace kelvane::viewtypes;

namespace {

TEST(Aggregates, ExtensionKeys)
{
    struct {
        const char* Name;
        const char* Key;
    } cases[] = {
        {"Readme.TXT", ".txt"}, {"a.txt", ".txt"},       {"Makefile", "."},      {"trailing.", "."},
        {".bashrc", "."},       {".config.bak", ".bak"}, {"a.tar.GZ", ".gz"},    {"x.ÄÖ", ".äö"},
        {"..", "."},            {"noext", "."},          {"v1.2", ".2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TExtensionSizeArray::KeyOf(c.Name), c.Key) << c.Name;
}

TEST(Aggregates, LookupsNeverInsertAndEntriesStay)
{
    TExtensionSizeArray a;
    a.AddByFilename("x.TXT", TSizeData{100, 4096, 3996, 1, 1});
    a.AddByFilename("y.txt", TSizeData{50, 4096, 4046, 1, 1});
    a.AddByFilename("Makefile", TSizeData{7, 4096, 4089, 1, 1});
    EXPECT_EQ(a.Count(), 2);
    EXPECT_EQ(a.Lookup(".txt").Size, 150);
    EXPECT_EQ(a.Lookup("(none)").Size, 7) << "(none) stands for files without extension";
    EXPECT_EQ(a.Lookup(".never-seen").Size, 0);
    EXPECT_EQ(a.Count(), 2) << "a display lookup inserts nothing";
    EXPECT_EQ(a.GetSizeData(".new").Size, 0);
    EXPECT_EQ(a.Count(), 3) << "GetSizeData inserts an empty entry";

    TExtensionSizeArray b;
    b.AddByFilename("z.txt", TSizeData{150, 8192, 0, 2, 2});
    a.SubtractAll(b);
    EXPECT_EQ(a.Lookup(".txt").Size, 0);
    EXPECT_EQ(a.Count(), 3) << "entries stay at zero";
    a.AddAll(b);
    EXPECT_EQ(a.Lookup(".TXT").Files, 2);

    const auto sorted = a.SortedEntries();
    ASSERT_EQ(sorted.size(), 3u);
    EXPECT_EQ(TAssocSizeArray::DisplayKey(sorted[0].Key), "(none)");
    EXPECT_EQ(a.GetColumnText(sorted[2], vt_Name, Mega, 0), ".txt");
    EXPECT_THROW((void)a.GetColumnText(sorted[0], vt_Owner, Mega, 0), EKelvaneError);
    EXPECT_EQ(TAssocSizeArray::GetUnitCaption(Mega, vt_size), " MB");
    EXPECT_EQ(TAssocSizeArray::GetUnitCaption(Mega, vt_files), " Files");

    TUserSizeArray users;
    users.AddByOwner("root", TSizeData{1});
    users.AddByOwner("ROOT", TSizeData{2});
    users.AddByOwner("", TSizeData{4});
    EXPECT_EQ(users.Count(), 2) << "owner names compare ignoring case";
    EXPECT_EQ(users.Lookup("root").Size, 3);
    EXPECT_EQ(users.Lookup("(none)").Size, 4);
}

TEST(Aggregates, AgeClassesWithAClock)
{
    const TFileTime now = FileTimeFromUnix(1800000000, 0);
    const int64_t day = 86400;
    struct {
        int64_t AgeSeconds;
        int Class;
    } cases[] = {{0, 0}, {day, 0}, {day + day / 2, 1}, {-5 * day, 0}, {7 * day, 1}, {8 * day, 2},
                 {100 * day, 3}, {300 * day, 4}, {700 * day, 5}, {1000 * day, 6}};
    for (const auto& c : cases) {
        TFileAgeDistribution d;
        d.AddFile(4096, FileTimeFromUnix(1800000000 - c.AgeSeconds, 0), now);
        EXPECT_EQ(d.Counts[size_t(c.Class)], 1) << c.AgeSeconds / double(day) << " days";
        EXPECT_EQ(d.Sizes[size_t(c.Class)], 4096);
    }
    TFileAgeDistribution unknown;
    unknown.AddFile(1, 0, now);
    EXPECT_EQ(unknown.Counts[6], 1) << "an unreadable time counts as 1000 days old";
    EXPECT_EQ(TFileAgeDistribution::ClassCaption(6), ">2 Years");
}

TFindRecord Record(std::string_view name, int64_t size, uint32_t attributes = faArchive)
{
    TFindRecord r;
    r.Name = name;
    r.Size = size;
    r.Attributes = attributes;
    return r;
}

TEST(LargestFiles, CapacityOrderAndTies)
{
    TTopSizeFileList none(0);
    none.Consider(Record("a", 10), "/x/", true);
    EXPECT_EQ(none.Count(), 0) << "a list without room ignores every file";

    TTopSizeFileList one(1);
    one.Consider(Record("a", 10), "/x/", true);
    one.Consider(Record("b", 20), "/x/", true);
    one.Consider(Record("c", 5), "/x/", true);
    ASSERT_EQ(one.Count(), 1);
    EXPECT_EQ(one.Files()[0].Name, "b");

    TTopSizeFileList hundred(100);
    std::vector<std::string> names;
    for (int i = 0; i < 150; ++i)
        names.push_back("f" + std::to_string(i));
    for (int i = 0; i < 150; ++i)
        hundred.Consider(Record(names[size_t((i * 37) % 150)], 1000 + (i * 37) % 150), "/data/", true);
    const auto files = hundred.Files();
    ASSERT_EQ(files.size(), 100u);
    for (size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(files[i].Size, 1149 - int64_t(i));
    hundred.Consider(Record("tie", 1050), "/data/", true);
    EXPECT_EQ(hundred.Files().back().Name, "f50") << "a file equal to the smallest of a full list stays out";

    TTopSizeFileList big(2);
    big.Consider(Record("fourgb", 4294967295LL), "/d/", true);
    big.Consider(Record("fivegb", 5368709120LL), "/d/", true);
    EXPECT_EQ(big.Files()[0].Name, "fivegb");

    TTopSizeFileList skip(10);
    skip.Consider(Record(".hidden", 5, faArchive | faHidden), "/d/", true);
    skip.Consider(Record("sock", 5, faSystem), "/d/", true);
    skip.Consider(Record("trashed", 5), "/home/u/.local/share/Trash/files/", true);
    ASSERT_EQ(skip.Count(), 1) << "hidden files are listed; system files and trash are not";
}

TEST(LargestFiles, RemovePathByWholeComponents)
{
    TTopSizeFileList list(10);
    list.Consider(Record("a", 30), "/data/", true);
    list.Consider(Record("b", 20), "/data/sub/", true);
    list.Consider(Record("c", 10), "/database/", true);
    list.RemovePath("/data");
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Files()[0].Path, "/database/");
}

class ScanAggregates : public ScanFixture, public ::testing::WithParamInterface<int> {};

TEST_P(ScanAggregates, SubtreeStatisticsMatchAnIndependentCount)
{
    const char* extensions[] = {".txt", ".TXT", ".log", "", ".tar.gz", ".jpg"};
    int n = 0;
    for (int i = 0; i < 6; ++i) {
        MakeFolder("d" + std::to_string(i));
        for (int j = 0; j < 4; ++j) {
            MakeFolder("d" + std::to_string(i) + "/e" + std::to_string(j));
            for (int k = 0; k < 5; ++k, ++n)
                MakeFile("d" + std::to_string(i) + "/e" + std::to_string(j) + "/f" + std::to_string(n) + extensions[n % 6], n * 37);
        }
    }
    MakeFile(".bashrc", 11);
    Options->GroupUsers = true;
    Options->NumberOfTopFiles = 10;

    struct statvfs vfs;
    ::statvfs(Path().c_str(), &vfs);
    const int64_t cluster = int64_t(vfs.f_bsize);
    std::map<std::string, TSizeData> expected;
    std::vector<std::pair<int64_t, std::string>> sizes;
    for (const auto& e : std::filesystem::recursive_directory_iterator(Path())) {
        if (e.is_directory())
            continue;
        const int64_t size = int64_t(e.file_size());
        TSizeData& d = expected[TExtensionSizeArray::KeyOf(e.path().filename().string())];
        d.Size += size;
        d.Allocated += (size + cluster - 1) / cluster * cluster;
        d.Files += 1;
        sizes.emplace_back(size, e.path().string());
    }
    std::sort(sizes.rbegin(), sizes.rend());

    for (int run = 0; run < 5; ++run) {
        TRoot* root = Scan(Dir.path(), GetParam());
        ASSERT_NE(root, nullptr);
        const TFileAggregates all = root->RootFolder->SubtreeAggregates();
        EXPECT_EQ(all.Extensions.Count(), int(expected.size()));
        for (const auto& [key, want] : expected) {
            const TSizeData got = all.Extensions.Lookup(QString::fromStdString(key));
            EXPECT_EQ(got.Size, want.Size) << key;
            EXPECT_EQ(got.Allocated, want.Allocated) << key;
            EXPECT_EQ(got.Files, want.Files) << key;
        }
        const QString me = TSID2Username::Instance().Lookup(::getuid());
        EXPECT_EQ(all.Users.Lookup(me).Files, n + 1);
        int aged = 0;
        for (int c : all.Ages.Counts)
            aged += c;
        EXPECT_EQ(aged, n + 1) << "every counted file has an age";

        const auto top = root->GetTopFiles().Files();
        ASSERT_EQ(top.size(), 10u);
        for (size_t i = 0; i < top.size(); ++i) {
            EXPECT_EQ(top[i].Size, sizes[i].first);
            EXPECT_EQ(top[i].GetFullPath().toStdString(), sizes[i].second);
        }

        // The files item shows its folder's own files; a leaf folder its subtree.
        const TFolderData* leaf = nullptr;
        for (const TFolderData* d : root->RootFolder->Children())
            if (!d->IsFilesItem() && !d->Children().empty())
                leaf = d->Children().front();
        ASSERT_NE(leaf, nullptr);
        EXPECT_EQ(leaf->SubtreeAggregates().Extensions.Count(), 5) << leaf->GetFullPath().toStdString();
        const TFolderData* filesItem = nullptr;
        for (const TFolderData* d : root->RootFolder->Children())
            if (d->IsFilesItem())
                filesItem = d;
        ASSERT_NE(filesItem, nullptr);
        EXPECT_EQ(filesItem->SubtreeAggregates().Extensions.Lookup("(none)").Size, 11);
    }
}

INSTANTIATE_TEST_SUITE_P(Threads, ScanAggregates, ::testing::Values(1, 8));

TEST_F(ScanAggregates, ViewFiltersShowOneShare)
{
    MakeFolder("a");
    MakeFile("a/x.iso", 5000);
    MakeFile("a/y.txt", 70);
    TRoot* root = Scan(Dir.path());
    ASSERT_NE(root, nullptr);
    const TFolderData* a = root->RootFolder->Children().front();
    root->SetExtensionFilter("iso");
    EXPECT_EQ(root->ExtensionFilter, ".iso");
    EXPECT_EQ(a->ShownCounters().Size, 5000);
    EXPECT_EQ(a->GetValue(vt_size, Byte).first, 5000.0);
    root->SetExtensionFilter("(none)");
    EXPECT_EQ(root->ExtensionFilter, ".");
    EXPECT_EQ(a->ShownCounters().Size, 0);
    root->SetExtensionFilter("");
    root->SetUserFilter("nobody-at-all");
    EXPECT_EQ(a->ShownCounters().Size, 0) << "an owner without files shows zeros";
    EXPECT_TRUE(root->ReportCaption().contains(" - User: \"nobody-at-all\" "));
}

} // namespace
