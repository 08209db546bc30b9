#pragma once
#include <QObject>
#include <QStringList>
#include <pugixml.hpp>

namespace kelvane {

// Maps a persistent object to one XML element: the attribute Type holds the
// class name, string lists become String0, String1 ..., collections
// CollectionItem0 ..., and each stored property a child element named after
// it. Writing again updates the elements in place.
class TXmlPersistence {
public:
    static void WriteProperties(pugi::xml_node element, const QObject* object);
    // Missing elements keep the current value; refused values are listed.
    static void ReadProperties(pugi::xml_node element, QObject* object, QStringList* errors = nullptr);
};

} // namespace kelvane
