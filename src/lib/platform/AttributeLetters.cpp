#include "AttributeLetters.h"

#include "DirectoryLister.h"

namespace kelvane {

QString GetAttributeLetters(uint32_t a)
{
    QString s;
    if (a & faReadOnly)
        s += QLatin1Char('R');
    if (a & faHidden)
        s += QLatin1Char('H');
    if (a & faSystem)
        s += QLatin1Char('S');
    if (a & faArchive)
        s += QLatin1Char('A');
    if (a & (faCompressed | faSparse))
        s += QLatin1Char('C');
    if (a & faTemporary)
        s += QLatin1Char('T');
    return s;
}

} // namespace kelvane
