#pragma once
#include "scan/FileAgeDistribution.h"
#include "scan/SizeData.h"
#include "lib/platform/FileTime.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <expat.h>
#include <string>
#include <string_view>

namespace kelvane {

// Thrown by a handler to stop the parse with a message.
struct TReportStop {
    QString Message;
};

// One streaming pass over a report with expat: element starts and ends go
// to the derived reader, text is collected per element (every chunk, cleared
// at each start and end). Document types are refused, so no entity is ever
// expanded or fetched, and nesting is limited.
class TReportParser {
public:
    virtual ~TReportParser() = default;
    // Returns an empty text or the error, with line and column. The input is
    // read in slices straight into expat's buffer: a report of any size
    // never needs a copy of itself in memory.
    QString Parse(QIODevice& input);
    QString Parse(const QByteArray& data);

protected:
    virtual void OnStart(std::string_view name, const XML_Char** attributes) = 0;
    // text: the element's own text.
    virtual void OnEnd(std::string_view name, const std::string& text) = 0;

    static const char* Attribute(const XML_Char** attributes, const char* name);
    static long long Number(const XML_Char** attributes, const char* name, long long minimum, long long maximum);
    static TSizeData Counters(const XML_Char** attributes);
    static TFileAgeDistribution Ages(const XML_Char** attributes);
    static TFileTime Time(const XML_Char** attributes, const char* low = "Low", const char* high = "High");
    static std::string Trimmed(const std::string& text);
    static long long ToNumber(const std::string& text, const char* what);
    static bool ToBool(const std::string& text);

private:
    static void XMLCALL Start(void* self, const XML_Char* name, const XML_Char** attributes);
    static void XMLCALL End(void* self, const XML_Char* name);
    static void XMLCALL Characters(void* self, const XML_Char* text, int length);
    static void XMLCALL Doctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int);
    template <typename F>
    void Guard(F f);

    XML_Parser FParser = nullptr;
    std::string FText;
    QString FStopMessage;
    int FDepth = 0;
};

} // namespace kelvane
