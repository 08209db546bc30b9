#pragma once
#include <QFileDevice>
#include <QString>
#include <memory>

class QIODevice;

namespace kelvane {

// A text file for exports and small text files: ".csv" files (any case) are
// UTF-8, everything else UTF-16 little endian; the byte-order mark is written
// only at offset 0; lines end with CR LF. A new text replaces the file only
// when Commit succeeds (a temporary file is renamed over it); appending
// writes to the file in place.
class TBraskFileStream {
public:
    enum TEncoding { UTF8 = 0, UTF16 = 1 };

    TBraskFileStream() = default;
    ~TBraskFileStream();

    // Returns 0 or the stored error code.
    int32_t Open(const QString& fileName, bool append);
    // Finishes the file; returns 0 or the stored error code. Without Commit
    // an earlier file stays as it was.
    int32_t Commit();

    void WriteAnsi(const QByteArray& bytes);
    void WriteAnsiLine(const QByteArray& bytes);
    void WriteText(const QString& text);
    void WriteTextLine(const QString& text);

    TEncoding Encoding() const { return FEncoding; }
    static TEncoding EncodingFor(const QString& fileName);

private:
    std::unique_ptr<QFileDevice> FFile;
    TEncoding FEncoding = UTF16;
    bool FFailed = false;
};

// Write text to a file, creating missing folders; return 0, 3 when the
// folder part is empty or cannot be made, or the stored error code.
int32_t WriteTextToFile(const QString& path, const QByteArray& bytes, bool append);
int32_t WriteWideTextToFile(const QString& path, const QString& text, bool append);

// Equal sizes and equal contents, compared in large blocks.
bool StreamsEqual(QIODevice& a, QIODevice& b);

} // namespace kelvane
