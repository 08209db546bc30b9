#include "XmlPersistence.h"

#include "Collection.h"
#include "PublishedProperties.h"
#include "SettingsPersistence.h"

namespace kelvane {
namespace {

pugi::xml_node Child(pugi::xml_node parent, const QString& name)
{
    const QByteArray n = name.toUtf8();
    pugi::xml_node child = parent.child(n.constData());
    return child ? child : parent.append_child(n.constData());
}

void SetText(pugi::xml_node node, const QString& text)
{
    node.text().set(text.toUtf8().constData());
}

QString Text(pugi::xml_node node)
{
    return QString::fromUtf8(node.child_value());
}

void WriteStringList(pugi::xml_node element, const QStringList& list)
{
    while (pugi::xml_node old = element.find_child([](pugi::xml_node n) { return QByteArray(n.name()).startsWith("String"); }))
        element.remove_child(old);
    for (int i = 0; i < list.size(); ++i)
        SetText(element.append_child(QByteArray("String").append(QByteArray::number(i)).constData()), list[i]);
}

QStringList ReadStringList(pugi::xml_node element)
{
    QStringList result;
    for (int i = 0;; ++i) {
        pugi::xml_node item = element.child(QByteArray("String").append(QByteArray::number(i)).constData());
        if (!item)
            break;
        result.append(Text(item));
    }
    return result;
}

} // namespace

void TXmlPersistence::WriteProperties(pugi::xml_node element, const QObject* object)
{
    pugi::xml_attribute type = element.attribute("Type");
    if (!type)
        type = element.append_attribute("Type");
    type.set_value(object->metaObject()->className());

    if (auto collection = qobject_cast<const TCollection*>(object))
        for (int i = 0; i < collection->Count(); ++i)
            WriteProperties(Child(element, QStringLiteral("CollectionItem%1").arg(i)), collection->Item(i));

    for (const QMetaProperty& p : PublishedProperties(object->metaObject())) {
        if (!p.isStored())
            continue;
        const QString name = QString::fromLatin1(p.name());
        const QVariant value = p.read(object);
        switch (PropertyKind(p)) {
        case EPropertyKind::StringList: {
            pugi::xml_node list = Child(element, name);
            if (!list.attribute("Type"))
                list.append_attribute("Type").set_value("TStringList");
            WriteStringList(list, value.toStringList());
            break;
        }
        case EPropertyKind::Object:
        case EPropertyKind::Collection:
            if (const QObject* child = value.value<QObject*>())
                WriteProperties(Child(element, name), child);
            break;
        case EPropertyKind::Unsupported:
            break;
        default:
            SetText(Child(element, name), PropertyValueToText(value, true));
        }
    }
}

void TXmlPersistence::ReadProperties(pugi::xml_node element, QObject* object, QStringList* errors)
{
    if (auto collection = qobject_cast<TCollection*>(object)) {
        for (int i = 0;; ++i) {
            pugi::xml_node itemNode = element.child(QStringLiteral("CollectionItem%1").arg(i).toUtf8().constData());
            if (!itemNode)
                break;
            QString className = QString::fromUtf8(itemNode.attribute("Type").value());
            if (className == QLatin1String("noClassname"))
                className.clear();
            QObject* item = i < collection->Count() ? collection->Item(i) : collection->AddItem(className);
            if (item)
                ReadProperties(itemNode, item, errors);
        }
    }
    for (const QMetaProperty& p : PublishedProperties(object->metaObject())) {
        if (!p.isStored())
            continue;
        const QString name = QString::fromLatin1(p.name());
        pugi::xml_node node = element.child(name.toUtf8().constData());
        if (!node)
            continue;
        switch (PropertyKind(p)) {
        case EPropertyKind::StringList:
            p.write(object, ReadStringList(node));
            break;
        case EPropertyKind::Object:
        case EPropertyKind::Collection:
            if (QObject* child = p.read(object).value<QObject*>())
                ReadProperties(node, child, errors);
            break;
        case EPropertyKind::Unsupported:
            break;
        default: {
            if (!p.isWritable())
                break;
            const QString text = Text(node);
            const auto value = PropertyValueFromText(object->metaObject(), p, text);
            const QString error = value ? WriteProperty(object, p, *value)
                                        : QStringLiteral("Invalid value \"%1\" for %2").arg(text, name);
            if (!error.isEmpty() && errors)
                errors->append(error);
        }
        }
    }
}

} // namespace kelvane
