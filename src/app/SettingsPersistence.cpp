#include "SettingsPersistence.h"

#include "Collection.h"
#include "PublishedProperties.h"

namespace kelvane {

QString PropertyValueToText(const QVariant& value, bool trueFalseWords)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        if (trueFalseWords)
            return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', 17);
    case QMetaType::QString:
        return value.toString();
    default:
        if (value.metaType().flags().testFlag(QMetaType::IsEnumeration))
            return QString::number(value.toInt());
        return value.toString();
    }
}

TSettingsPersistence::TSettingsPersistence(QSettings& settings)
    : FSettings(settings)
{
}

void TSettingsPersistence::SaveStringList(const QString& key, const QStringList& list)
{
    FSettings.remove(key);
    FSettings.beginGroup(key);
    FSettings.setValue(QStringLiteral("Count"), list.size());
    for (int i = 0; i < list.size(); ++i)
        FSettings.setValue(QString::number(i), list[i]);
    FSettings.endGroup();
}

QStringList TSettingsPersistence::LoadStringList(const QString& key) const
{
    QStringList result;
    FSettings.beginGroup(key);
    const int count = FSettings.value(QStringLiteral("Count"), 0).toInt();
    for (int i = 0; i < count; ++i)
        result.append(FSettings.value(QString::number(i)).toString());
    FSettings.endGroup();
    return result;
}

void TSettingsPersistence::SaveObject(const QObject* object, const QString& group, const QString& keyPrefix)
{
    if (!group.isEmpty())
        FSettings.beginGroup(group);
    SaveProperties(object, keyPrefix);
    if (!group.isEmpty())
        FSettings.endGroup();
}

void TSettingsPersistence::SaveProperties(const QObject* object, const QString& pathPrefix)
{
    if (auto collection = qobject_cast<const TCollection*>(object)) {
        FSettings.setValue(QStringLiteral("ClassName"), QString::fromLatin1(object->metaObject()->className()));
        FSettings.setValue(QStringLiteral("Count"), collection->Count());
        for (int i = 0; i < collection->Count(); ++i) {
            FSettings.beginGroup(QString::number(i));
            FSettings.setValue(QStringLiteral("ClassName"), QString::fromLatin1(collection->Item(i)->metaObject()->className()));
            SaveProperties(collection->Item(i), QString());
            FSettings.endGroup();
        }
    }
    for (const QMetaProperty& p : PublishedProperties(object->metaObject())) {
        if (!p.isStored())
            continue;
        const QString name = QString::fromLatin1(p.name());
        const QString path = pathPrefix.isEmpty() ? name : pathPrefix + QLatin1Char('\\') + name;
        QVariant value = p.read(object);
        if (FOriginals) {
            auto it = FOriginals->constFind(path);
            if (it != FOriginals->constEnd())
                value = *it;
        }
        switch (PropertyKind(p)) {
        case EPropertyKind::StringList:
            SaveStringList(name, value.toStringList());
            break;
        case EPropertyKind::Object:
        case EPropertyKind::Collection:
            if (QObject* child = value.value<QObject*>()) {
                FSettings.remove(name);
                FSettings.beginGroup(name);
                SaveProperties(child, path);
                FSettings.endGroup();
            }
            break;
        case EPropertyKind::Unsupported:
            break;
        default:
            FSettings.setValue(name, PropertyValueToText(value, false));
        }
    }
}

void TSettingsPersistence::LoadObject(QObject* object, const QString& group)
{
    if (!group.isEmpty())
        FSettings.beginGroup(group);
    LoadProperties(object);
    if (!group.isEmpty())
        FSettings.endGroup();
}

void TSettingsPersistence::LoadProperties(QObject* object)
{
    if (auto collection = qobject_cast<TCollection*>(object)) {
        const int stored = FSettings.value(QStringLiteral("Count"), 0).toInt();
        for (int i = 0; i < stored; ++i) {
            const QString key = QString::number(i);
            if (!FSettings.childGroups().contains(key))
                continue;
            FSettings.beginGroup(key);
            QObject* item = i < collection->Count() ? collection->Item(i)
                                                    : collection->AddItem(FSettings.value(QStringLiteral("ClassName")).toString());
            if (item)
                LoadProperties(item);
            FSettings.endGroup();
        }
    }
    for (const QMetaProperty& p : PublishedProperties(object->metaObject())) {
        if (!p.isStored())
            continue;
        const QString name = QString::fromLatin1(p.name());
        switch (PropertyKind(p)) {
        case EPropertyKind::StringList:
            if (FSettings.childGroups().contains(name))
                p.write(object, LoadStringList(name));
            break;
        case EPropertyKind::Object:
        case EPropertyKind::Collection:
            if (QObject* child = p.read(object).value<QObject*>(); child && FSettings.childGroups().contains(name)) {
                FSettings.beginGroup(name);
                LoadProperties(child);
                FSettings.endGroup();
            }
            break;
        case EPropertyKind::Unsupported:
            break;
        default: {
            if (!p.isWritable() || !FSettings.contains(name))
                break;
            const QString text = FSettings.value(name).toString();
            const auto value = PropertyValueFromText(object->metaObject(), p, text);
            const QString error = value ? WriteProperty(object, p, *value)
                                        : QStringLiteral("Invalid value \"%1\" for %2").arg(text, name);
            if (!error.isEmpty())
                Errors.append(error);
        }
        }
    }
}

} // namespace kelvane
