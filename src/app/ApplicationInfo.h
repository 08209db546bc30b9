#pragma once
#include <QString>

namespace kelvane {

// The application title names the settings, the syslog ident and the data folder.
inline QString ApplicationTitle() { return QStringLiteral("Kelvane Professional"); }
inline QString OrganizationName() { return QStringLiteral("Brask Software"); }
inline QString ProgramVersion() { return QStringLiteral(KELVANE_VERSION); }

} // namespace kelvane
