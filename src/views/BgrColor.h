#pragma once
#include <QColor>

namespace kelvane {

// Colours of the options and of the tree are written blue-green-red.
inline QColor BgrColor(int value)
{
    return QColor(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
}

} // namespace kelvane
