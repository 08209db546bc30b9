#pragma once
#include <QList>
#include <QObject>

namespace kelvane {

// An ordered, owning list of persistent items (column layouts, search
// pattern rows). The persistence layer saves it as an ordered array and
// recreates missing items by their stored class name.
class TCollection : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~TCollection() override;

    int Count() const { return int(FItems.size()); }
    QObject* Item(int index) const { return FItems.value(index); }
    // Appends a new item of the named class; an empty or unknown name gives
    // the collection's own item class.
    QObject* AddItem(const QString& className = {});
    void Clear();

protected:
    virtual QObject* CreateItem(const QString& className) = 0;

private:
    QList<QObject*> FItems;
};

} // namespace kelvane
