#include "Collection.h"

namespace kelvane {

TCollection::~TCollection()
{
    Clear();
}

QObject* TCollection::AddItem(const QString& className)
{
    QObject* item = CreateItem(className);
    if (item) {
        item->setParent(this);
        FItems.append(item);
    }
    return item;
}

void TCollection::Clear()
{
    qDeleteAll(FItems);
    FItems.clear();
}

} // namespace kelvane
