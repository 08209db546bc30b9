#include "FolderData.h"

#include "FileAggregates.h"
#include "lib/AsciiCase.h"
#include "Root.h"
#include "app/GlobalOptions.h"
#include "lib/platform/AttributeLetters.h"
#include "lib/platform/DirectoryLister.h"
#include "lib/platform/DocumentProperties.h"
#include "lib/platform/ErrorCodes.h"
#include "lib/platform/FileSystem.h"
#include "lib/platform/FileTime.h"
#include "lib/platform/OwnerNames.h"
#include "lib/platform/Paths.h"
#include "lib/platform/Permissions.h"
#include "lib/platform/VersionResource.h"

#include <QDateTime>
#include <QFile>
#include <QMimeDatabase>
#include <algorithm>
#include <chrono>

namespace kelvane {

using namespace viewtypes;

namespace {

std::function<int(const QString&)>& TextWidthMeasure()
{
    static std::function<int(const QString&)> measure;
    return measure;
}

const TGlobalOptions* Options()
{
    return HasGlobalOptions() ? &GlobalOptions() : nullptr;
}

// Names compare without regard to case, character by character: fast for
// folders of a hundred thousand entries, the same everywhere.
int CompareTexts(const QString& a, const QString& b)
{
    const int r = a.compare(b, Qt::CaseInsensitive);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

bool IsAccessDenied(int32_t code)
{
    switch (WindowsErrorCode(code)) {
    case 5:
    case 12:
    case 19:
    case 32:
    case 33:
    case 65:
    case 86:
    case 108:
        return true;
    default:
        return false;
    }
}

} // namespace

uint32_t TickCount()
{
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SetTextWidthMeasure(std::function<int(const QString&)> measure)
{
    TextWidthMeasure() = std::move(measure);
}

TFolderData::TFolderData(TFolderData* parent, bool filesItem, std::string name, TRoot* root)
    : Name(std::move(name))
    , Root(root)
    , Parent(parent)
    , FFixedFlags(filesItem && parent ? fdFilesItem : 0)
{
}

std::unique_ptr<TFolderData> TFolderData::FromFindRecord(TFolderData* parent, const TFindRecord& r, TRoot* root)
{
    auto node = std::make_unique<TFolderData>(parent, false, std::string(r.Name), root);
    node->FFixedFlags = fdFileItem;
    node->Attributes = r.Attributes;
    node->CreationDate = r.CreationTime;
    node->LastAccessDate = r.LastAccessTime;
    node->LastChangeDate = r.LastWriteTime;
    return node;
}

TFolderData::~TFolderData()
{
    DeleteChildren();
    if (Root && (Flags.load(std::memory_order_relaxed) & fdDisplayTexts))
        Root->DisplayTexts.erase(this);
}

TNodeDisplayTexts* TFolderData::DisplayTexts() const
{
    if (!Root)
        return nullptr;
    // Remembering a text does not change the node as its readers see it.
    const_cast<TFolderData*>(this)->Flags.fetch_or(fdDisplayTexts, std::memory_order_relaxed);
    return &Root->DisplayTexts[this];
}

void TFolderData::AppendChild(TFolderData* child)
{
    FChildren.push_back(child);
}

std::unique_ptr<TFolderData> TFolderData::TakeChild(TFolderData* child)
{
    const auto it = std::find(FChildren.begin(), FChildren.end(), child);
    if (it == FChildren.end())
        return nullptr;
    FChildren.erase(it);
    return std::unique_ptr<TFolderData>(child);
}

void TFolderData::DeleteChildren()
{
    for (TFolderData* child : FChildren)
        delete child;
    FChildren.clear();
}

std::vector<TFolderData*> TFolderData::TakeChildren()
{
    return std::exchange(FChildren, {});
}

int TFolderData::IndexOfChild(const TFolderData* child) const
{
    const auto it = std::find(FChildren.begin(), FChildren.end(), child);
    return it == FChildren.end() ? -1 : int(it - FChildren.begin());
}

std::string NameSortKey(std::string_view name)
{
    std::string key(name);
    if (!LowerAsciiBytes(key))
        key = FromLocalPath(name).toCaseFolded().toStdString();
    return key;
}

void TFolderData::SetChildOrder(std::vector<TFolderData*> children)
{
    Q_ASSERT(children.size() == FChildren.size());
    FChildren = std::move(children);
}

void TFolderData::SortChildren(const std::function<bool(const TFolderData*, const TFolderData*)>& less)
{
    std::stable_sort(FChildren.begin(), FChildren.end(), less);
}

void TFolderData::ResetCounters()
{
    FOwnSize.Clear();
    FOwnFiles.Clear();
    FAggregates.reset();
    Error = 0;
    UpdateTick = 0;
    SetFlag(fdSettled, false);
}

QString TFolderData::NameText() const
{
    if (IsFilesItem())
        return QStringLiteral("[Files]");
    return FromLocalPath(Name);
}

std::string TFolderData::GetFullPathBytes() const
{
    if (!Parent)
        return Name;
    std::string path = Parent->GetFullPathBytes();
    if (IsFilesItem())
        return path;
    path += Name;
    if (!IsFileItem())
        path += '/';
    return path;
}

QString TFolderData::GetFullPath() const
{
    return FromLocalPath(GetFullPathBytes());
}

int TFolderData::Level() const
{
    int level = 0;
    for (const TFolderData* p = Parent; p; p = p->Parent)
        ++level;
    return level;
}

TFolderData* TFolderData::FindFilesItem()
{
    if (IsFilesItem() || FChildren.empty())
        return this;
    for (TFolderData* child : FChildren)
        if (child->IsFilesItem())
            return child;
    return nullptr;
}

TSizeData TFolderData::ShownCounters() const
{
    if (!Root || IsFileItem() || (Root->UserFilter.isEmpty() && Root->ExtensionFilter.isEmpty()))
        return SizeData();
    const TFileAggregates aggregates = SubtreeAggregates();
    if (!Root->UserFilter.isEmpty())
        return aggregates.Users.Lookup(Root->UserFilter);
    return aggregates.Extensions.Lookup(Root->ExtensionFilter);
}

const TFileAggregates* TFolderData::OwnAggregates() const
{
    if (IsFilesItem() && Parent)
        return Parent->FAggregates.get();
    return FAggregates.get();
}

TFileAggregates* TFolderData::MutableOwnAggregates()
{
    if (IsFilesItem() && Parent)
        return Parent->FAggregates.get();
    return FAggregates.get();
}

TFileAggregates& TFolderData::EnsureOwnAggregates()
{
    TFolderData& owner = IsFilesItem() && Parent ? *Parent : *this;
    if (!owner.FAggregates)
        owner.FAggregates = std::make_unique<TFileAggregates>();
    return *owner.FAggregates;
}

void TFolderData::SetOwnAggregates(std::unique_ptr<TFileAggregates> aggregates)
{
    FAggregates = std::move(aggregates);
}

namespace {

void SumAggregates(const TFolderData& node, TFileAggregates& sum)
{
    if (const TFileAggregates* own = node.OwnAggregates())
        sum.AddAll(*own);
    for (const TFolderData* child : node.Children())
        if (!child->IsFilesItem())
            SumAggregates(*child, sum);
}

} // namespace

TFileAggregates TFolderData::SubtreeAggregates() const
{
    TFileAggregates sum;
    std::unique_lock<std::recursive_mutex> lock;
    if (Root)
        lock = std::unique_lock(Root->Lock);
    if (IsFilesItem()) {
        if (const TFileAggregates* own = OwnAggregates())
            sum.AddAll(*own);
        return sum;
    }
    SumAggregates(*this, sum);
    return sum;
}

std::pair<double, TUnitType> TFolderData::GetValue(int viewType, TUnitType unit) const
{
    switch (viewType) {
    case vt_percent: {
        const TFolderData* reference = Parent ? Parent : this;
        return SizeData().GetValue(vt_percent, None, reference->SizeData().Size);
    }
    case vt_LastChange:
        return {FileTimeToDate(LastChangeDate), unit};
    case vt_LastAccess:
        return {FileTimeToDate(LastAccessDate), unit};
    case vt_creationdate:
        return {FileTimeToDate(CreationDate), unit};
    case vt_dirlevel:
        return {0.0, unit};
    default:
        return ShownCounters().GetValue(viewType, unit);
    }
}

QString TFolderData::GetColumnText(int viewType, bool plain, bool padded) const
{
    if (viewType < 0 || viewType >= ViewTypeCount)
        throw EKelvaneError(QStringLiteral("Unknown column type"));
    const TGlobalOptions* options = Options();
    const bool withTime = options && options->ShowDateAndTime;
    const TUnitType unit = options ? options->SizeUnit : Mega;
    const int decimals = options ? options->Decimals : 1;
    QString text;
    switch (viewType) {
    case vt_Name:
        text = NameText();
        break;
    case vt_fullpath: {
        const QString path = GetFullPath();
        if (IsFilesItem())
            text = IncludeTrailingPathDelimiter(path) + QStringLiteral("*.*");
        else
            text = IsDriveRoot(path) ? path : ExcludeTrailingPathDelimiter(path);
        break;
    }
    case vt_percent: {
        const TFolderData* reference = Parent ? Parent : this;
        if (!reference->IsScanning())
            text = ShownCounters().GetText(vt_percent, None, plain, reference->SizeData().Size);
        break;
    }
    case vt_files:
    case vt_Folders:
        text = ShownCounters().GetText(viewType, None, plain);
        break;
    case vt_LastChange:
        text = FormatFileTime(LastChangeDate, withTime);
        break;
    case vt_LastAccess:
        text = FormatFileTime(LastAccessDate, withTime);
        break;
    case vt_creationdate:
        text = FormatFileTime(CreationDate, withTime);
        break;
    case vt_CompressionRate:
        text = FormatNumber(ShownCounters().GetValue(vt_CompressionRate, None).first * 100.0, decimals) + QStringLiteral(" %");
        break;
    case vt_Owner:
    {
        TNodeDisplayTexts* known = DisplayTexts();
        if (known && !known->OwnerText.isEmpty()) {
            text = known->OwnerText;
            break;
        }
        text = GetOwnerText(ExcludeTrailingPathDelimiter(GetFullPath()));
        if (known)
            known->OwnerText = text;
        break;
    }
    case vt_CurrentDate: {
        const QDateTime now = QDateTime::currentDateTime();
        text = QLocale().toString(now.date(), QLocale::ShortFormat);
        if (withTime)
            text += QLatin1Char(' ') + QLocale().toString(now.time(), QLocale::ShortFormat);
        break;
    }
    case vt_Attributes:
        text = GetAttributeLetters(Attributes);
        break;
    case vt_filetype:
        text = QMimeDatabase().mimeTypeForFile(ExcludeTrailingPathDelimiter(GetFullPath())).comment();
        break;
    case vt_dirlevel:
        text = QString::number(Level());
        break;
    case vt_path_without_name:
        text = ExtractFilePath(ExcludeTrailingPathDelimiter(GetFullPath()));
        break;
    case vt_permissions:
    {
        TNodeDisplayTexts* known = DisplayTexts();
        if (known && !known->PermissionsText.isEmpty()) {
            text = known->PermissionsText;
            break;
        }
        QString error;
        const auto permissions = GetPermissionsText(ExcludeTrailingPathDelimiter(GetFullPath()), QStringLiteral("   "), &error);
        if (!permissions)
            return QStringLiteral("Error: ") + error.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        text = *permissions;
        if (known)
            known->PermissionsText = text;
        break;
    }
    case vt_version:
        text = GetVersionText(2, ExcludeTrailingPathDelimiter(GetFullPath()));
        break;
    case vt_TitleOfScan:
        text = Root ? Root->GetTitle() : QString();
        break;
    case vt_OfficeAuthor:
        text = GetDocumentAuthor(ExcludeTrailingPathDelimiter(GetFullPath()));
        break;
    case vt_OfficeLastSaveDate:
        text = FormatFileTime(GetDocumentLastSaved(ExcludeTrailingPathDelimiter(GetFullPath())), withTime);
        break;
    default: // the byte columns
        if (plain)
            text = QString::number(ShownCounters().GetValue(viewType, Byte).first, 'f', 0);
        else
            text = ShownCounters().GetText(viewType, unit, false);
        break;
    }
    if (!padded)
        return text;
    // Blanks in front line the numbers up in the tree, two blanks after.
    static const int suffixWidths[] = {8, 6, 4, 2, 2, 5, 5};
    int k = 0;
    if (viewType == vt_percent || viewType == vt_CompressionRate)
        k = 2 * decimals + 13;
    else if (viewType == vt_files || viewType == vt_Folders)
        k = 15;
    else if (IsByteColumn(viewType))
        k = 2 * decimals + 16 + suffixWidths[qBound(0, int(unit), 6)];
    const int w = options ? qMax(3, options->SpaceWidth()) : 4;
    const int width = TextWidthMeasure() ? TextWidthMeasure()(text) : 100;
    const int blanks = qMax(0, (w * k - width) / w);
    return QString(blanks, QLatin1Char(' ')) + text + QStringLiteral("  ");
}

int TFolderData::Compare(const TFolderData& other, int viewType) const
{
    auto sign = [](double d) { return d < 0 ? -1 : (d > 0 ? 1 : 0); };
    if (IsCounterColumn(viewType))
        return ShownCounters().Compare(other.ShownCounters(), viewType);
    switch (viewType) {
    case vt_Name:
        if (IsFolder() != other.IsFolder())
            return IsFolder() ? -1 : 1;
        return CompareTexts(NameText(), other.NameText());
    case vt_LastChange:
        return sign(double(FileTimeHigh(LastChangeDate)) - double(FileTimeHigh(other.LastChangeDate)));
    case vt_LastAccess:
        return sign(double(FileTimeHigh(LastAccessDate)) - double(FileTimeHigh(other.LastAccessDate)));
    case vt_creationdate:
        return sign(double(FileTimeHigh(CreationDate)) - double(FileTimeHigh(other.CreationDate)));
    case vt_Owner:
    case vt_permissions:
        return CompareTexts(GetColumnText(viewType, false, false), other.GetColumnText(viewType, false, false));
    case vt_CurrentDate:
    case vt_TitleOfScan:
    case vt_dirlevel:
        return 0;
    default:
        if (viewType < 0 || viewType >= ViewTypeCount)
            throw EKelvaneError(QStringLiteral("Unknown CompareType in TFolderData.Compare(%1)").arg(viewType));
        return CompareTexts(GetColumnText(viewType, false, false), other.GetColumnText(viewType, false, false));
    }
}

QString TFolderData::GetDisplayName() const
{
    if (IsFilesItem())
        return QStringLiteral("[Files]");
    QString caption;
    if (Parent) {
        caption = NameText();
    } else {
        caption = Root ? Root->Path : NameText();
        if (Root && !Root->ScanTitle.isEmpty())
            caption = Root->ScanTitle;
    }
    if (Error != 0)
        caption += IsAccessDenied(Error) ? QStringLiteral(" [Access Denied!]") : QStringLiteral(" [Error!]");
    if (IsScanning() && Parent)
        caption += QStringLiteral("  <==");
    return caption;
}

QString TFolderData::GetHint() const
{
    QStringList lines;
    auto label = [](QString caption) {
        caption += QLatin1Char(':');
        return caption.leftJustified(29, QLatin1Char(' '));
    };
    if (Error != 0)
        lines << QStringLiteral(" ERROR: ") + GetErrorText(Error);
    if (IsLink())
        lines << QLatin1Char(' ') + label(QStringLiteral("LINK TARGET")) + GetReparseTarget(GetFullPath());
    for (int column = 0; column < ViewTypeCount; ++column) {
        if (IsFolder() || IsFilesItem()) {
            if (column == vt_filetype || column == vt_path_without_name || column == vt_version || column == vt_TitleOfScan
                || column == vt_OfficeAuthor || column == vt_OfficeLastSaveDate)
                continue;
        } else if (column == vt_Folders) {
            continue;
        }
        lines << QLatin1Char(' ') + label(DefaultColumnCaption(column)) + GetColumnText(column, false, false);
    }
    return lines.join(QStringLiteral("\r\n"));
}

bool TFolderData::IsEmphasized() const
{
    if (!Root || Root->IsCompared || Root->IsScanning())
        return false;
    const TGlobalOptions* options = Options();
    int viewType = options ? options->ViewType : vt_size;
    if (viewType == vt_files)
        return false;
    if (viewType != vt_size && viewType != vt_alloc && viewType != vt_CDSize)
        viewType = vt_size;
    const double mb = GetValue(viewType, Mega).first;
    const int factor = options ? options->BoldFactor : 15;
    if (options && options->BoldFactorType == TGlobalOptions::bft_Megabytes)
        return mb > factor;
    const double rootMb = ConvertToUnit(Mega, double(Root->RootFolder->SizeData().Size));
    return mb > rootMb * factor / 100.0;
}

void TFolderData::AddChildTotals(TFolderData* child, bool carryUp)
{
    SizeData().Add(child->SizeData());
    if (FileTimeHigh(child->LastAccessDate) > FileTimeHigh(LastAccessDate))
        LastAccessDate = child->LastAccessDate;
    if (FileTimeHigh(child->LastChangeDate) > FileTimeHigh(LastChangeDate))
        LastChangeDate = child->LastChangeDate;
    if (carryUp && Parent)
        Parent->AddChildTotals(child, !Parent->IsScanning());
    UpdateTick.store(TickCount(), std::memory_order_relaxed);
}

TFolderData* TFolderData::SubtractDelta(const TSizeData& delta, bool fromFiles)
{
    std::unique_lock lock(Root->Lock);
    if (fromFiles) {
        TFolderData* files = FindFilesItem();
        // A files item shares this folder's file counters: one subtraction serves both.
        FOwnFiles.Subtract(delta);
        if (files && files != this)
            files->UpdateTick = TickCount();
    }
    FOwnSize.Subtract(delta);
    UpdateTick = TickCount();
    lock.unlock();
    if (FOwnSize.Size < 0)
        return this; // tree and disk have drifted apart
    return Parent ? Parent->SubtractDelta(delta, false) : nullptr;
}

TFolderData* TFolderData::ReplaceFilesCounters(const TSizeData& newFiles)
{
    TSizeData difference = FilesSizeData();
    difference.Subtract(newFiles);
    TFolderData* drifted = SubtractDelta(difference, true);
    FilesSizeData().Compression = newFiles.Compression;
    return drifted;
}

void TFolderData::SetFlag(TFlag flag, bool on)
{
    if (on)
        Flags.fetch_or(flag, std::memory_order_acq_rel);
    else
        Flags.fetch_and(uint8_t(~flag), std::memory_order_acq_rel);
}

void TFolderData::SetScanning(bool on)
{
    if (on) {
        SetFlag(fdSettled, false);
        UpdateTick.store(TickCount(), std::memory_order_relaxed);
    }
    SetFlag(fdScanning, on);
}

void TFolderData::RequestAbort(bool on)
{
    SetFlag(fdAbortRequested, on);
    for (TFolderData* child : FChildren)
        child->RequestAbort(on);
}

bool TFolderData::IsRecentlyUpdated() const
{
    return TickCount() - UpdateTick.load(std::memory_order_relaxed) < 5000;
}

bool TFolderData::IsBranchBusy()
{
    const bool recent = IsRecentlyUpdated();
    if (!recent && (Flags.load() & fdSettled))
        return false;
    bool busy = IsScanning() || recent;
    for (size_t i = 0; !busy && i < FChildren.size(); ++i)
        busy = FChildren[i]->IsBranchBusy();
    if (!busy)
        SetFlag(fdSettled, true);
    return busy;
}

int TFolderData::CountSettledChildren()
{
    int count = 0;
    for (TFolderData* child : FChildren)
        if (!child->IsBranchBusy())
            ++count;
    return count;
}

void TFolderData::ExpandToLevel(int levels, int minimumMB)
{
    const TGlobalOptions* options = Options();
    const int viewType = options ? options->ViewType : vt_size;
    const bool open = levels > 0 && GetValue(viewType, Mega).first >= minimumMB;
    SetFlag(fdExpanded, open);
    for (TFolderData* child : FChildren)
        child->ExpandToLevel(open ? levels - 1 : 0, minimumMB);
}

} // namespace kelvane
// A scan keeps one node per folder: keep an eye on the size.
static_assert(sizeof(kelvane::TFolderData) <= 216);
