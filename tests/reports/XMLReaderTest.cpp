#include "../scan/ScanFixture.h"
#include "reports/XMLReportReader.h"
#include "reports/XMLReportWriter.h"
#include "scan/FileAggregates.h"

#include <QFile>
#include <QRegularExpression>

using namespace kelvane;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The report without the lines that may change between two writes.
QByteArray Stable(QByteArray report)
{
    static const QRegularExpression volatileLines(QStringLiteral("<(Date|UsedBytesOnDrive|FreeBytesOnDrive)>[^\\r]*\\r\\n"));
    return QString::fromUtf8(report).remove(volatileLines).toUtf8();
}

class XMLReader : public ScanFixture {};

TEST_F(XMLReader, AReportReadsBackToTheSameReport)
{
    MakeFolder("a");
    MakeFolder("a/b");
    MakeFolder("weird & <names>");
    MakeFile("a/x.txt", 100);
    MakeFile("a/b/y.LOG", 5000);
    MakeFile("weird & <names>/tab\there \"q\"", 7);
    MakeFile(std::string("bad\xff\xfe-name\nline"), 9);
    MakeFile("top.dat", 12345);
    Options->GroupUsers = true;
    TRoot* scanned = Scan(Dir.path());
    ASSERT_NE(scanned, nullptr);
    const QString first = Dir.path() + "/../first-" + QString::number(::getpid()) + ".xml";
    const QString second = Dir.path() + "/../second-" + QString::number(::getpid()) + ".xml";
    ASSERT_EQ(SaveXMLReport(*scanned, first), QString());

    QString error;
    TRoot* loaded = LoadXMLReport(*Roots, first, &error);
    ASSERT_NE(loaded, nullptr) << error.toStdString();
    EXPECT_TRUE(loaded->IsLoadedReport);
    EXPECT_EQ(Roots->Items().size(), 2u);
    EXPECT_TRUE(loaded->RootFolder->SizeData() == scanned->RootFolder->SizeData());
    EXPECT_TRUE(loaded->RootFolder->SubtreeAggregates() == scanned->RootFolder->SubtreeAggregates())
        << "inner statistics are rebuilt from the leaves";
    EXPECT_EQ(loaded->GetTopFiles().Count(), scanned->GetTopFiles().Count());
    ASSERT_EQ(SaveXMLReport(*loaded, second), QString());
    EXPECT_EQ(Stable(ReadAll(second)), Stable(ReadAll(first)));
    QFile::remove(first);
    QFile::remove(second);
}

TEST_F(XMLReader, BadReportsGiveAClearErrorAndChangeNothing)
{
    const QByteArray head = "<?xml version=\"1.0\"?>\r\n<Root>\r\n<Path>/srv/</Path>\r\n";
    struct {
        const char* What;
        QByteArray Document;
        const char* Expected;
    } cases[] = {
        {"not XML", "just text", "Line: 1"},
        {"truncated", head + "<Folder fullpath=\"/srv/\" IsFilesNode=\"0\">\r\n<Name>/srv/", "Line: 5"},
        {"no path", "<Root><Application>x</Application></Root>", "No report information found in the XML file!"},
        {"folder before path", "<Root><Folder fullpath=\"/\" IsFilesNode=\"0\"></Folder></Root>", "'Folder' before 'Path'"},
        {"aggregate outside a folder", "<Root><TExtensionSizeArray/></Root>", "Folder not Assigned at begin of 'TExtensionSizeArray' Node"},
        {"a second path", head + "<Path>/other/</Path></Root>", "A second 'Path'"},
        {"counter out of range", head + "<Folder fullpath=\"/srv/\" IsFilesNode=\"0\"><SizeData Size=\"12\" Files=\"99999999999\"/></Folder></Root>",
         "Invalid value \"99999999999\" of the attribute Files"},
        {"not a number", head + "<Folder fullpath=\"/srv/\" IsFilesNode=\"0\"><Attributes>lots</Attributes></Folder></Root>", "Invalid value"},
        {"entity expansion", "<?xml version=\"1.0\"?><!DOCTYPE Root [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;\">]><Root><Path>&b;</Path></Root>",
         "Document type declarations are not allowed"},
        {"external entity", "<?xml version=\"1.0\"?><!DOCTYPE Root [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><Root><Path>&x;</Path></Root>",
         "Document type declarations are not allowed"},
        {"too deep", head + QByteArray("<Folder fullpath=\"/srv/\" IsFilesNode=\"0\">").repeated(5000), "nested too deeply"},
        {"end without folder", head + "<Folder fullpath=\"/srv/\" IsFilesNode=\"0\"></Folder></Folder></Root>", "Line: "},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_EQ(LoadXMLReportData(*Roots, c.Document, &error), nullptr) << c.What;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.Expected))) << c.What << ": " << error.toStdString();
        EXPECT_TRUE(Roots->Items().empty()) << c.What;
    }
    QString error;
    EXPECT_EQ(LoadXMLReport(*Roots, Dir.path() + "/missing.xml", &error), nullptr);
    EXPECT_TRUE(error.startsWith("Could not parse XML file ")) << error.toStdString();
}

TEST_F(XMLReader, ARootScannedMeanwhileStaysIntact)
{
    MakeFile("f", 10);
    TRoot* root = Scan(Dir.path());
    ASSERT_NE(root, nullptr);
    QString error;
    EXPECT_EQ(LoadXMLReportData(*Roots, "<Root><Path>/x/</Path><Folder fullpath=\"/x/\" IsFilesNode=\"0\"><Folder", &error), nullptr);
    ASSERT_EQ(Roots->Items().size(), 1u);
    EXPECT_EQ(Roots->Items().front()->RootFolder->SizeData().Size, 10);
}

} // namespace
