#pragma once
#include <QString>
#include <cstdint>

namespace kelvane {

// "R" read-only, "H" hidden, "S" system, "A" archive, "C" compressed or
// sparse, "T" temporary, in this order.
QString GetAttributeLetters(uint32_t attributes);

} // namespace kelvane
