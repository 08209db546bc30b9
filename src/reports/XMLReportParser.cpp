#include "XMLReportParser.h"

#include <QBuffer>
#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cstring>

namespace kelvane {

namespace {
constexpr int MaximumDepth = 4096;
}

QString TReportParser::Parse(const QByteArray& data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return Parse(buffer);
}

QString TReportParser::Parse(QIODevice& input)
{
    FParser = XML_ParserCreate("UTF-8");
    XML_SetUserData(FParser, this);
    XML_SetElementHandler(FParser, &Start, &End);
    XML_SetCharacterDataHandler(FParser, &Characters);
    XML_SetStartDoctypeDeclHandler(FParser, &Doctype);
    XML_SetParamEntityParsing(FParser, XML_PARAM_ENTITY_PARSING_NEVER);
    constexpr int Slice = 1 << 20;
    XML_Status status = XML_STATUS_OK;
    for (;;) {
        void* buffer = XML_GetBuffer(FParser, Slice);
        if (!buffer) {
            status = XML_STATUS_ERROR; // expat's own error (out of memory) says why
            break;
        }
        const qint64 n = input.read(static_cast<char*>(buffer), Slice);
        if (n < 0) {
            FStopMessage = QStringLiteral("Could not read the file: %1").arg(input.errorString());
            break;
        }
        status = XML_ParseBuffer(FParser, int(n), n == 0 ? XML_TRUE : XML_FALSE);
        if (status != XML_STATUS_OK || n == 0)
            break;
    }
    QString message = FStopMessage;
    const auto line = XML_GetCurrentLineNumber(FParser);
    const auto column = XML_GetCurrentColumnNumber(FParser) + 1;
    if (status != XML_STATUS_OK && message.isEmpty())
        message = QStringLiteral("Fatal error\r\n\r\n%1").arg(QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(FParser))));
    if (!message.isEmpty())
        message += QStringLiteral("\r\nLine: %1; Column: %2").arg(line).arg(column);
    XML_ParserFree(FParser);
    FParser = nullptr;
    return message;
}

template <typename F>
void TReportParser::Guard(F f)
{
    if (!FStopMessage.isEmpty())
        return;
    try {
        f();
    } catch (const TReportStop& stop) {
        FStopMessage = stop.Message.isEmpty() ? QStringLiteral("Stopped") : stop.Message;
        XML_StopParser(FParser, XML_FALSE);
    }
}

void XMLCALL TReportParser::Start(void* self, const XML_Char* name, const XML_Char** attributes)
{
    auto* p = static_cast<TReportParser*>(self);
    p->Guard([&] {
        p->FText.clear();
        if (++p->FDepth > MaximumDepth)
            throw TReportStop{QStringLiteral("The report is nested too deeply")};
        p->OnStart(name, attributes);
    });
}

void XMLCALL TReportParser::End(void* self, const XML_Char* name)
{
    auto* p = static_cast<TReportParser*>(self);
    p->Guard([&] {
        --p->FDepth;
        const std::string text = std::move(p->FText);
        p->FText.clear();
        p->OnEnd(name, text);
    });
}

void XMLCALL TReportParser::Characters(void* self, const XML_Char* text, int length)
{
    // Entities and references arrive as chunks of their own: keep them all.
    static_cast<TReportParser*>(self)->FText.append(text, size_t(length));
}

void XMLCALL TReportParser::Doctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int)
{
    static_cast<TReportParser*>(self)->Guard(
        [] { throw TReportStop{QStringLiteral("Document type declarations are not allowed in reports")}; });
}

const char* TReportParser::Attribute(const XML_Char** attributes, const char* name)
{
    for (int i = 0; attributes[i]; i += 2)
        if (std::strcmp(attributes[i], name) == 0)
            return attributes[i + 1];
    return nullptr;
}

long long TReportParser::Number(const XML_Char** attributes, const char* name, long long minimum, long long maximum)
{
    const char* text = Attribute(attributes, name);
    if (!text)
        return 0;
    while (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n')
        ++text;
    const char* end = text + std::strlen(text);
    while (end > text && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\r' || end[-1] == '\n'))
        --end;
    if (*text == '+')
        ++text;
    long long value = 0;
    const auto [stop, error] = std::from_chars(text, end, value);
    if (error != std::errc() || stop != end || text == end || value < minimum || value > maximum)
        throw TReportStop{QStringLiteral("Invalid value \"%1\" of the attribute %2").arg(QString::fromUtf8(text), QString::fromLatin1(name))};
    return value;
}

TSizeData TReportParser::Counters(const XML_Char** a)
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

TFileAgeDistribution TReportParser::Ages(const XML_Char** a)
{
    struct TNames {
        std::array<std::string, TFileAgeDistribution::ClassCount> Days, Sizes;
        TNames()
        {
            for (size_t i = 0; i < TFileAgeDistribution::ClassCount; ++i) {
                Days[i] = "Days_" + std::to_string(TFileAgeDistribution::Limits[i]);
                Sizes[i] = "Size_" + std::to_string(TFileAgeDistribution::Limits[i]);
            }
        }
    };
    static const TNames names;
    TFileAgeDistribution ages;
    for (size_t i = 0; i < TFileAgeDistribution::ClassCount; ++i) {
        ages.Counts[i] = int32_t(Number(a, names.Days[i].c_str(), INT32_MIN, INT32_MAX));
        ages.Sizes[i] = Number(a, names.Sizes[i].c_str(), LLONG_MIN, LLONG_MAX);
    }
    return ages;
}

TFileTime TReportParser::Time(const XML_Char** a, const char* low, const char* high)
{
    return (uint64_t(Number(a, high, 0, UINT32_MAX)) << 32) | uint64_t(Number(a, low, 0, UINT32_MAX));
}

std::string TReportParser::Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r\n");
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

long long TReportParser::ToNumber(const std::string& text, const char* what)
{
    bool ok = false;
    const long long value = QByteArray::fromStdString(Trimmed(text)).toLongLong(&ok);
    if (!ok)
        throw TReportStop{QStringLiteral("Invalid value \"%1\" of %2").arg(QString::fromStdString(text), QString::fromLatin1(what))};
    return value;
}

bool TReportParser::ToBool(const std::string& text)
{
    const std::string t = Trimmed(text);
    return t == "-1" || t == "1" || t == "True" || t == "true";
}

} // namespace kelvane
