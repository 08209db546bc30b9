#include "PublishedProperties.h"

#include "Collection.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace kelvane {

EPropertyKind PropertyKind(const QMetaProperty& property)
{
    if (property.isFlagType())
        return EPropertyKind::Set;
    if (property.isEnumType())
        return EPropertyKind::Enum;
    const QMetaType type = property.metaType();
    switch (type.id()) {
    case QMetaType::Bool:
        return EPropertyKind::Bool;
    case QMetaType::Int:
    case QMetaType::UInt:
        return EPropertyKind::Integer;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return EPropertyKind::Int64;
    case QMetaType::Double:
        return EPropertyKind::Double;
    case QMetaType::QString:
        return EPropertyKind::Text;
    case QMetaType::QStringList:
        return EPropertyKind::StringList;
    default:
        break;
    }
    if (type.flags().testFlag(QMetaType::PointerToQObject)) {
        const QMetaObject* meta = type.metaObject();
        if (meta && meta->inherits(&TCollection::staticMetaObject))
            return EPropertyKind::Collection;
        return EPropertyKind::Object;
    }
    return EPropertyKind::Unsupported;
}

QList<QMetaProperty> PublishedProperties(const QMetaObject* meta)
{
    QList<QMetaProperty> result;
    for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i)
        result.append(meta->property(i));
    return result;
}

std::optional<TPropertyRange> PropertyRange(const QMetaObject* meta, const char* name)
{
    const int index = meta->indexOfClassInfo(QByteArray("Range:").append(name).constData());
    if (index < 0)
        return std::nullopt;
    const QStringList bounds = QString::fromLatin1(meta->classInfo(index).value()).split(QStringLiteral(".."));
    if (bounds.size() != 2)
        return std::nullopt;
    return TPropertyRange{bounds[0].toDouble(), bounds[1].toDouble()};
}

bool IsDateProperty(const QMetaObject* meta, const char* name)
{
    return meta->indexOfClassInfo(QByteArray("Date:").append(name).constData()) >= 0;
}

QString WriteProperty(QObject* object, const QMetaProperty& property, const QVariant& value)
{
    if (!property.isWritable())
        return QStringLiteral("Property %1 is read-only").arg(QString::fromLatin1(property.name()));
    const EPropertyKind kind = PropertyKind(property);
    if (kind == EPropertyKind::Integer || kind == EPropertyKind::Int64 || kind == EPropertyKind::Double
        || kind == EPropertyKind::Enum) {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (!ok)
            return QStringLiteral("Invalid value for %1").arg(QString::fromLatin1(property.name()));
        if (auto range = PropertyRange(object->metaObject(), property.name());
            range && (number < range->Min || number > range->Max))
            return QStringLiteral("Value %1 for %2 is out of range (%3 to %4)")
                .arg(value.toString(), QString::fromLatin1(property.name()))
                .arg(range->Min)
                .arg(range->Max);
        if (kind == EPropertyKind::Enum) {
            const QMetaEnum e = property.enumerator();
            if (!e.valueToKey(int(number)))
                return QStringLiteral("Value %1 for %2 is out of range").arg(value.toString(), QString::fromLatin1(property.name()));
        }
        if (kind == EPropertyKind::Integer && property.metaType().id() == QMetaType::UInt && number < 0)
            return QStringLiteral("Value %1 for %2 is out of range").arg(value.toString(), QString::fromLatin1(property.name()));
    }
    QVariant converted = value;
    if (kind != EPropertyKind::Enum && kind != EPropertyKind::Set && !converted.convert(property.metaType()))
        return QStringLiteral("Invalid value for %1").arg(QString::fromLatin1(property.name()));
    if (kind == EPropertyKind::Enum || kind == EPropertyKind::Set)
        converted = QVariant(value.toInt());
    if (!property.write(object, converted))
        return QStringLiteral("Failed to set data for '%1'").arg(QString::fromLatin1(property.name()));
    return {};
}

namespace {

std::optional<bool> BoolFromText(const QString& text)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("true") || t == QLatin1String("1") || t == QLatin1String("yes"))
        return true;
    if (t == QLatin1String("false") || t == QLatin1String("0") || t == QLatin1String("no"))
        return false;
    return std::nullopt;
}

std::optional<double> NumberFromText(const QString& text)
{
    bool ok = false;
    double v = text.trimmed().toDouble(&ok);
    if (ok)
        return v;
    v = QLocale().toDouble(text.trimmed(), &ok);
    if (ok)
        return v;
    return std::nullopt;
}

// Day count since 30 December 1899 with the time as fraction.
std::optional<double> DateFromText(const QString& text)
{
    const QLocale locale;
    QDateTime dt = locale.toDateTime(text, QLocale::ShortFormat);
    if (!dt.isValid())
        dt = QDateTime::fromString(text, Qt::ISODate);
    if (!dt.isValid()) {
        const QDate d = locale.toDate(text, QLocale::ShortFormat);
        if (d.isValid())
            dt = QDateTime(d, QTime(0, 0));
    }
    if (!dt.isValid())
        return std::nullopt;
    const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0), dt.timeSpec());
    return double(epoch.msecsTo(dt)) / 86400000.0;
}

} // namespace

std::optional<QVariant> PropertyValueFromText(const QMetaObject* meta, const QMetaProperty& property, const QString& text)
{
    switch (PropertyKind(property)) {
    case EPropertyKind::Bool:
        if (auto b = BoolFromText(text))
            return QVariant(*b);
        return std::nullopt;
    case EPropertyKind::Integer:
    case EPropertyKind::Int64: {
        bool ok = false;
        const qlonglong v = text.trimmed().toLongLong(&ok);
        if (ok)
            return QVariant(v);
        return std::nullopt;
    }
    case EPropertyKind::Double:
        if (IsDateProperty(meta, property.name()))
            if (auto d = DateFromText(text))
                return QVariant(*d);
        if (auto v = NumberFromText(text))
            return QVariant(*v);
        return std::nullopt;
    case EPropertyKind::Enum:
    case EPropertyKind::Set: {
        bool ok = false;
        const int ordinal = text.trimmed().toInt(&ok);
        if (ok)
            return QVariant(ordinal);
        const QMetaEnum e = property.enumerator();
        for (int i = 0; i < e.keyCount(); ++i)
            if (QString::fromLatin1(e.key(i)).compare(text.trimmed(), Qt::CaseInsensitive) == 0)
                return QVariant(e.value(i));
        return std::nullopt;
    }
    case EPropertyKind::Text:
        return QVariant(text);
    case EPropertyKind::StringList: {
        QStringList items;
        for (const QString& part : text.split(QRegularExpression(QStringLiteral("[;,]")), Qt::SkipEmptyParts))
            if (!part.trimmed().isEmpty())
                items.append(part.trimmed());
        return QVariant(items);
    }
    default:
        return std::nullopt;
    }
}

std::optional<TPropertyTarget> FindProperty(QObject* root, const QString& path)
{
    QObject* object = root;
    QString name = path;
    const int slash = path.indexOf(QLatin1Char('\\'));
    if (slash >= 0) {
        const QString ownerName = path.left(slash);
        object = nullptr;
        if (auto owner = FindProperty(root, ownerName); owner && PropertyKind(owner->Property) == EPropertyKind::Object)
            object = owner->Property.read(owner->Object).value<QObject*>();
        // Sub-objects that are not published properties (the export media) are
        // found by their object name.
        for (QObject* child : root->children())
            if (!object && child->objectName().compare(ownerName, Qt::CaseInsensitive) == 0)
                object = child;
        if (!object)
            return std::nullopt;
        name = path.mid(slash + 1);
    }
    for (const QMetaProperty& p : PublishedProperties(object->metaObject()))
        if (QString::fromLatin1(p.name()).compare(name, Qt::CaseInsensitive) == 0)
            return TPropertyTarget{object, p};
    return std::nullopt;
}

QString SetPropertyByName(QObject* root, const QString& path, const QString& text)
{
    const auto target = FindProperty(root, path);
    if (!target)
        return QStringLiteral("Property %1 does not exist").arg(path);
    const auto value = PropertyValueFromText(target->Object->metaObject(), target->Property, text);
    if (!value)
        return QStringLiteral("Invalid value \"%1\" for %2").arg(text, QString::fromLatin1(target->Property.name()));
    return WriteProperty(target->Object, target->Property, *value);
}

} // namespace kelvane
