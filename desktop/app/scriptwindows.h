// The script windows the desktop program's main window opens.
#pragma once

#include "desktop/app/mainform.h"

namespace vt::desktop {

// Factories of every script window: execution, conversions, data transfer, script kinds.
TScriptWindows scriptWindows();

} // namespace vt::desktop
