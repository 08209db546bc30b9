#include "BufferdFileStream.h"

#include <QFile>
#include <QSaveFile>

namespace kelvane {

TBufferdFileStream::~TBufferdFileStream()
{
    if (auto* save = dynamic_cast<QSaveFile*>(FFile.get()))
        save->cancelWriting();
}

QString TBufferdFileStream::Open(const QString& fileName, bool append)
{
    FNewFile = !append || !QFile::exists(fileName);
    if (FNewFile) {
        auto file = std::make_unique<QSaveFile>(fileName);
        if (!file->open(QIODevice::WriteOnly))
            return file->errorString();
        FFile = std::move(file);
    } else {
        auto file = std::make_unique<QFile>(fileName);
        if (!file->open(QIODevice::WriteOnly | QIODevice::Append))
            return file->errorString();
        FFile = std::move(file);
    }
    FPending.reserve(size_t(FLimit) + 4096);
    return {};
}

bool TBufferdFileStream::Flush()
{
    if (!FFile || FPending.empty())
        return !FFailed;
    if (FFile->write(FPending.data(), qint64(FPending.size())) != qint64(FPending.size()))
        FFailed = true;
    FPending.clear();
    return !FFailed;
}

void TBufferdFileStream::SetBufferLimit(qsizetype limit)
{
    FLimit = qMax<qsizetype>(1, limit);
    if (qsizetype(FPending.size()) >= FLimit)
        Flush();
}

QString TBufferdFileStream::Commit()
{
    if (!FFile)
        return QStringLiteral("The file is not open");
    Flush();
    QString error = FFailed ? FFile->errorString() : QString();
    if (auto* save = dynamic_cast<QSaveFile*>(FFile.get())) {
        if (FFailed)
            save->cancelWriting();
        else if (!save->commit())
            error = save->errorString();
    } else {
        FFile->close();
    }
    FFile.reset();
    return error;
}

} // namespace kelvane
