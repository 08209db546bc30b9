#pragma once
#include <QHash>
#include <QObject>
#include <QSettings>
#include <QStringList>
#include <QVariant>

namespace kelvane {

// Stores the published properties of any object in a settings file, by
// name: plain values as text, nested objects as groups, string lists and
// collections as ordered arrays ("Count" and numbered groups).
class TSettingsPersistence {
public:
    explicit TSettingsPersistence(QSettings& settings);

    // Values set for this run only (key: "Name" or "Object\Name") are saved
    // with the value they had before the run changed them.
    void SetRunOnlyValues(const QHash<QString, QVariant>* originals) { FOriginals = originals; }

    // keyPrefix names the object in run-only keys ("Media2" for "Media2\\IncludeHeader").
    void SaveObject(const QObject* object, const QString& group, const QString& keyPrefix = {});
    // Values that cannot be converted or are out of range are refused and
    // reported in Errors; the property keeps its value.
    void LoadObject(QObject* object, const QString& group);

    QStringList Errors;

private:
    void SaveProperties(const QObject* object, const QString& pathPrefix);
    void LoadProperties(QObject* object);
    void SaveStringList(const QString& key, const QStringList& list);
    QStringList LoadStringList(const QString& key) const;

    QSettings& FSettings;
    const QHash<QString, QVariant>* FOriginals = nullptr;
};

// Text form shared by the settings file and the XML format.
QString PropertyValueToText(const QVariant& value, bool trueFalseWords);

} // namespace kelvane
