#include "ScanFixture.h"
#include "scan/CountFile.h"
#include "scan/SizeData.h"
#include "lib/platform/DirectoryLister.h"

#include <QLocale>

using namespace kelvane;
using namespace kelvane::viewtypes;

namespace {

class Counters : public ScanFixture {
protected:
    void SetUp() override
    {
        ScanFixture::SetUp();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        Root = Roots->FindOrAdd(Dir.path());
        Root->BytesPerCluster = 4096;
        Root->UserDefinedClusterSize = 0;
        Root->IncludePatterns.SetPatternArray({"*"});
    }
    void TearDown() override
    {
        QLocale::setDefault(QLocale::c());
        ScanFixture::TearDown();
    }

    static TFindRecord File(std::string_view name, int64_t size, uint32_t attributes = faArchive, int64_t allocated = -1)
    {
        TFindRecord r;
        r.Name = name;
        r.Size = size;
        r.Attributes = attributes;
        r.AllocatedSize = allocated < 0 ? size : allocated;
        r.LinkCount = 1;
        r.CreationTime = FileTimeFromUnix(1700000000, 0);
        return r;
    }

    TRoot* Root = nullptr;
};

TEST_F(Counters, OneEntryBecomesCounters)
{
    struct {
        const char* What;
        TFindRecord Entry;
        bool Counted;
        TSizeData Expected;
    } cases[] = {
        {"zero bytes", File("a", 0), true, {0, 0, 0, 0, 1, 0, cfUncompressed}},
        {"one cluster", File("a", 4096), true, {4096, 4096, 0, 2, 1, 0, cfUncompressed}},
        {"a byte more", File("a", 4097), true, {4097, 8192, 4095, 3, 1, 0, cfUncompressed}},
        {"4 GiB", File("a", 4294967296LL), true, {4294967296LL, 4294967296LL, 0, 2097152, 1, 0, cfUncompressed}},
        {"sparse: its blocks", File("a", 1000000, faArchive | faSparse, 8192), true, {1000000, 8192, 0, 489, 1, 0, cfCompressed}},
        {"compressed", File("a", 10000, faArchive | faCompressed, 5000), true, {10000, 8192, 3192, 5, 1, 0, cfCompressed}},
        {"hidden and system count alike", File(".a", 10, faArchive | faHidden | faSystem), true, {10, 4096, 4086, 1, 1, 0, cfUncompressed}},
        {"a folder never counts", File("d", 0, faDirectory), false, {}},
    };
    for (const auto& c : cases) {
        TSizeData got;
        EXPECT_EQ(CountFile(*Root, c.Entry, got, true), c.Counted) << c.What;
        if (c.Counted) {
            EXPECT_TRUE(got == c.Expected) << c.What << ": " << got.Size << " " << got.Allocated << " " << got.Wasted << " "
                                           << got.CDRom << " " << got.Compression;
        }
    }
}

TEST_F(Counters, FiltersAndLinks)
{
    TSizeData got;
    Root->Settings.RegardHardLinks = true;
    TFindRecord linked = File("l", 3000);
    linked.LinkCount = 3;
    ASSERT_TRUE(CountFile(*Root, linked, got, true));
    EXPECT_EQ(got.Size, 1000);
    EXPECT_EQ(got.Allocated, 4096 / 3);
    EXPECT_EQ(got.Wasted, 1096 / 3);
    EXPECT_EQ(got.CDRom, 2) << "sectors are not divided";
    EXPECT_EQ(got.Files, 1);

    Root->IncludePatterns.SetPatternArray({});
    const int seen = Root->FilesSeen;
    EXPECT_FALSE(CountFile(*Root, File("x", 1), got, true));
    EXPECT_EQ(Root->FilesSeen, seen + 1) << "an empty include list counts nothing but every file is seen";

    Root->IncludePatterns.SetPatternArray({"*.iso"});
    EXPECT_TRUE(CountFile(*Root, File("disk.ISO", 1), got, true));
    EXPECT_FALSE(CountFile(*Root, File("disk.img", 1), got, true));

    Root->IncludePatterns.SetPatternArray({"*"});
    Root->ExcludePatterns.SetPatternArray({"*.bak"});
    EXPECT_FALSE(CountFile(*Root, File("old.bak", 1), got, true));
    EXPECT_EQ(Root->ExcludedObjects, 1);

    Root->ArchiveBitFilesOnly = true;
    EXPECT_FALSE(CountFile(*Root, File("plain", 1, 0), got, true));
    EXPECT_TRUE(CountFile(*Root, File("plain", 1, faArchive), got, true));
    Root->ArchiveBitFilesOnly = false;

    Root->CreatedPastDaysOnly = 3;
    Root->CreationThreshold = FileTimeFromUnix(1700000000 + 3600, 0);
    EXPECT_FALSE(CountFile(*Root, File("old", 1), got, true));
    Root->CreationThreshold = FileTimeFromUnix(1700000000 - 3600, 0);
    EXPECT_TRUE(CountFile(*Root, File("new", 1), got, true));
}

TEST(SizeDataTexts, ValuesAndTexts)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    TSizeData d{1536 * 1024, 2 * 1024 * 1024, 512, 768, 12345, 7, cfUncompressed};
    EXPECT_EQ(d.GetText(vt_size, Mega, false), "1.5 MB");
    EXPECT_EQ(d.GetText(vt_size, Kilo, false), "1,536.0 KB");
    EXPECT_EQ(d.GetText(vt_size, Byte, true), "1572864");
    EXPECT_EQ(d.GetText(vt_size, Mixed, false), "1.5 MB");
    EXPECT_EQ(d.GetText(vt_CDSize, Kilo, false), "1,536.0 KB");
    EXPECT_EQ(d.GetText(vt_files, Mega, false), "12,345 ");
    EXPECT_EQ(d.GetText(vt_Folders, Mega, false), "7 ");
    EXPECT_EQ(d.GetText(vt_percent, None, false, 3 * 1024 * 1024), "50.0 %");
    EXPECT_EQ(d.GetText(vt_percent, None, true, 3 * 1024 * 1024), "50.0");
    EXPECT_EQ(d.GetText(vt_percent, None, false, 0), "") << "a ratio above one shows nothing";
    EXPECT_EQ(d.GetText(vt_CompressionRate, None, false), "0.0 %") << "allocated above size: no compression";
    TSizeData compressed{1000, 250, 0, 1, 1, 0, cfCompressed};
    EXPECT_EQ(compressed.GetText(vt_CompressionRate, None, false), "75.0 %");
    TSizeData empty;
    EXPECT_DOUBLE_EQ(empty.GetValue(vt_percent, None, 0).first, 0.0) << "parent of size 0: 0 %";
    EXPECT_DOUBLE_EQ(empty.GetValue(vt_average_file_size, Byte).first, 0.0);

    const auto [value, unit] = TSizeData{int64_t(5) * 1024 * 1024 * 1024}.GetValue(vt_size, Mixed);
    EXPECT_DOUBLE_EQ(value, 5.0);
    EXPECT_EQ(unit, Giga);
    EXPECT_EQ(KVPFormatSize(Mixed, 2, 3.0 * 1024 * 1024 * 1024 * 1024), "3.00 TB");
    EXPECT_EQ(FormatSizeAndUnit(200LL * 1024 * 1024 * 1024, Mixed), "200 GB");
    EXPECT_EQ(FormatSizeAndUnit(5 * 1024 * 1024, Mixed), "5 MB");
    EXPECT_THROW(KVPFormatSize(None, 1, 1), EKelvaneError);
    EXPECT_THROW(FormatSizeAndUnit(1, None), EKelvaneError);
    EXPECT_THROW((void)d.Compare(d, vt_Owner), EKelvaneError);

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(d.GetText(vt_size, Kilo, false), "1.536,0 KB");
    QLocale::setDefault(QLocale::c());
}

TEST(SizeDataTexts, Ordering)
{
    const TSizeData small{1000}, big{1000000};
    EXPECT_LT(small.Compare(big, vt_size), 0);
    EXPECT_GT(big.Compare(small, vt_size), 0);
    EXPECT_EQ(small.Compare(small, vt_size), 0);
    EXPECT_LT((TSizeData{0, 0, 0, 0, 1}).Compare(TSizeData{0, 0, 0, 0, 2}, vt_files), 0) << "counts are not scaled away";
}

TEST_F(Counters, NodeOrderCaptionsAndBold)
{
    TFolderData* rootFolder = Root->RootFolder.get();
    auto* folder = new TFolderData(rootFolder, false, "zeta", Root);
    auto* files = new TFolderData(rootFolder, true, "", Root);
    rootFolder->AppendChild(folder);
    rootFolder->AppendChild(files);
    auto fileItem = TFolderData::FromFindRecord(rootFolder, File("alpha", 5), Root);
    EXPECT_LT(folder->Compare(*fileItem, vt_Name), 0) << "folders sort before files, whatever the names";
    EXPECT_LT(folder->Compare(*files, vt_Name), 0);
    EXPECT_EQ(files->GetDisplayName(), "[Files]");
    EXPECT_EQ(files->GetColumnText(vt_fullpath, false, false), Dir.path() + "/*.*");
    EXPECT_EQ(fileItem->GetFullPath(), Dir.path() + "/alpha");
    EXPECT_EQ(folder->GetFullPath(), Dir.path() + "/zeta/");
    EXPECT_EQ(folder->GetColumnText(vt_path_without_name, false, false), Dir.path() + "/");
    EXPECT_THROW((void)folder->GetColumnText(25, false, false), EKelvaneError);

    folder->Error = 5;
    EXPECT_EQ(folder->GetDisplayName(), "zeta [Access Denied!]");
    folder->Error = 1117;
    EXPECT_EQ(folder->GetDisplayName(), "zeta [Error!]");
    folder->Error = 0;
    folder->SetScanning(true);
    EXPECT_EQ(folder->GetDisplayName(), "zeta  <==");
    EXPECT_TRUE(folder->IsBranchBusy());
    folder->SetScanning(false);
    folder->UpdateTick = TickCount() - 6000;
    EXPECT_FALSE(folder->IsBranchBusy());
    EXPECT_TRUE(folder->Flags & TFolderData::fdSettled);

    rootFolder->SizeData().Size = 100 * 1024 * 1024;
    folder->SizeData().Size = 20 * 1024 * 1024;
    Options->BoldFactor = 15;
    EXPECT_TRUE(folder->IsEmphasized()) << "20 MB is above 15 % of 100 MB";
    Options->BoldFactorType = TGlobalOptions::bft_Megabytes;
    Options->BoldFactor = 25;
    EXPECT_FALSE(folder->IsEmphasized());

    const QString hint = folder->GetHint();
    EXPECT_TRUE(hint.startsWith(" Name:")) << hint.toStdString();
    EXPECT_FALSE(hint.contains("File Type")) << "folders leave file columns out";
    EXPECT_FALSE(hint.endsWith("\r\n"));
    EXPECT_TRUE(fileItem->GetHint().contains("File Type"));
    EXPECT_FALSE(fileItem->GetHint().contains(" Folders:"));
}

TEST_F(Counters, DeltasMoveEveryAncestor)
{
    TFolderData* rootFolder = Root->RootFolder.get();
    auto* a = new TFolderData(rootFolder, false, "a", Root);
    rootFolder->AppendChild(a);
    auto* b = new TFolderData(a, false, "b", Root);
    a->AppendChild(b);
    b->FilesSizeData() = TSizeData{700, 4096, 0, 1, 1};
    b->SizeData() = b->FilesSizeData();
    a->SizeData() = b->SizeData();
    rootFolder->SizeData() = a->SizeData();
    EXPECT_EQ(b->ReplaceFilesCounters(TSizeData{500, 4096, 0, 1, 1}), nullptr);
    EXPECT_EQ(b->FilesSizeData().Size, 500);
    EXPECT_EQ(a->SizeData().Size, 500);
    EXPECT_EQ(rootFolder->SizeData().Size, 500);
    EXPECT_EQ(b->SubtractDelta(TSizeData{600}, false), b) << "a negative total asks for a rescan";
}

} // namespace
