#pragma once
#include <QByteArray>
#include <QHash>
#include <QString>

namespace kelvane {

// The version resource of a Windows program file (PE: .exe, .dll, .sys),
// read by a bounds-checked parser: the string values of the first
// translation ("FileVersion", "ProductVersion" ...).
struct TVersionResource {
    QString Translation; // eight hex digits, language then code page
    QHash<QString, QString> Strings;
};

// Empty strings when the data holds no version resource or is malformed.
TVersionResource ReadVersionResource(const QByteArray& peFile);

// Form 1: file version; 2: product version (file version when empty);
// 3: product version + "   (" + file version + ")". Empty for files that
// are not Windows programs; an empty path gives this program's version.
QString GetVersionText(int form, const QString& path);

} // namespace kelvane
