#include "XMLReportWriter.h"

#include "XMLFileStream.h"
#include "app/ApplicationInfo.h"
#include "lib/platform/VersionResource.h"
#include "scan/AggregateKeys.h"
#include "scan/FileAggregates.h"
#include "scan/Root.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>

namespace kelvane {

namespace {

QByteArray Bool(bool value)
{
    return value ? QByteArray("-1") : QByteArray("0");
}

QByteArray Number(long long value)
{
    return QByteArray::number(value);
}

void WriteSizeData(TXMLFileStream& xml, const char* element, const TSizeData& d, const std::string* itemName = nullptr)
{
    TXMLAttributes a;
    if (itemName)
        a.Add("name", std::string_view(*itemName));
    a.Add("Size", d.Size).Add("Allocated", d.Allocated).Add("Wasted", d.Wasted).Add("CDRom", int64_t(d.CDRom) * 2048);
    a.Add("Files", d.Files).Add("Folders", d.Folders).Add("Compression", int32_t(d.Compression));
    xml.WriteEmptyElement(element, a);
}

void WriteAggregate(TXMLFileStream& xml, const char* element, const TAssocSizeArray& aggregate)
{
    if (aggregate.IsEmpty())
        return;
    xml.StartElement(element);
    for (const auto& entry : aggregate.SortedEntries())
        WriteSizeData(xml, "Item", entry.Data(), &TAggregateKeys::Key(entry.Key));
    xml.EndElement(element);
}

void WriteAges(TXMLFileStream& xml, const TFileAgeDistribution& ages)
{
    static const char* const days[] = {"Days_1", "Days_7", "Days_31", "Days_182", "Days_365", "Days_730", "Days_2147483647"};
    static const char* const sizes[] = {"Size_1", "Size_7", "Size_31", "Size_182", "Size_365", "Size_730", "Size_2147483647"};
    TXMLAttributes a;
    for (size_t i = 0; i < TFileAgeDistribution::ClassCount; ++i) {
        a.Add(days[i], ages.Counts[i]);
        a.Add(sizes[i], ages.Sizes[i]);
    }
    xml.WriteEmptyElement("FileAgeDistribution", a);
}

void WritePatterns(TXMLFileStream& xml, const TPatterns& patterns)
{
    const QByteArray name = patterns.ListName.toUtf8();
    xml.StartElement(name.constData());
    for (const QString& p : patterns.Patterns())
        xml.WriteTextElement("pattern", XmlEscape(p));
    xml.EndElement(name.constData());
}

void WriteTopFiles(TXMLFileStream& xml, const TTopSizeFileList& list)
{
    TXMLAttributes max;
    max.Add("Max", list.Capacity());
    xml.StartElement("TTopSizeFileList", &max);
    for (const TCustomFileData& f : list.Files()) {
        TXMLAttributes a;
        a.Add("name", std::string_view(f.Name)).Add("Path", std::string_view(f.Path));
        a.AddUnsigned("SizeLow", uint32_t(uint64_t(f.Size))).AddUnsigned("SizeHigh", uint32_t(uint64_t(f.Size) >> 32));
        a.AddUnsigned("FileAttributes", f.Attributes);
        a.AddUnsigned("LastChangeLow", FileTimeLow(f.LastWriteTime)).AddUnsigned("LastChangeHigh", FileTimeHigh(f.LastWriteTime));
        a.AddUnsigned("LastAccessLow", FileTimeLow(f.LastAccessTime)).AddUnsigned("LastAccessHigh", FileTimeHigh(f.LastAccessTime));
        xml.WriteEmptyElement("TopFile", a);
    }
    xml.EndElement("TTopSizeFileList");
}

class TFolderWriter {
public:
    TFolderWriter(TXMLFileStream& xml, const TRoot& root, const TReportProgress& progress, int total)
        : FXml(xml)
        , FRoot(root)
        , FProgress(progress)
        , FTotal(total)
    {
    }

    // Returns false when cancelled.
    bool Write(const TFolderData& node)
    {
        TXMLAttributes a;
        a.Add("fullpath", std::string_view(node.GetFullPathBytes()));
        a.Add("IsFilesNode", node.IsFilesItem() ? -1LL : 0LL);
        FXml.StartElement("Folder", &a);
        FXml.WriteTextElement("Name", node.IsFilesItem() ? QByteArray("[Files]") : XmlEscape(node.Name));
        FXml.WriteTextElement("Attributes", Number(node.Attributes));
        if (node.Error != 0)
            FXml.WriteTextElement("Error", Number(node.Error));
        FXml.WriteFileTimeElement("LastAccessDate", node.LastAccessDate);
        FXml.WriteFileTimeElement("LastChangeDate", node.LastChangeDate);
        FXml.WriteFileTimeElement("CreationDate", node.CreationDate);
        WriteSizeData(FXml, "SizeData", node.SizeData());
        WriteSizeData(FXml, "FilesSizeData", node.FilesSizeData());
        if (node.Children().empty()) {
            // Inner folders carry no statistics: a reader sums them from the leaves.
            const TFileAggregates* own = node.OwnAggregates();
            if (own) {
                WriteAggregate(FXml, "TExtensionSizeArray", own->Extensions);
                WriteAggregate(FXml, "TUserSizeArray", own->Users);
            }
            if (FRoot.CollectFileAges)
                WriteAges(FXml, own ? own->Ages : TFileAgeDistribution());
        }
        for (const TFolderData* child : node.Children()) {
            if (!Write(*child))
                return false;
            ++FDone;
            if (FProgress && !FProgress(FDone, FTotal))
                return false;
        }
        FXml.EndElement("Folder");
        return true;
    }

private:
    TXMLFileStream& FXml;
    const TRoot& FRoot;
    const TReportProgress& FProgress;
    int FTotal;
    int FDone = 0;
};

QString ProgramFolder()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(QLatin1Char('/'), 0, -2) + QLatin1Char('/');
}

int CountNodes(const TFolderData& node)
{
    int n = 1;
    for (const TFolderData* child : node.Children())
        n += CountNodes(*child);
    return n;
}

} // namespace

QString SaveXMLReport(TRoot& root, const QString& fileName, const TReportProgress& progress)
{
    TXMLFileStream xml(fileName, QStringLiteral("UTF-8"), true);
    xml.Version = QStringLiteral("1.0");
    xml.LineBreak = true;
    xml.ShortEmptyTags = true;
    if (const QString error = xml.Open(); !error.isEmpty())
        return error;
    xml.WriteProcessingInstruction("xml-stylesheet",
                                   "type=\"text/xsl\" href=\"file://" + XmlEscape(ProgramFolder()) + "dromlet.xsl\"");
    xml.StartElement("Root");
    xml.WriteTextElement("Application", XmlEscape(ApplicationTitle()));
    xml.WriteTextElement("Version", XmlEscape(GetVersionText(3, QString())));
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    xml.WriteTextElement("Date", XmlEscape(locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ')
                                           + locale.toString(now.time(), QLocale::LongFormat)));
    xml.WriteTextElement("Path", XmlEscape(std::string_view(root.PathBytes)));
    WritePatterns(xml, root.ExcludePatterns);
    WritePatterns(xml, root.IncludePatterns);
    xml.WriteTextElement("ArchiveBitFilesOnly", Bool(root.ArchiveBitFilesOnly));
    xml.WriteTextElement("CreatedPastDaysOnly", Number(root.CreatedPastDaysOnly));
    xml.WriteTextElement("Filesystem", XmlEscape(root.Filesystem));
    xml.WriteTextElement("SectorsPerCluster", Number(root.SectorsPerCluster));
    xml.WriteTextElement("BytesPerSector", Number(root.BytesPerSector));
    xml.WriteTextElement("BytesPerCluster", Number(root.BytesPerCluster));
    xml.WriteTextElement("Compressed", Bool(root.Compressed));
    xml.WriteTextElement("FileBasedCompression", Bool(root.FileBasedCompression));
    xml.WriteTextElement("FoldersOccupySpace", Bool(root.FoldersOccupySpace));
    xml.WriteTextElement("IsCompared", Bool(root.IsCompared));
    xml.WriteTextElement("Title", XmlEscape(root.GetTitle()));
    xml.WriteTextElement("UserDefinedClusterSize", Number(root.UserDefinedClusterSize));
    xml.WriteTextElement("UsedBytesOnDrive", Number(root.TotalBytes));
    xml.WriteTextElement("FreeBytesOnDrive", Number(root.FreeBytes));
    if (root.TopFiles)
        WriteTopFiles(xml, *root.TopFiles);
    const int total = progress ? std::max(10, CountNodes(*root.RootFolder)) : 0;
    TFolderWriter writer(xml, root, progress, total);
    if (!writer.Write(*root.RootFolder))
        return QStringLiteral("Cancelled"); // the writer is dropped: nothing replaces the file
    xml.EndElement("Root");
    return xml.Close();
}

} // namespace kelvane
