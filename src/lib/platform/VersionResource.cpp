#include "VersionResource.h"

#include "Paths.h"

#include <QFile>
#include <cstdint>
#include <cstring>
#include <optional>

namespace kelvane {
namespace {

// A view of the file that refuses every read outside it.
class TBytes {
public:
    explicit TBytes(const QByteArray& data)
        : FData(reinterpret_cast<const uint8_t*>(data.constData()))
        , FSize(size_t(data.size()))
    {
    }
    bool Has(size_t offset, size_t length) const { return offset <= FSize && length <= FSize - offset; }
    std::optional<uint16_t> U16(size_t o) const
    {
        if (!Has(o, 2))
            return std::nullopt;
        return uint16_t(FData[o] | (FData[o + 1] << 8));
    }
    std::optional<uint32_t> U32(size_t o) const
    {
        if (!Has(o, 4))
            return std::nullopt;
        return uint32_t(FData[o]) | (uint32_t(FData[o + 1]) << 8) | (uint32_t(FData[o + 2]) << 16) | (uint32_t(FData[o + 3]) << 24);
    }
    // A zero-terminated UTF-16 text starting at o, not beyond end.
    std::optional<QString> Utf16(size_t o, size_t end, size_t* after = nullptr) const
    {
        QString text;
        for (size_t p = o; p + 2 <= end; p += 2) {
            const auto c = U16(p);
            if (!c)
                return std::nullopt;
            if (*c == 0) {
                if (after)
                    *after = p + 2;
                return text;
            }
            text.append(QChar(char16_t(*c)));
        }
        return std::nullopt;
    }

private:
    const uint8_t* FData;
    size_t FSize;
};

constexpr size_t Align4(size_t v) { return (v + 3) & ~size_t(3); }

struct TSection {
    uint32_t VirtualAddress, VirtualSize, RawOffset, RawSize;
};

class TPeReader {
public:
    explicit TPeReader(const QByteArray& data)
        : B(data)
    {
    }

    std::optional<std::pair<size_t, size_t>> VersionBlock()
    {
        if (!B.Has(0, 64) || B.U16(0) != 0x5A4D)
            return std::nullopt;
        const auto peOffset = B.U32(0x3C);
        if (!peOffset || B.U32(*peOffset) != 0x00004550)
            return std::nullopt;
        const size_t coff = *peOffset + 4;
        const auto sectionCount = B.U16(coff + 2);
        const auto optionalSize = B.U16(coff + 16);
        if (!sectionCount || !optionalSize)
            return std::nullopt;
        const size_t optional = coff + 20;
        const auto magic = B.U16(optional);
        size_t dirs = 0;
        if (magic == 0x10b)
            dirs = optional + 96;
        else if (magic == 0x20b)
            dirs = optional + 112;
        else
            return std::nullopt;
        const auto resourceRva = B.U32(dirs + 2 * 8);
        if (!resourceRva || *resourceRva == 0)
            return std::nullopt;
        const size_t sectionTable = optional + *optionalSize;
        for (uint16_t i = 0; i < *sectionCount && i < 96; ++i) {
            const size_t s = sectionTable + size_t(i) * 40;
            const auto va = B.U32(s + 12), vs = B.U32(s + 8), rs = B.U32(s + 16), ro = B.U32(s + 20);
            if (!va || !vs || !rs || !ro)
                return std::nullopt;
            FSections.push_back({*va, *vs, *ro, *rs});
        }
        const auto root = ToOffset(*resourceRva);
        if (!root)
            return std::nullopt;
        FResourceBase = *root;
        // type RT_VERSION (16), then the first name, then the first language
        auto level = FindEntry(FResourceBase, 16);
        for (int depth = 0; depth < 2 && level; ++depth)
            level = FindEntry(*level, -1);
        if (!level)
            return std::nullopt;
        const auto dataRva = B.U32(*level), dataSize = B.U32(*level + 4);
        if (!dataRva || !dataSize)
            return std::nullopt;
        const auto data = ToOffset(*dataRva);
        if (!data || !B.Has(*data, *dataSize))
            return std::nullopt;
        return std::make_pair(*data, size_t(*dataSize));
    }

    const TBytes B;

private:
    std::optional<size_t> ToOffset(uint32_t rva) const
    {
        for (const TSection& s : FSections) {
            const uint32_t size = std::max(s.VirtualSize, s.RawSize);
            if (rva >= s.VirtualAddress && rva - s.VirtualAddress < size) {
                const size_t offset = size_t(s.RawOffset) + (rva - s.VirtualAddress);
                return B.Has(offset, 1) ? std::optional<size_t>(offset) : std::nullopt;
            }
        }
        return std::nullopt;
    }

    // Offset of the entry's target (a directory or a data entry) below the
    // resource base; id -1 takes the first entry.
    std::optional<size_t> FindEntry(size_t directory, int id) const
    {
        const auto named = B.U16(directory + 12), ids = B.U16(directory + 14);
        if (!named || !ids)
            return std::nullopt;
        const int count = *named + *ids;
        for (int i = 0; i < count && i < 4096; ++i) {
            const size_t e = directory + 16 + size_t(i) * 8;
            const auto nameField = B.U32(e), target = B.U32(e + 4);
            if (!nameField || !target)
                return std::nullopt;
            if (id >= 0 && ((*nameField & 0x80000000u) || int(*nameField) != id))
                continue;
            const size_t offset = FResourceBase + (*target & 0x7FFFFFFFu);
            if (!B.Has(offset, 16))
                return std::nullopt;
            return offset;
        }
        return std::nullopt;
    }

    std::vector<TSection> FSections;
    size_t FResourceBase = 0;
};

struct TBlock {
    size_t Start = 0, End = 0, Value = 0, Children = 0;
    uint16_t ValueLength = 0, Type = 0;
    QString Key;
};

std::optional<TBlock> ReadBlock(const TBytes& b, size_t start, size_t limit)
{
    const auto length = b.U16(start), valueLength = b.U16(start + 2), type = b.U16(start + 4);
    if (!length || !valueLength || !type || *length < 6 || start + *length > limit)
        return std::nullopt;
    TBlock block;
    block.Start = start;
    block.End = start + *length;
    block.ValueLength = *valueLength;
    block.Type = *type;
    size_t afterKey = 0;
    const auto key = b.Utf16(start + 6, block.End, &afterKey);
    if (!key)
        return std::nullopt;
    block.Key = *key;
    block.Value = Align4(afterKey);
    const size_t valueBytes = block.Type == 1 ? size_t(block.ValueLength) * 2 : block.ValueLength;
    block.Children = std::min(block.End, Align4(block.Value + valueBytes));
    return block;
}

template <typename Visit>
void ForEachChild(const TBytes& b, const TBlock& parent, Visit visit)
{
    size_t p = parent.Children;
    for (int guard = 0; p + 6 <= parent.End && guard < 10000; ++guard) {
        const auto child = ReadBlock(b, p, parent.End);
        if (!child)
            return;
        visit(*child);
        p = Align4(child->End);
    }
}

} // namespace

TVersionResource ReadVersionResource(const QByteArray& peFile)
{
    TVersionResource result;
    TPeReader reader(peFile);
    const auto block = reader.VersionBlock();
    if (!block)
        return result;
    const TBytes& b = reader.B;
    const auto root = ReadBlock(b, block->first, block->first + block->second);
    if (!root || root->Key != QLatin1String("VS_VERSION_INFO"))
        return result;
    QHash<QString, QHash<QString, QString>> tables;
    ForEachChild(b, *root, [&](const TBlock& info) {
        if (info.Key == QLatin1String("VarFileInfo"))
            ForEachChild(b, info, [&](const TBlock& var) {
                const auto lang = b.U16(var.Value), codePage = b.U16(var.Value + 2);
                if (var.Key == QLatin1String("Translation") && var.ValueLength >= 4 && lang && codePage && result.Translation.isEmpty())
                    result.Translation = QStringLiteral("%1%2").arg(*lang, 4, 16, QLatin1Char('0')).arg(*codePage, 4, 16, QLatin1Char('0')).toUpper();
            });
        else if (info.Key == QLatin1String("StringFileInfo"))
            ForEachChild(b, info, [&](const TBlock& table) {
                ForEachChild(b, table, [&](const TBlock& str) {
                    const auto text = str.ValueLength ? b.Utf16(str.Value, str.End) : std::optional<QString>(QString());
                    if (text)
                        tables[table.Key.toUpper()].insert(str.Key, *text);
                });
            });
    });
    if (result.Translation.isEmpty() && !tables.isEmpty())
        result.Translation = tables.constBegin().key();
    result.Strings = tables.value(result.Translation);
    return result;
}

QString GetVersionText(int form, const QString& path)
{
    if (path.isEmpty())
        return QStringLiteral(KELVANE_VERSION);
    static const QStringList peExtensions = {QStringLiteral(".exe"), QStringLiteral(".dll"), QStringLiteral(".sys")};
    if (!peExtensions.contains(ExtractFileExt(path).toLower()))
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // The resource section may lie anywhere; map the file instead of reading it.
    const qint64 size = file.size();
    uchar* mapped = size > 0 ? file.map(0, size) : nullptr;
    if (!mapped)
        return {};
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), qsizetype(size));
    const TVersionResource resource = ReadVersionResource(data);
    file.unmap(mapped);
    const QString fileVersion = resource.Strings.value(QStringLiteral("FileVersion"));
    const QString productVersion = resource.Strings.value(QStringLiteral("ProductVersion"));
    if (form == 3)
        return productVersion.isEmpty() ? fileVersion : productVersion + QStringLiteral("   (") + fileVersion + QLatin1Char(')');
    if ((form & 2) && !productVersion.isEmpty())
        return productVersion;
    return fileVersion;
}

} // namespace kelvane
