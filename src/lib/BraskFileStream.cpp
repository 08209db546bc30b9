#include "BraskFileStream.h"

#include "platform/ErrorCodes.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <cerrno>

namespace kelvane {
namespace {

int32_t ErrorOf(const QFileDevice& file)
{
    switch (file.error()) {
    case QFileDevice::NoError:
        return 0;
    case QFileDevice::PermissionsError:
        return ErrorCodeFromErrno(EACCES);
    case QFileDevice::ResourceError:
        return ErrorCodeFromErrno(ENOSPC);
    case QFileDevice::OpenError:
        return ErrorCodeFromErrno(errno ? errno : ENOENT);
    default:
        return ErrorCodeFromErrno(EIO);
    }
}

} // namespace

TBraskFileStream::~TBraskFileStream()
{
    if (auto* save = dynamic_cast<QSaveFile*>(FFile.get()))
        save->cancelWriting();
}

TBraskFileStream::TEncoding TBraskFileStream::EncodingFor(const QString& fileName)
{
    return fileName.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) ? UTF8 : UTF16;
}

int32_t TBraskFileStream::Open(const QString& fileName, bool append)
{
    FEncoding = EncodingFor(fileName);
    FFailed = false;
    errno = 0;
    if (append) {
        auto file = std::make_unique<QFile>(fileName);
        if (!file->open(QIODevice::WriteOnly | QIODevice::Append))
            return ErrorOf(*file);
        FFile = std::move(file);
    } else {
        auto file = std::make_unique<QSaveFile>(fileName);
        if (!file->open(QIODevice::WriteOnly))
            return ErrorOf(*file);
        FFile = std::move(file);
    }
    return 0;
}

int32_t TBraskFileStream::Commit()
{
    if (!FFile)
        return ErrorCodeFromErrno(EBADF);
    int32_t result = FFailed ? ErrorCodeFromErrno(EIO) : 0;
    if (auto* save = dynamic_cast<QSaveFile*>(FFile.get())) {
        if (result != 0)
            save->cancelWriting();
        else if (!save->commit())
            result = ErrorOf(*save) ? ErrorOf(*save) : ErrorCodeFromErrno(EIO);
    } else {
        FFile->close();
        if (result == 0)
            result = ErrorOf(*FFile);
    }
    FFile.reset();
    return result;
}

void TBraskFileStream::WriteAnsi(const QByteArray& bytes)
{
    if (FFile && FFile->write(bytes) != bytes.size())
        FFailed = true;
}

void TBraskFileStream::WriteAnsiLine(const QByteArray& bytes)
{
    WriteAnsi(bytes + "\r\n");
}

void TBraskFileStream::WriteText(const QString& text)
{
    if (!FFile)
        return;
    if (FFile->pos() == 0)
        WriteAnsi(FEncoding == UTF8 ? QByteArray("\xEF\xBB\xBF") : QByteArray("\xFF\xFE", 2));
    if (FEncoding == UTF8) {
        WriteAnsi(text.toUtf8());
    } else {
        QByteArray bytes(text.size() * 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text.at(i).unicode();
            bytes[2 * i] = char(c & 0xFF);
            bytes[2 * i + 1] = char(c >> 8);
        }
        WriteAnsi(bytes);
    }
}

void TBraskFileStream::WriteTextLine(const QString& text)
{
    WriteText(text + QStringLiteral("\r\n"));
}

namespace {

template <typename Write>
int32_t WriteFile(const QString& path, bool append, Write write)
{
    const QString folder = ExtractFileDir(path);
    if (folder.isEmpty() || !ForceDirectories(folder))
        return 3;
    TBraskFileStream stream;
    if (const int32_t error = stream.Open(path, append))
        return error;
    write(stream);
    return stream.Commit();
}

} // namespace

int32_t WriteTextToFile(const QString& path, const QByteArray& bytes, bool append)
{
    return WriteFile(path, append, [&](TBraskFileStream& s) { s.WriteAnsi(bytes); });
}

int32_t WriteWideTextToFile(const QString& path, const QString& text, bool append)
{
    return WriteFile(path, append, [&](TBraskFileStream& s) { s.WriteText(text); });
}

bool StreamsEqual(QIODevice& a, QIODevice& b)
{
    if (a.size() != b.size())
        return false;
    constexpr qint64 Block = 2056192;
    a.seek(0);
    b.seek(0);
    while (!a.atEnd()) {
        const QByteArray x = a.read(Block);
        const QByteArray y = b.read(Block);
        if (x != y)
            return false;
        if (x.isEmpty())
            break;
    }
    return b.atEnd();
}

} // namespace kelvane
