#include "MediaSettings.h"

namespace kelvane {

const char* MediumName(int medium)
{
    static const char* const names[MediumCount] = {"Details View", "Excel Export", "Text Export", "Printed Report", "HTML Export"};
    return medium >= 0 && medium < MediumCount ? names[medium] : "";
}

} // namespace kelvane
