#pragma once
#include <QString>

namespace kelvane {

// The application title names the settings, the syslog ident and the data folder.
inline QString ApplicationTitle() { return QStringLiteral("Kelvane Professional"); }
inline QString OrganizationName() { return QStringLiteral("Brask Software"); }
inline QString ProgramVersion() { return QStringLiteral("0.1.0"); }

} // namespace kelvane
