#include "../scan/ScanFixture.h"
#include "reports/XMLFileStream.h"
#include "reports/XMLReportWriter.h"
#include "reports/HistoryReader.h"
#include "scan/ScanHistory.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <pugixml.hpp>
#include <thread>

using namespace kelvane;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(XMLWriter, PrimitivesWriteExactBytes)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("sub/out.xml");
    TXMLFileStream xml(file, "UTF-8", true);
    xml.LineBreak = true;
    xml.ShortEmptyTags = true;
    ASSERT_EQ(xml.Open(), QString()) << "the missing folder is created";
    xml.WriteProcessingInstruction("xml-stylesheet", "type=\"text/xsl\" href=\"x.xsl\"");
    xml.StartElement("Root");
    xml.WriteTextElement("Name", XmlEscape(std::string_view("a&b<c>\"d\"")));
    TXMLAttributes a;
    a.Add("n", std::string_view("q\"&")).Add("v", -5LL).AddUnsigned("u", 4294967295ULL);
    xml.WriteEmptyElement("Item", a);
    xml.StartElement("Empty");
    xml.EndElement("Empty");
    xml.StartElement("Outer");
    xml.StartElement("Inner");
    xml.EndElement("Inner");
    xml.EndElement("Outer");
    xml.WriteFileTimeElement("T", (uint64_t(7) << 32) | 9);
    xml.EndElement("Root");
    ASSERT_EQ(xml.Close(), QString());
    EXPECT_EQ(ReadAll(file), QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n"
                                        "<?xml-stylesheet type=\"text/xsl\" href=\"x.xsl\"?>\r\n"
                                        "<Root>\r\n"
                                        "<Name>a&amp;b&lt;c&gt;&quot;d&quot;</Name>\r\n"
                                        "<Item n=\"q&quot;&amp;\" v=\"-5\" u=\"4294967295\"/>\r\n"
                                        "<Empty/>\r\n"
                                        "<Outer>\r\n"
                                        "<Inner/>\r\n"
                                        "</Outer>\r\n"
                                        "<T Low=\"9\" High=\"7\"/>\r\n"
                                        "</Root>\r\n"));
}

TEST(XMLWriter, EveryNameSurvivesEscaping)
{
    const std::string names[] = {"plain", "a&b<c>d\"e'f", "tab\there", "line\nbreak\r", "bad\xff\xfe bytes",
                                 "literal \\x41 and \\", "ctl\x01\x1f", "Grüße ✓", std::string("nul\0in", 6)};
    for (const std::string& name : names) {
        const QByteArray document = "<a v=\"" + XmlEscape(name) + "\">" + XmlEscape(name) + "</a>";
        pugi::xml_document doc;
        ASSERT_TRUE(doc.load_buffer(document.constData(), size_t(document.size()))) << document.toStdString();
        EXPECT_EQ(XmlUnescapeBytes(doc.child("a").child_value()), name);
        EXPECT_EQ(XmlUnescapeBytes(doc.child("a").attribute("v").value()), name);
    }
}

class XMLReport : public ScanFixture {};

TEST_F(XMLReport, FoldersCountersAndStatisticsAtTheLeaves)
{
    MakeFolder("a");
    MakeFolder("a/leaf");
    MakeFile("a/x.txt", 100);
    MakeFile("a/leaf/y.LOG", 5000);
    MakeFile(std::string("odd&<name\xff"), 3);
    TRoot* root = Scan(Dir.path());
    ASSERT_NE(root, nullptr);
    const QString file = Dir.path() + "/../report-" + QString::number(::getpid()) + ".xml";
    ASSERT_EQ(SaveXMLReport(*root, file), QString());
    const QByteArray bytes = ReadAll(file);
    QFile::remove(file);
    ASSERT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n<?xml-stylesheet type=\"text/xsl\" href=\"file://"));
    EXPECT_FALSE(bytes.contains("\n<Folder") && bytes.contains("\n <")) << "nothing is indented";

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_buffer(bytes.constData(), size_t(bytes.size())));
    const pugi::xml_node r = doc.child("Root");
    const char* order[] = {"Application", "Version", "Date", "Path", "ExcludePatterns", "IncludePatterns", "ArchiveBitFilesOnly",
                           "CreatedPastDaysOnly", "Filesystem", "SectorsPerCluster", "BytesPerSector", "BytesPerCluster",
                           "Compressed", "FileBasedCompression", "FoldersOccupySpace", "IsCompared", "Title",
                           "UserDefinedClusterSize", "UsedBytesOnDrive", "FreeBytesOnDrive", "TTopSizeFileList", "Folder"};
    pugi::xml_node child = r.first_child();
    for (const char* name : order) {
        ASSERT_TRUE(child) << name;
        EXPECT_STREQ(child.name(), name);
        child = child.next_sibling();
    }
    EXPECT_STREQ(r.child("FoldersOccupySpace").child_value(), "-1");
    EXPECT_EQ(r.child("TTopSizeFileList").attribute("Max").as_int(), 100);
    EXPECT_STREQ(r.child("TTopSizeFileList").first_child().attribute("name").value(), "y.LOG");

    const pugi::xml_node top = r.child("Folder");
    EXPECT_EQ(top.child("SizeData").attribute("Size").as_llong(), 5103);
    EXPECT_EQ(top.child("SizeData").attribute("CDRom").as_llong(), 7 * 2048) << "sectors written in bytes";
    EXPECT_FALSE(top.child("TExtensionSizeArray")) << "inner folders carry no statistics";
    pugi::xml_node a, filesItem;
    for (pugi::xml_node f : top.children("Folder")) {
        if (std::string(f.child_value("Name")) == "a")
            a = f;
        if (std::string(f.attribute("IsFilesNode").value()) == "-1")
            filesItem = f;
    }
    ASSERT_TRUE(a);
    ASSERT_TRUE(filesItem);
    EXPECT_STREQ(filesItem.child_value("Name"), "[Files]");
    EXPECT_EQ(XmlUnescapeBytes(filesItem.child("TExtensionSizeArray").child("Item").attribute("name").value()), ".");
    const pugi::xml_node leaf = a.find_child_by_attribute("Folder", "fullpath", (Path("a/leaf/")).c_str());
    ASSERT_TRUE(leaf);
    EXPECT_STREQ(leaf.child("TExtensionSizeArray").child("Item").attribute("name").value(), ".log");
    EXPECT_EQ(leaf.child("FileAgeDistribution").attribute("Days_1").as_int(), 1);
    EXPECT_TRUE(leaf.child("FileAgeDistribution").attribute("Size_2147483647"));
}

TEST_F(XMLReport, CancelledOrFailedWritesKeepTheEarlierFile)
{
    MakeFolder("a");
    MakeFolder("b");
    TRoot* root = Scan(Dir.path());
    ASSERT_NE(root, nullptr);
    QTemporaryDir out;
    const QString file = out.filePath("r.xml");
    {
        QFile earlier(file);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
    }
    EXPECT_FALSE(SaveXMLReport(*root, file, [](int, int) { return false; }).isEmpty());
    EXPECT_EQ(ReadAll(file), QByteArray("earlier"));
    EXPECT_FALSE(SaveXMLReport(*root, "/proc/no/such/dir/r.xml").isEmpty());
}

TEST_F(XMLReport, HistoryEntriesAndWhoGetsOne)
{
    MakeFile("f", 10);
    TRoot* root = Scan(Dir.path());
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(BelongsInHistory(*root));
    QTemporaryDir out;
    const QString history = out.filePath("scanhistory.xml");
    for (int j = 0; j < 20; ++j)
        EXPECT_EQ(AppendHistoryEntry(*root, history), QString());
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(history.toUtf8().constData()));
    int entries = 0;
    for (pugi::xml_node n : doc.child("SCANS").children("Root")) {
        (void)n;
        ++entries;
    }
    EXPECT_EQ(entries, 20);
    EXPECT_EQ(doc.child("SCANS").child("Root").child("SizeData").attribute("Size").as_llong(), 10);

    auto read = ReadHistory(history, root->Path, {});
    ASSERT_TRUE(read);
    EXPECT_EQ(read->size(), 20u);
    EXPECT_EQ(read->front().SizeData.Size, 10);
    EXPECT_GT(read->front().Date, 40000.0);
    EXPECT_EQ(read->front().GetValue(viewtypes::vt_files, viewtypes::Byte), -1);
    EXPECT_EQ(ReadHistory(history, "/some/other/path/", {}), nullptr) << "entries of other paths are left out";
    EXPECT_EQ(ReadHistory(history, root->Path, {"*.TMP"}), nullptr) << "other exclusions: not comparable";

    Options->ExcludePatternList.SetPatternArray({"*.tmp", "cache"});
    root = Scan(Dir.path());
    ASSERT_EQ(AppendHistoryEntry(*root, history), QString());
    read = ReadHistory(history, root->Path, {"*.TMP", "*cache*"});
    ASSERT_TRUE(read);
    EXPECT_EQ(read->size(), 1u) << "patterns compare entry by entry, ignoring case";
    Options->ExcludePatternList.Clear();

    QString error;
    EXPECT_EQ(ReadHistoryData("<SCANS><Root path=\"/x/\"><Date>soon</Date></Root></SCANS>", "/x/", {}, &error), nullptr);
    EXPECT_TRUE(error.contains("Invalid date")) << error.toStdString();
    {
        QFile broken(history);
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Append));
        broken.write("<unclosed");
    }
    EXPECT_TRUE(AppendHistoryEntry(*root, history).startsWith("Could not parse XML file")) << "a broken file is not overwritten";

    Options->IncludePatternList.SetPatternArray({"*.txt"});
    root = Scan(Dir.path());
    EXPECT_FALSE(BelongsInHistory(*root)) << "a filtered scan stays out of the history";
    Options->IncludePatternList.SetPatternArray({"*"});
    Options->ExcludePatternList.SetPatternArray({"*"});
    root = Scan(Dir.path());
    EXPECT_FALSE(BelongsInHistory(*root)) << "a scan that counted no file stays out";
}

} // namespace
