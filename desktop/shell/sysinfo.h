// Names the system gives the user, the computer and the program's modules.
#pragma once

#include "desktop/shell/resourcemodule.h"

#include <QString>

namespace vt::desktop {

// The operating-system account name, or empty when it cannot be told.
QString GetLogonUserName();
// The computer's network name (the host name), or empty when it cannot be told.
QString GetComputerNetName();
// The full file name of the module; without a module, the program's own file.
QString GetModuleFileNameStr(HModule module = nullptr);

} // namespace vt::desktop
