#include "ListSeparator.h"

#include <QLocale>
#include <atomic>

namespace kelvane {
namespace {
std::atomic<char16_t> g_separator{0};
}

QChar DefaultListSeparator()
{
    return QLocale().decimalPoint() == QStringLiteral(",") ? QChar(';') : QChar(',');
}

QChar ListSeparator()
{
    const char16_t c = g_separator.load();
    return c ? QChar(c) : DefaultListSeparator();
}

void SetListSeparator(QChar separator)
{
    g_separator.store(separator.unicode());
}

} // namespace kelvane
