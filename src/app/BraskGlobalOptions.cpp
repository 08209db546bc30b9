#include "BraskGlobalOptions.h"

#include "ApplicationInfo.h"
#include "PublishedProperties.h"
#include "SettingsPersistence.h"
#include "XmlPersistence.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <sstream>

namespace kelvane {

TBraskGlobalOptions::TBraskGlobalOptions(QObject* parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("GlobalOptions"));
}

TBraskGlobalOptions::TBraskGlobalOptions(const QString& folder, const QString& fileName, bool load, QObject* parent)
    : TBraskGlobalOptions(parent)
{
    QString dir = folder;
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/') + OrganizationName()
            + QLatin1Char('/') + ApplicationTitle();
    QDir().mkpath(dir);
    FXmlFile = QDir(dir).filePath(fileName);
    if (!load)
        return;
    QFile file(FXmlFile);
    if (!file.open(QIODevice::ReadOnly)) {
        FLoadErrors.append(QStringLiteral("An error occured while opening the file: %1\": %2").arg(FXmlFile, file.errorString()));
        return;
    }
    const QByteArray data = file.readAll();
    const pugi::xml_parse_result result = FDocument.load_buffer(data.constData(), size_t(data.size()));
    if (!result) {
        FLoadErrors.append(QStringLiteral("An error occured while parsing the XML file: %1").arg(QString::fromUtf8(result.description())));
        FDocument.reset();
        return;
    }
    FXmlMode = true;
}

TBraskGlobalOptions::~TBraskGlobalOptions() = default;

QSettings& TBraskGlobalOptions::Settings()
{
    if (!FSettings)
        FSettings = std::make_unique<QSettings>(OrganizationName(), ApplicationTitle());
    return *FSettings;
}

void TBraskGlobalOptions::Load()
{
    if (FXmlMode) {
        TXmlPersistence::ReadProperties(FDocument.child("GlobalOptions"), this, &FLoadErrors);
        return;
    }
    TSettingsPersistence persistence(Settings());
    persistence.LoadObject(this, QString());
    FLoadErrors.append(persistence.Errors);
}

void TBraskGlobalOptions::Save()
{
    if (FXmlMode || !FXmlFile.isEmpty()) {
        pugi::xml_node root = FDocument.child("GlobalOptions");
        if (!root)
            root = FDocument.append_child("GlobalOptions");
        TXmlPersistence::WriteProperties(root, this);
        SaveXmlDocument();
        return;
    }
    TSettingsPersistence persistence(Settings());
    persistence.SetRunOnlyValues(&FRunOnly);
    persistence.SaveObject(this, QString());
    Settings().sync();
}

bool TBraskGlobalOptions::SaveXmlDocument()
{
    std::ostringstream out;
    FDocument.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    QSaveFile file(FXmlFile);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const std::string text = out.str();
    file.write(text.data(), qint64(text.size()));
    return file.commit();
}

void TBraskGlobalOptions::LoadObject(QObject* object, const QString& key)
{
    const QString group = key.isEmpty() ? object->objectName() : key + QLatin1Char('/') + object->objectName();
    TSettingsPersistence persistence(Settings());
    persistence.LoadObject(object, group);
    FLoadErrors.append(persistence.Errors);
}

void TBraskGlobalOptions::SaveObject(const QObject* object, const QString& key)
{
    const QString group = key.isEmpty() ? object->objectName() : key + QLatin1Char('/') + object->objectName();
    TSettingsPersistence persistence(Settings());
    persistence.SaveObject(object, group);
    Settings().sync();
}

void TBraskGlobalOptions::RememberRunOnlyValue(const QString& key, const QVariant& original)
{
    if (!FRunOnly.contains(key))
        FRunOnly.insert(key, original);
}

QString TBraskGlobalOptions::SetOptionByName(const QString& name, const QString& value)
{
    const auto target = FindProperty(this, name);
    if (!target)
        return QStringLiteral("Property %1 does not exist").arg(name);
    QString key = QString::fromLatin1(target->Property.name());
    if (target->Object != this)
        key = target->Object->objectName() + QLatin1Char('\\') + key;
    const QVariant original = target->Property.read(target->Object);
    const auto converted = PropertyValueFromText(target->Object->metaObject(), target->Property, value);
    if (!converted)
        return QStringLiteral("Invalid value \"%1\" for %2").arg(value, QString::fromLatin1(target->Property.name()));
    const QString error = WriteProperty(target->Object, target->Property, *converted);
    if (error.isEmpty())
        RememberRunOnlyValue(key, original);
    return error;
}

QStringList TBraskGlobalOptions::TakeLoadErrors()
{
    return std::exchange(FLoadErrors, {});
}

} // namespace kelvane
