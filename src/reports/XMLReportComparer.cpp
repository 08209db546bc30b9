#include "XMLReportComparer.h"

#include "XMLFileStream.h"
#include "XMLReportParser.h"
#include "scan/FileAggregates.h"
#include "scan/Roots.h"

#include <QBuffer>
#include <QFile>
#include <climits>

namespace kelvane {

namespace {

class TReportComparer : public TReportParser {
public:
    TReportComparer(TRoot& root, const TCompareQuestion& ask, const TReportProgress& progress)
        : FRoot(root)
        , FAsk(ask)
        , FProgress(progress)
    {
    }

    QString Compare(QIODevice& input)
    {
        QString message = Parse(input);
        if (message.isEmpty() && !FCompared)
            message = QStringLiteral("No report information found in the XML file!");
        emit FRoot.Roots.NodesChanged();
        return message;
    }

private:
    bool Ask(const QString& question)
    {
        return !FAsk || FAsk(question);
    }


    static TFolderData* ChildNamed(TFolderData& parent, std::string_view name, bool filesItem)
    {
        for (TFolderData* child : parent.Children())
            if (filesItem ? child->IsFilesItem() : (child->IsFolder() && child->Name == name))
                return child;
        return nullptr;
    }

    // The node for a report folder, made when missing (so folders that are
    // gone show what they lost); null when it cannot be in this root.
    TFolderData* Locate(std::string path, bool filesNode, QString* why)
    {
        if (!FReportPath.empty() && FReportPath != FRoot.PathBytes && path.starts_with(FReportPath))
            path = FRoot.PathBytes + path.substr(FReportPath.size());
        const std::string& rootPath = FRoot.PathBytes;
        if (path.size() < rootPath.size() || path.compare(0, rootPath.size(), rootPath) != 0) {
            *why = QStringLiteral(" Folder \"%1\" is no subfolder of \"%2\".").arg(QString::fromLocal8Bit(path.c_str()), FRoot.Path);
            return nullptr;
        }
        TFolderData* folder = FRoot.RootFolder.get();
        size_t at = rootPath.size();
        while (at < path.size()) {
            size_t slash = path.find('/', at);
            if (slash == std::string::npos)
                slash = path.size();
            const std::string_view name(path.data() + at, slash - at);
            at = slash + 1;
            if (name.empty())
                continue;
            TFolderData* child = ChildNamed(*folder, name, false);
            if (!child) {
                if (folder->IsScanning()) {
                    *why = QStringLiteral(" The selected path is in scan process.");
                    return nullptr;
                }
                child = new TFolderData(folder, false, std::string(name), &FRoot);
                folder->AppendChild(child);
            }
            folder = child;
        }
        if (!filesNode)
            return folder;
        TFolderData* files = ChildNamed(*folder, {}, true);
        if (!files) {
            files = new TFolderData(folder, true, std::string(), &FRoot);
            folder->AppendChild(files);
        }
        return files;
    }

    void OnStart(std::string_view n, const XML_Char** a) override
    {
        if (FCurrent) {
            // A files item's counters are its folder's: subtracted there once.
            if (n == "SizeData") {
                if (!FCurrent->IsFilesItem())
                    FCurrent->SizeData().Subtract(Counters(a));
                return;
            }
            if (n == "FilesSizeData") {
                if (!FCurrent->IsFilesItem())
                    FCurrent->FilesSizeData().Subtract(Counters(a));
                return;
            }
            if (n == "FileAgeDistribution") {
                FCurrent->EnsureOwnAggregates().Ages.SubtractAll(Ages(a));
                FRoot.CollectFileAges = true;
                return;
            }
        }
        if (n == "Item") {
            if (FReportAggregate) {
                const char* key = Attribute(a, "name");
                FReportAggregate->Item(FReportAggregateIsExtensions, QString::fromStdString(XmlUnescapeBytes(key ? key : ""))).Add(Counters(a));
            }
            return;
        }
        if (n == "Folder") {
            if (!FCompared)
                throw TReportStop{QStringLiteral("'Folder' before 'Path'")};
            if (FSkippedDepth > 0) {
                ++FSkippedDepth; // inside a folder that is not in this root
                return;
            }
            const bool filesNode = Number(a, "IsFilesNode", -1, 1) != 0;
            if (!filesNode && FProgress && !FProgress(++FDone, 10))
                throw TReportStop{QStringLiteral("Cancelled")};
            const char* path = Attribute(a, "fullpath");
            QString why;
            TFolderData* parent = FCurrent;
            FCurrent = Locate(XmlUnescapeBytes(path ? path : ""), filesNode, &why);
            if (!FCurrent) {
                FResumeAt = parent;
                FSkippedDepth = 1;
                if (!Ask(QStringLiteral("An error occured while parsing the XML file: %1\r\nDo you want to continue?").arg(why)))
                    throw TReportStop{QStringLiteral("An error occured while parsing the XML file: ") + why};
            }
            return;
        }
        if (n == "TExtensionSizeArray" || n == "TUserSizeArray") {
            FReportAggregate = std::make_unique<TFileAggregates>();
            FReportAggregateIsExtensions = n == "TExtensionSizeArray";
        }
    }

    void OnEnd(std::string_view n, const std::string& text) override
    {
        if (n == "Folder") {
            if (FSkippedDepth > 0) {
                if (--FSkippedDepth == 0)
                    FCurrent = FResumeAt;
                return;
            }
            if (FCurrent)
                FCurrent = FCurrent->Parent;
            return;
        }
        if (FCurrent && n == "Error") {
            if (FCurrent->Error == 0)
                FCurrent->Error = int32_t(ToNumber(text, "Error"));
            return;
        }
        if (n == "TExtensionSizeArray" || n == "TUserSizeArray") {
            if (FCurrent && FReportAggregate) {
                TFileAggregates& own = FCurrent->EnsureOwnAggregates();
                if (FReportAggregateIsExtensions)
                    own.Extensions.SubtractAll(FReportAggregate->Extensions);
                else
                    own.Users.SubtractAll(FReportAggregate->Users);
            }
            FReportAggregate.reset();
            return;
        }
        if (n == "Path" && !FCompared) {
            FReportPath = XmlUnescapeBytes(Trimmed(text));
            std::string reportFolder = FReportPath;
            if (!reportFolder.empty() && reportFolder.back() != '/')
                reportFolder += '/';
            FReportPath = reportFolder;
            if (reportFolder != FRoot.PathBytes
                && !Ask(QStringLiteral("The path %1 does not match the current path %2.\r\nDo you want to compare them anyway?")
                            .arg(QString::fromLocal8Bit(reportFolder.c_str()), FRoot.Path)))
                throw TReportStop{QStringLiteral("Cancelled")};
            FRoot.SetCompared(QString::fromLocal8Bit(reportFolder.c_str()));
            FCompared = true;
            FCurrent = nullptr;
        }
    }

    TRoot& FRoot;
    const TCompareQuestion& FAsk;
    const TReportProgress& FProgress;
    TFolderData* FCurrent = nullptr;
    TFolderData* FResumeAt = nullptr;
    std::unique_ptr<TFileAggregates> FReportAggregate; // the report's entries of one list
    bool FReportAggregateIsExtensions = false;
    std::string FReportPath;
    bool FCompared = false;
    int FSkippedDepth = 0;
    int FDone = 0;
};

QString CompareWith(TRoot& root, QIODevice& input, const TCompareQuestion& ask, const TReportProgress& progress)
{
    if (root.IsScanning())
        return QStringLiteral("The root is being scanned");
    TReportComparer comparer(root, ask, progress);
    return comparer.Compare(input);
}

} // namespace

QString CompareWithXMLReportData(TRoot& root, const QByteArray& data, const TCompareQuestion& ask, const TReportProgress& progress)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return CompareWith(root, buffer, ask, progress);
}

QString CompareWithXMLReport(TRoot& root, const QString& fileName, const TCompareQuestion& ask, const TReportProgress& progress)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Could not parse XML file %1!\r\n\r\n%2").arg(fileName, file.errorString());
    return CompareWith(root, file, ask, progress);
}

} // namespace kelvane
