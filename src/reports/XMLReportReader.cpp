#include "XMLReportReader.h"

#include "XMLFileStream.h"
#include "XMLReportParser.h"
#include "scan/FileAggregates.h"
#include "scan/Roots.h"

#include <QBuffer>
#include <QFile>
#include <climits>

namespace kelvane {

namespace {

class TReportReader : public TReportParser {
public:
    TReportReader(TRoots& roots, const TReportProgress& progress)
        : FRoots(roots)
        , FProgress(progress)
    {
    }

    TRoot* Read(QIODevice& input, QString* error)
    {
        QString message = Parse(input);
        if (message.isEmpty() && !FRoot)
            message = QStringLiteral("No report information found in the XML file!");
        if (!message.isEmpty()) {
            if (error)
                *error = message;
            return nullptr; // the partly built root goes with the reader
        }
        if (FRoot->Available)
            FRoot->RefreshVolumeInfo(false); // live free and total space replace the report's
        FRoot->RootFolder->SetFlag(TFolderData::fdExpanded, true);
        return FRoots.AddRoot(std::move(FRoot));
    }

private:

    void OnStart(std::string_view n, const XML_Char** a) override
    {
        if (FRoot && n == "TTopSizeFileList") {
            FRoot->TopFiles = std::make_unique<TTopSizeFileList>(int(Number(a, "Max", 0, 1000000)));
            return;
        }
        if (FRoot && FRoot->TopFiles && n == "TopFile") {
            const char* fileName = Attribute(a, "name");
            const char* path = Attribute(a, "Path");
            TCustomFileData f;
            f.Name = XmlUnescapeBytes(fileName ? fileName : "");
            f.Path = XmlUnescapeBytes(path ? path : "");
            f.Attributes = uint32_t(Number(a, "FileAttributes", 0, UINT32_MAX));
            f.LastAccessTime = Time(a, "LastAccessLow", "LastAccessHigh");
            f.LastWriteTime = Time(a, "LastChangeLow", "LastChangeHigh");
            f.Size = int64_t(Time(a, "SizeLow", "SizeHigh")); // the same two 32-bit halves
            f.Available = FRoot->Available;
            FRoot->TopFiles->Insert(std::move(f));
            return;
        }
        if (FCurrent) {
            if (n == "LastAccessDate") {
                FCurrent->LastAccessDate = Time(a);
                return;
            }
            if (n == "LastChangeDate") {
                FCurrent->LastChangeDate = Time(a);
                return;
            }
            if (n == "CreationDate") {
                FCurrent->CreationDate = Time(a);
                return;
            }
            if (n == "SizeData") {
                if (!FCurrent->IsFilesItem())
                    FCurrent->SizeData() = Counters(a);
                return;
            }
            if (n == "FilesSizeData") {
                FCurrent->FilesSizeData() = Counters(a);
                return;
            }
            if (n == "FileAgeDistribution") {
                FCurrent->EnsureOwnAggregates().Ages = Ages(a);
                FRoot->CollectFileAges = true;
                return;
            }
        }
        if (n == "Item") {
            if (FAggregate) {
                const char* key = Attribute(a, "name");
                FAggregate->Item(FAggregateIsExtensions, QString::fromStdString(XmlUnescapeBytes(key ? key : ""))).Add(Counters(a));
            }
            return;
        }
        if (n == "Folder") {
            StartFolder(a);
            return;
        }
        if (n == "TExtensionSizeArray" || n == "TUserSizeArray") {
            if (!FCurrent)
                throw TReportStop{QStringLiteral("Folder not Assigned at begin of '%1' Node").arg(QString::fromLatin1(n.data(), qsizetype(n.size())))};
            FAggregate = &FCurrent->EnsureOwnAggregates();
            FAggregateIsExtensions = n == "TExtensionSizeArray";
            return;
        }
        if (n == "ExcludePatterns" || n == "IncludePatterns") {
            if (!FRoot)
                throw TReportStop{QStringLiteral("'%1' before 'Path'").arg(QString::fromLatin1(n.data(), qsizetype(n.size())))};
            FPatterns = n == "ExcludePatterns" ? &FRoot->ExcludePatterns : &FRoot->IncludePatterns;
            FPatterns->Clear();
        }
    }

    void StartFolder(const XML_Char** a)
    {
        if (!FRoot)
            throw TReportStop{QStringLiteral("'Folder' before 'Path'")};
        if (!FRootFolderSeen) {
            FRootFolderSeen = true; // the root folder exists already
            FJustEntered = false;
            return;
        }
        if (!FCurrent)
            throw TReportStop{QStringLiteral("Folder not Assigned at begin of 'Folder' Node")};
        const bool filesNode = Number(a, "IsFilesNode", -1, 1) != 0;
        if (!filesNode && FProgress && !FProgress(++FDone, FTotal))
            throw TReportStop{QStringLiteral("Cancelled")};
        if (FJustEntered && !FCurrent->IsFilesItem()) {
            // The folder has children: its statistics come from them.
            FCurrent->SetOwnAggregates(nullptr);
        }
        auto* node = new TFolderData(FCurrent, filesNode, std::string(), FRoot.get());
        FCurrent->AppendChild(node);
        FCurrent = node;
        FJustEntered = true;
    }

    void OnEnd(std::string_view n, const std::string& text) override
    {
        if (FCurrent) {
            if (n == "Name") {
                if (FCurrent->Parent && !FCurrent->IsFilesItem())
                    FCurrent->Name = XmlUnescapeBytes(text);
                return;
            }
            if (n == "Attributes") {
                FCurrent->Attributes = uint32_t(ToNumber(text, "Attributes"));
                return;
            }
            if (n == "Error") {
                FCurrent->Error = int32_t(ToNumber(text, "Error"));
                return;
            }
        }
        if (FRoot && EndRootField(n, text))
            return;
        if (n == "Path") {
            if (FRoot)
                throw TReportStop{QStringLiteral("A second 'Path' in the report")};
            const std::string path = XmlUnescapeBytes(text);
            if (path.empty())
                throw TReportStop{QStringLiteral("The report's 'Path' is empty")};
            FRoot = TRoot::CreateForReport(FRoots, QString::fromLocal8Bit(path.data(), qsizetype(path.size())));
            FRoot->RootFolder->Name = path;
            FCurrent = FRoot->RootFolder.get();
            FRootFolderSeen = false;
            return;
        }
        if (n == "Folder") {
            if (!FCurrent)
                throw TReportStop{QStringLiteral("Folder not Assigned at end of 'Folder' Node")};
            FCurrent = FCurrent->Parent;
            FJustEntered = false;
            return;
        }
        if (n == "TExtensionSizeArray" || n == "TUserSizeArray") {
            FAggregate = nullptr;
            return;
        }
        if (n == "ExcludePatterns" || n == "IncludePatterns") {
            FPatterns = nullptr;
            return;
        }
        if (n == "pattern" && FPatterns)
            FPatterns->Insert(FPatterns->Count(), QString::fromStdString(XmlUnescapeBytes(Trimmed(text))));
    }

    bool EndRootField(std::string_view n, const std::string& text)
    {
        TRoot& r = *FRoot;
        if (n == "ArchiveBitFilesOnly")
            r.ArchiveBitFilesOnly = ToBool(text);
        else if (n == "CreatedPastDaysOnly")
            r.CreatedPastDaysOnly = int(ToNumber(text, "CreatedPastDaysOnly"));
        else if (n == "Filesystem")
            r.Filesystem = QString::fromStdString(XmlUnescapeBytes(text));
        else if (n == "SectorsPerCluster")
            r.SectorsPerCluster = uint32_t(ToNumber(text, "SectorsPerCluster"));
        else if (n == "BytesPerSector")
            r.BytesPerSector = uint32_t(ToNumber(text, "BytesPerSector"));
        else if (n == "BytesPerCluster")
            r.BytesPerCluster = uint32_t(ToNumber(text, "BytesPerCluster"));
        else if (n == "Compressed")
            r.Compressed = ToBool(text);
        else if (n == "IsCompared")
            r.IsCompared = ToBool(text);
        else if (n == "FileBasedCompression")
            r.FileBasedCompression = ToBool(text);
        else if (n == "FoldersOccupySpace")
            r.FoldersOccupySpace = ToBool(text);
        else if (n == "UserDefinedClusterSize")
            r.UserDefinedClusterSize = uint32_t(ToNumber(text, "UserDefinedClusterSize"));
        else if (n == "Title")
            r.Title = QString::fromStdString(XmlUnescapeBytes(text));
        else if (n == "UsedBytesOnDrive")
            r.TotalBytes = ToNumber(text, "UsedBytesOnDrive");
        else if (n == "FreeBytesOnDrive")
            r.FreeBytes = ToNumber(text, "FreeBytesOnDrive");
        else
            return false;
        return true;
    }




    int FTotal = 10;
    TRoots& FRoots;
    const TReportProgress& FProgress;
    std::unique_ptr<TRoot> FRoot;
    TFolderData* FCurrent = nullptr;
    TFileAggregates* FAggregate = nullptr; // the one being read: its extensions or its owners
    bool FAggregateIsExtensions = false;
    TPatterns* FPatterns = nullptr;
    bool FRootFolderSeen = true;
    bool FJustEntered = false;
    int FDone = 0;
};

} // namespace

TRoot* LoadXMLReportData(TRoots& roots, const QByteArray& data, QString* error, const TReportProgress& progress)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    TReportReader reader(roots, progress);
    return reader.Read(buffer, error);
}

TRoot* LoadXMLReport(TRoots& roots, const QString& fileName, QString* error, const TReportProgress& progress)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Could not parse XML file %1!\r\n\r\n%2").arg(fileName, file.errorString());
        return nullptr;
    }
    TReportReader reader(roots, progress);
    return reader.Read(file, error);
}

} // namespace kelvane
