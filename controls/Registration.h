#pragma once
// Registers the program's control classes with the UI layer, in the order start-up does it.
#include <QStringList>

namespace q9::controls {

void registerCustomControls();
// The names registered, in order (diagnostics and tests).
QStringList customControlNames();

} // namespace q9::controls
