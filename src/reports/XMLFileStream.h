#pragma once
#include "BufferdFileStream.h"
#include "lib/platform/FileTime.h"

#include <QString>
#include <string>
#include <string_view>

namespace kelvane {

// The attribute text of one start tag: ' name="value"' pairs in order.
class TXMLAttributes {
public:
    TXMLAttributes& Add(const char* name, std::string_view value);
    TXMLAttributes& Add(const char* name, const QString& value);
    TXMLAttributes& Add(const char* name, long long value);
    TXMLAttributes& AddUnsigned(const char* name, unsigned long long value);
    void Clear() { FText.clear(); }
    const std::string& Text() const { return FText; }

private:
    void Name(const char* name);
    std::string FText;
};

// Escapes a text for XML content or attributes so that every name survives:
// "&", "<", ">" and '"' as entities, tab, line feed and carriage return as
// character references, other control characters and bytes that are not
// UTF-8 as "\xNN" (a backslash followed by "x" is written "\x5C").
QByteArray XmlEscape(std::string_view bytes);
void AppendXmlEscaped(std::string& out, std::string_view bytes);
QByteArray XmlEscape(const QString& text);
// The reverse of the "\xNN" escapes (entities are the XML reader's).
std::string XmlUnescapeBytes(std::string_view text);

// A streaming XML writer: no document in memory, no indentation, at most
// one start tag open at a time.
class TXMLFileStream {
public:
    TXMLFileStream(QString fileName, QString encoding, bool overwrite);

    // Returns an empty text or the reason the file could not be created.
    QString Open();
    QString Close(); // finishes the file; empty or the error
    void StartElement(const char* name, const TXMLAttributes* attributes = nullptr);
    void EndElement(const char* name);
    void WriteText(const QByteArray& escapedText);
    void WriteEmptyElement(const char* name, const TXMLAttributes& attributes);
    void WriteTextElement(const char* name, const QByteArray& escapedText, const TXMLAttributes* attributes = nullptr);
    void WriteProcessingInstruction(const char* target, const QByteArray& data);
    void WriteFileTimeElement(const char* name, TFileTime time);

    bool ShortEmptyTags = false;
    bool WriteHeader = true;
    bool LineBreak = false; // CR LF after tags
    bool Standalone = false;
    QString Version = QStringLiteral("1.0");
    QString Encoding;
    qsizetype BufferLimit = 0x100000;

private:
    void Put(const char* text) { FStream.WriteBuffered(text, qsizetype(std::char_traits<char>::length(text))); }
    void Put(const QByteArray& text) { FStream.WriteBuffered(text); }
    void Put(const std::string& text) { FStream.WriteBuffered(text.data(), qsizetype(text.size())); }
    void Break()
    {
        if (LineBreak)
            Put("\r\n");
    }

    QString FFileName;
    bool FOverwrite;
    TBufferdFileStream FStream;
    QByteArray FLastStarted;
    bool FTagOpen = false;
};

} // namespace kelvane
