#pragma once
#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <memory>
#include <string>

namespace kelvane {

// A file written through a large buffer. A new file replaces the target only
// when Commit succeeds (it is written under a temporary name and renamed),
// so a failed or cancelled write leaves an earlier file as it was; an
// appended file is written in place.
class TBufferdFileStream {
public:
    TBufferdFileStream() = default;
    ~TBufferdFileStream(); // without Commit: a new file is discarded

    // Returns an empty text or the reason the file could not be opened.
    QString Open(const QString& fileName, bool append);
    void WriteBuffered(const char* bytes, qsizetype count)
    {
        FPending.append(bytes, size_t(count));
        if (qsizetype(FPending.size()) >= FLimit)
            Flush();
    }
    void WriteBuffered(const QByteArray& bytes) { WriteBuffered(bytes.constData(), bytes.size()); }
    bool Flush();
    void SetBufferLimit(qsizetype limit);
    // Returns an empty text or the reason the file could not be finished.
    QString Commit();
    bool Failed() const { return FFailed; }
    bool IsNewFile() const { return FNewFile; }

private:
    std::unique_ptr<QFileDevice> FFile;
    std::string FPending;
    qsizetype FLimit = 0x100000;
    bool FFailed = false;
    bool FNewFile = true;
};

} // namespace kelvane
