#include "XMLReportReader.h"

#include "XMLFileStream.h"
#include "scan/FileAggregates.h"
#include "scan/Roots.h"

#include <QFile>
#include <climits>
#include <cstring>
#include <expat.h>

namespace kelvane {

namespace {

constexpr int MaximumDepth = 4096;

// Thrown inside a handler to stop the parse with a message.
struct TStop {
    QString Message;
};

class TReportReader {
public:
    TReportReader(TRoots& roots, const TReportProgress& progress)
        : FRoots(roots)
        , FProgress(progress)
    {
    }

    TRoot* Parse(const QByteArray& data, QString* error)
    {
        XML_Parser parser = XML_ParserCreate("UTF-8");
        FParser = parser;
        XML_SetUserData(parser, this);
        XML_SetElementHandler(parser, &Start, &End);
        XML_SetCharacterDataHandler(parser, &Characters);
        // No document types: nothing to expand, nothing external to fetch.
        XML_SetStartDoctypeDeclHandler(parser, &Doctype);
        XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);
        const XML_Status status = XML_Parse(parser, data.constData(), int(data.size()), XML_TRUE);
        QString message = FStopMessage;
        if (status != XML_STATUS_OK && message.isEmpty())
            message = QStringLiteral("Fatal error\r\n\r\n%1\r\nLine: %2; Column: %3")
                          .arg(QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(parser))))
                          .arg(XML_GetCurrentLineNumber(parser))
                          .arg(XML_GetCurrentColumnNumber(parser) + 1);
        else if (!message.isEmpty())
            message += QStringLiteral("\r\nLine: %1; Column: %2").arg(XML_GetCurrentLineNumber(parser)).arg(XML_GetCurrentColumnNumber(parser) + 1);
        XML_ParserFree(parser);
        if (message.isEmpty() && !FRoot)
            message = QStringLiteral("No report information found in the XML file!");
        if (!message.isEmpty()) {
            if (error)
                *error = message;
            return nullptr;
        }
        if (FRoot->Available)
            FRoot->RefreshVolumeInfo(false); // live free and total space replace the report's
        FRoot->RootFolder->SetFlag(TFolderData::fdExpanded, true);
        return FRoots.AddRoot(std::move(FRoot));
    }

private:
    static void XMLCALL Start(void* self, const XML_Char* name, const XML_Char** attributes)
    {
        static_cast<TReportReader*>(self)->Guard([&](TReportReader& r) { r.OnStart(name, attributes); });
    }
    static void XMLCALL End(void* self, const XML_Char* name)
    {
        static_cast<TReportReader*>(self)->Guard([&](TReportReader& r) { r.OnEnd(name); });
    }
    static void XMLCALL Characters(void* self, const XML_Char* text, int length)
    {
        // Entities and references arrive as chunks of their own: keep them all.
        static_cast<TReportReader*>(self)->FText.append(text, size_t(length));
    }
    static void XMLCALL Doctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int)
    {
        static_cast<TReportReader*>(self)->Guard(
            [](TReportReader&) { throw TStop{QStringLiteral("Document type declarations are not allowed in reports")}; });
    }

    template <typename F>
    void Guard(F f)
    {
        if (!FStopMessage.isEmpty() || FStopped)
            return;
        try {
            f(*this);
        } catch (const TStop& stop) {
            FStopMessage = stop.Message;
            FStopped = true;
            XML_StopParser(FParserOf(), XML_FALSE);
        }
    }
    XML_Parser FParserOf() { return FParser; }

    static const char* Attribute(const XML_Char** attributes, const char* name)
    {
        for (int i = 0; attributes[i]; i += 2)
            if (std::strcmp(attributes[i], name) == 0)
                return attributes[i + 1];
        return nullptr;
    }

    static long long Number(const XML_Char** attributes, const char* name, long long minimum, long long maximum)
    {
        const char* text = Attribute(attributes, name);
        if (!text)
            return 0;
        bool ok = false;
        const long long value = QByteArray(text).trimmed().toLongLong(&ok);
        if (!ok || value < minimum || value > maximum)
            throw TStop{QStringLiteral("Invalid value \"%1\" of the attribute %2").arg(QString::fromUtf8(text), QString::fromLatin1(name))};
        return value;
    }

    static TSizeData Counters(const XML_Char** a)
    {
        TSizeData d;
        d.Size = Number(a, "Size", LLONG_MIN, LLONG_MAX);
        d.Allocated = Number(a, "Allocated", LLONG_MIN, LLONG_MAX);
        d.Wasted = Number(a, "Wasted", LLONG_MIN, LLONG_MAX);
        d.CDRom = int32_t(Number(a, "CDRom", -(2048LL << 31), 2048LL << 31) / 2048);
        d.Files = int32_t(Number(a, "Files", INT32_MIN, INT32_MAX));
        d.Folders = int32_t(Number(a, "Folders", INT32_MIN, INT32_MAX));
        d.Compression = uint32_t(Number(a, "Compression", 0, 3));
        return d;
    }

    static TFileTime Time(const XML_Char** a)
    {
        return (uint64_t(Number(a, "High", 0, UINT32_MAX)) << 32) | uint64_t(Number(a, "Low", 0, UINT32_MAX));
    }

    TFileAggregates& AggregatesOf(TFolderData& folder)
    {
        // A files item's statistics are its parent's own files.
        TFolderData& owner = folder.IsFilesItem() && folder.Parent ? *folder.Parent : folder;
        if (!owner.OwnAggregates())
            owner.SetOwnAggregates(std::make_unique<TFileAggregates>());
        return const_cast<TFileAggregates&>(*owner.OwnAggregates());
    }

    void OnStart(const char* name, const XML_Char** a)
    {
        FText.clear();
        if (++FDepth > MaximumDepth)
            throw TStop{QStringLiteral("The report is nested too deeply")};
        const std::string_view n(name);
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
            f.LastAccessTime = (uint64_t(Number(a, "LastAccessHigh", 0, UINT32_MAX)) << 32) | uint64_t(Number(a, "LastAccessLow", 0, UINT32_MAX));
            f.LastWriteTime = (uint64_t(Number(a, "LastChangeHigh", 0, UINT32_MAX)) << 32) | uint64_t(Number(a, "LastChangeLow", 0, UINT32_MAX));
            f.Size = int64_t((uint64_t(Number(a, "SizeHigh", 0, UINT32_MAX)) << 32) | uint64_t(Number(a, "SizeLow", 0, UINT32_MAX)));
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
                TFileAgeDistribution& ages = AggregatesOf(*FCurrent).Ages;
                for (size_t i = 0; i < TFileAgeDistribution::ClassCount; ++i) {
                    const QByteArray limit = QByteArray::number(TFileAgeDistribution::Limits[i]);
                    ages.Counts[i] = int32_t(Number(a, QByteArray("Days_" + limit).constData(), INT32_MIN, INT32_MAX));
                    ages.Sizes[i] = Number(a, QByteArray("Size_" + limit).constData(), LLONG_MIN, LLONG_MAX);
                }
                FRoot->CollectFileAges = true;
                return;
            }
        }
        if (n == "Item") {
            if (FAggregate) {
                const char* key = Attribute(a, "name");
                FAggregate->GetSizeData(QString::fromStdString(XmlUnescapeBytes(key ? key : ""))).Add(Counters(a));
            }
            return;
        }
        if (n == "Folder") {
            StartFolder(a);
            return;
        }
        if (n == "TExtensionSizeArray" || n == "TUserSizeArray") {
            if (!FCurrent)
                throw TStop{QStringLiteral("Folder not Assigned at begin of '%1' Node").arg(QString::fromLatin1(name))};
            TFileAggregates& target = AggregatesOf(*FCurrent);
            FAggregate = n == "TExtensionSizeArray" ? static_cast<TAssocSizeArray*>(&target.Extensions) : &target.Users;
            return;
        }
        if (n == "ExcludePatterns" || n == "IncludePatterns") {
            if (!FRoot)
                throw TStop{QStringLiteral("'%1' before 'Path'").arg(QString::fromLatin1(name))};
            FPatterns = n == "ExcludePatterns" ? &FRoot->ExcludePatterns : &FRoot->IncludePatterns;
            FPatterns->Clear();
        }
    }

    void StartFolder(const XML_Char** a)
    {
        if (!FRoot)
            throw TStop{QStringLiteral("'Folder' before 'Path'")};
        if (!FRootFolderSeen) {
            FRootFolderSeen = true; // the root folder exists already
            FJustEntered = false;
            return;
        }
        if (!FCurrent)
            throw TStop{QStringLiteral("Folder not Assigned at begin of 'Folder' Node")};
        const bool filesNode = Number(a, "IsFilesNode", -1, 1) != 0;
        if (!filesNode && FProgress && !FProgress(++FDone, FTotal))
            throw TStop{QStringLiteral("Cancelled")};
        if (FJustEntered && !FCurrent->IsFilesItem()) {
            // The folder has children: its statistics come from them.
            FCurrent->SetOwnAggregates(nullptr);
        }
        auto* node = new TFolderData(FCurrent, filesNode, std::string(), FRoot.get());
        FCurrent->AppendChild(node);
        FCurrent = node;
        FJustEntered = true;
    }

    void OnEnd(const char* name)
    {
        --FDepth;
        const std::string_view n(name);
        const std::string text = FText;
        FText.clear();
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
                throw TStop{QStringLiteral("A second 'Path' in the report")};
            const std::string path = XmlUnescapeBytes(text);
            if (path.empty())
                throw TStop{QStringLiteral("The report's 'Path' is empty")};
            FRoot = TRoot::CreateForReport(FRoots, QString::fromLocal8Bit(path.data(), qsizetype(path.size())));
            FRoot->RootFolder->Name = path;
            FCurrent = FRoot->RootFolder.get();
            FRootFolderSeen = false;
            return;
        }
        if (n == "Folder") {
            if (!FCurrent)
                throw TStop{QStringLiteral("Folder not Assigned at end of 'Folder' Node")};
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

    static std::string Trimmed(const std::string& text)
    {
        const size_t first = text.find_first_not_of(" \t\r\n");
        return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    }

    static long long ToNumber(const std::string& text, const char* what)
    {
        bool ok = false;
        const long long value = QByteArray::fromStdString(Trimmed(text)).toLongLong(&ok);
        if (!ok)
            throw TStop{QStringLiteral("Invalid value \"%1\" of %2").arg(QString::fromStdString(text), QString::fromLatin1(what))};
        return value;
    }

    static bool ToBool(const std::string& text)
    {
        const std::string t = Trimmed(text);
        return t == "-1" || t == "1" || t == "True" || t == "true";
    }

public:
    XML_Parser FParser = nullptr;
    int FTotal = 10;

private:
    TRoots& FRoots;
    const TReportProgress& FProgress;
    std::unique_ptr<TRoot> FRoot;
    TFolderData* FCurrent = nullptr;
    TAssocSizeArray* FAggregate = nullptr;
    TPatterns* FPatterns = nullptr;
    bool FRootFolderSeen = true;
    bool FJustEntered = false;
    bool FStopped = false;
    int FDepth = 0;
    int FDone = 0;
    std::string FText;
    QString FStopMessage;
};

} // namespace

TRoot* LoadXMLReportData(TRoots& roots, const QByteArray& data, QString* error, const TReportProgress& progress)
{
    TReportReader reader(roots, progress);
    return reader.Parse(data, error);
}

TRoot* LoadXMLReport(TRoots& roots, const QString& fileName, QString* error, const TReportProgress& progress)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Could not parse XML file %1!\r\n\r\n%2").arg(fileName, file.errorString());
        return nullptr;
    }
    return LoadXMLReportData(roots, file.readAll(), error, progress);
}

} // namespace kelvane
