#pragma once
#include <QChar>

namespace kelvane {

// The separator of typed lists (pattern lists, text and CSV exports):
// ";" where the locale writes decimals with a comma, else ",".
// The command line may replace it for the run.
QChar ListSeparator();
void SetListSeparator(QChar separator);
QChar DefaultListSeparator();

} // namespace kelvane
