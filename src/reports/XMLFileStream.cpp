#include "XMLFileStream.h"

#include "lib/platform/Paths.h"

#include <QDir>
#include <charconv>

namespace kelvane {

namespace {

// Length of the valid UTF-8 sequence at p, or 0.
size_t Utf8SequenceLength(const unsigned char* p, size_t left)
{
    const unsigned char c = p[0];
    size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || n > left)
        return 0;
    for (size_t i = 1; i < n; ++i)
        if ((p[i] & 0xC0) != 0x80)
            return 0;
    if (n == 2 && c < 0xC2)
        return 0; // overlong
    if (n == 3) {
        const unsigned cp = ((c & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
        if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFE || cp == 0xFFFF)
            return 0;
    }
    if (n == 4) {
        const unsigned cp = ((c & 0x07) << 18) | ((p[1] & 0x3F) << 12) | ((p[2] & 0x3F) << 6) | (p[3] & 0x3F);
        if (cp < 0x10000 || cp > 0x10FFFF)
            return 0;
    }
    return n;
}

void AppendByteEscape(std::string& out, unsigned char byte)
{
    static const char hex[] = "0123456789ABCDEF";
    out.append("\\x");
    out.push_back(hex[byte >> 4]);
    out.push_back(hex[byte & 0xF]);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

QByteArray XmlEscape(std::string_view bytes)
{
    std::string out;
    AppendXmlEscaped(out, bytes);
    return QByteArray(out.data(), qsizetype(out.size()));
}

void AppendXmlEscaped(std::string& out, std::string_view bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t size = bytes.size();
    for (size_t i = 0; i < size;) {
        const unsigned char c = p[i];
        switch (c) {
        case '&':
            out.append("&amp;");
            break;
        case '<':
            out.append("&lt;");
            break;
        case '>':
            out.append("&gt;");
            break;
        case '"':
            out.append("&quot;");
            break;
        case '\t':
            out.append("&#9;");
            break;
        case '\n':
            out.append("&#10;");
            break;
        case '\r':
            out.append("&#13;");
            break;
        case '\\':
            if (i + 1 < size && p[i + 1] == 'x')
                AppendByteEscape(out, c);
            else
                out.push_back('\\');
            break;
        default:
            if (c < 0x20 || c == 0x7F) {
                AppendByteEscape(out, c);
            } else if (c < 0x80) {
                out.push_back(char(c));
            } else if (const size_t n = Utf8SequenceLength(p + i, size - i)) {
                out.append(reinterpret_cast<const char*>(p + i), n);
                i += n;
                continue;
            } else {
                AppendByteEscape(out, c);
            }
        }
        ++i;
    }
}

QByteArray XmlEscape(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return XmlEscape(std::string_view(utf8.constData(), size_t(utf8.size())));
}

std::string XmlUnescapeBytes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            const int hi = HexValue(text[i + 2]);
            const int lo = HexValue(text[i + 3]);
            if (hi >= 0 && lo >= 0) {
                out.push_back(char(hi * 16 + lo));
                i += 3;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

void TXMLAttributes::Name(const char* name)
{
    FText.push_back(' ');
    FText.append(name);
    FText.append("=\"");
}

TXMLAttributes& TXMLAttributes::Add(const char* name, std::string_view value)
{
    Name(name);
    AppendXmlEscaped(FText, value);
    FText.push_back('"');
    return *this;
}

TXMLAttributes& TXMLAttributes::Add(const char* name, const QString& value)
{
    const QByteArray utf8 = value.toUtf8();
    return Add(name, std::string_view(utf8.constData(), size_t(utf8.size())));
}

TXMLAttributes& TXMLAttributes::Add(const char* name, long long value)
{
    Name(name);
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    FText.append(digits, size_t(end - digits));
    FText.push_back('"');
    return *this;
}

TXMLAttributes& TXMLAttributes::AddUnsigned(const char* name, unsigned long long value)
{
    Name(name);
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    FText.append(digits, size_t(end - digits));
    FText.push_back('"');
    return *this;
}

TXMLFileStream::TXMLFileStream(QString fileName, QString encoding, bool overwrite)
    : Encoding(std::move(encoding))
    , FFileName(std::move(fileName))
    , FOverwrite(overwrite)
{
}

QString TXMLFileStream::Open()
{
    const QString folder = ExtractFileDir(FFileName);
    if (!folder.isEmpty() && !QDir(folder).exists() && !ForceDirectories(folder))
        return QStringLiteral("Unable to create directory");
    FStream.SetBufferLimit(BufferLimit);
    if (const QString error = FStream.Open(FFileName, !FOverwrite); !error.isEmpty())
        return error;
    if (WriteHeader && FStream.IsNewFile()) {
        Put(QStringLiteral("<?xml version=\"%1\" encoding=\"%2\" standalone=\"%3\"?>")
                .arg(Version, Encoding, Standalone ? QStringLiteral("yes") : QStringLiteral("no"))
                .toUtf8());
        Break();
    }
    return {};
}

QString TXMLFileStream::Close()
{
    return FStream.Commit();
}

void TXMLFileStream::StartElement(const char* name, const TXMLAttributes* attributes)
{
    if (FTagOpen) {
        Put(">");
        Break();
    }
    Put("<");
    Put(name);
    if (attributes)
        Put(attributes->Text());
    FLastStarted = name;
    FTagOpen = true;
}

void TXMLFileStream::WriteText(const QByteArray& escapedText)
{
    if (FTagOpen)
        Put(">");
    Put(escapedText);
    FTagOpen = false;
}

void TXMLFileStream::EndElement(const char* name)
{
    if (!FTagOpen) {
        Put("</");
        Put(name);
        Put(">");
    } else if (!ShortEmptyTags || FLastStarted != name) {
        Put("></");
        Put(name);
        Put(">");
    } else {
        Put("/>");
    }
    Break();
    FTagOpen = false;
}

void TXMLFileStream::WriteEmptyElement(const char* name, const TXMLAttributes& attributes)
{
    StartElement(name, &attributes);
    EndElement(name);
}

void TXMLFileStream::WriteTextElement(const char* name, const QByteArray& escapedText, const TXMLAttributes* attributes)
{
    StartElement(name, attributes);
    WriteText(escapedText);
    EndElement(name);
}

void TXMLFileStream::WriteProcessingInstruction(const char* target, const QByteArray& data)
{
    if (FTagOpen)
        Put(">");
    Put("<?");
    Put(target);
    Put(" ");
    Put(data);
    Put("?>");
    Break();
    FTagOpen = false;
}

void TXMLFileStream::WriteFileTimeElement(const char* name, TFileTime time)
{
    TXMLAttributes a;
    a.AddUnsigned("Low", FileTimeLow(time)).AddUnsigned("High", FileTimeHigh(time));
    WriteEmptyElement(name, a);
}

} // namespace kelvane
