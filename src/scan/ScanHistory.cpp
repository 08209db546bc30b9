#include "ScanHistory.h"

#include "Root.h"
#include "lib/platform/VersionResource.h"

#include <QDateTime>
#include <QFile>
#include <QLockFile>
#include <QSaveFile>
#include <pugixml.hpp>
#include <sstream>

namespace kelvane {

namespace {

std::string Number(long long value)
{
    return std::to_string(value);
}

} // namespace

double THistoryData::GetValue(int viewType, TUnitType unit) const
{
    if (viewType != viewtypes::vt_size && viewType != viewtypes::vt_alloc)
        return -1;
    return SizeData.GetValue(viewType, unit).first;
}

bool BelongsInHistory(TRoot& root)
{
    const QStringList& include = root.IncludePatterns.Patterns();
    return root.ScanSucceeded() && (include.isEmpty() || include.front() == QLatin1String("*"));
}

QString AppendHistoryEntry(TRoot& root, const QString& historyFile)
{
    QLockFile lock(historyFile + QStringLiteral(".lock"));
    lock.setStaleLockTime(30000);
    if (!lock.tryLock(10000))
        return QStringLiteral("The history file is locked by another program");

    pugi::xml_document doc;
    QFile existing(historyFile);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly))
            return existing.errorString();
        const QByteArray data = existing.readAll();
        const pugi::xml_parse_result parsed =
            doc.load_buffer(data.constData(), size_t(data.size()), pugi::parse_default | pugi::parse_declaration);
        if (!parsed)
            return QStringLiteral("Could not parse XML file %1!\r\n\r\n%2").arg(historyFile, QString::fromUtf8(parsed.description()));
    }
    if (doc.first_child().type() != pugi::node_declaration) {
        pugi::xml_node declaration = doc.prepend_child(pugi::node_declaration);
        declaration.append_attribute("version") = "1.0";
        declaration.append_attribute("encoding") = "UTF-8";
        declaration.append_attribute("standalone") = "no";
    }
    pugi::xml_node scans = doc.child("SCANS");
    if (!scans)
        scans = doc.append_child("SCANS");

    const std::string path = root.Path.toStdString();
    pugi::xml_node entry = scans.append_child("Root");
    entry.append_attribute("path") = path.c_str();
    entry.append_child("Path").text() = path.c_str();
    const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0));
    const double date = double(epoch.msecsTo(QDateTime::currentDateTime())) / 86400000.0;
    std::ostringstream dateText;
    dateText.imbue(std::locale::classic());
    dateText.precision(15);
    dateText << date;
    entry.append_child("Date").text() = dateText.str().c_str();
    entry.append_child("Version").text() = GetVersionText(1, QString()).toStdString().c_str();
    const TSizeData& d = root.RootFolder->SizeData();
    pugi::xml_node size = entry.append_child("SizeData");
    size.append_attribute("Size") = Number(d.Size).c_str();
    size.append_attribute("Allocated") = Number(d.Allocated).c_str();
    size.append_attribute("Wasted") = Number(d.Wasted).c_str();
    size.append_attribute("CDRom") = Number(int64_t(d.CDRom) * 2048).c_str();
    size.append_attribute("Files") = Number(d.Files).c_str();
    size.append_attribute("Folders") = Number(d.Folders).c_str();
    size.append_attribute("Compression") = Number(d.Compression).c_str();
    entry.append_child("Freespace").text() = Number(root.FreeBytes).c_str();
    if (root.ExcludedObjects > 0)
        entry.append_child("Excludedobjects").text() = Number(root.ExcludedObjects).c_str();
    if (!root.ExcludePatterns.IsEmpty()) {
        pugi::xml_node patterns = entry.append_child("ExcludePatterns");
        for (const QString& p : root.ExcludePatterns.Patterns())
            patterns.append_child("pattern").text() = p.toStdString().c_str();
    }

    std::ostringstream out;
    doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    QSaveFile file(historyFile);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const std::string text = out.str();
    file.write(text.data(), qint64(text.size()));
    return file.commit() ? QString() : file.errorString();
}

} // namespace kelvane
