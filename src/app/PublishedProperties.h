#pragma once
#include <QMetaProperty>
#include <QObject>
#include <QString>
#include <QVariant>
#include <optional>

namespace kelvane {

// How a published property is stored and converted.
enum class EPropertyKind { Bool, Integer, Int64, Double, Text, Enum, Set, StringList, Object, Collection, Unsupported };

EPropertyKind PropertyKind(const QMetaProperty& property);

// Published properties in declaration order, base classes first; the
// component name ("objectName") is not one of them.
QList<QMetaProperty> PublishedProperties(const QMetaObject* meta);

// The allowed range of a numeric property, declared on the class with
// Q_CLASSINFO("Range:<Name>", "<min>..<max>").
struct TPropertyRange {
    double Min;
    double Max;
};
std::optional<TPropertyRange> PropertyRange(const QMetaObject* meta, const char* name);

// Whether the property holds a date (days since 30 December 1899), declared
// with Q_CLASSINFO("Date:<Name>", "true"). Only such values are converted
// from date texts.
bool IsDateProperty(const QMetaObject* meta, const char* name);

// Writes a value checked against the property's type and range. Returns an
// empty text on success, else the reason; the property keeps its value.
QString WriteProperty(QObject* object, const QMetaProperty& property, const QVariant& value);

// Converts a typed text (command line, settings file, XML) to the property's
// type: booleans from true/false/1/0/yes/no, enumerations by name or ordinal,
// numbers in the C or the current locale's format.
std::optional<QVariant> PropertyValueFromText(const QMetaObject* meta, const QMetaProperty& property, const QString& text);

// Finds "Name" or "Object\Name" (names compared ignoring case) and writes
// the text converted to its type. Returns an empty text on success, else the
// error text ("Property X does not exist", a range or type error).
QString SetPropertyByName(QObject* root, const QString& path, const QString& text);

// Resolves "Name" or "Object\Name" to the owning object and property.
struct TPropertyTarget {
    QObject* Object = nullptr;
    QMetaProperty Property;
};
std::optional<TPropertyTarget> FindProperty(QObject* root, const QString& path);

} // namespace kelvane
