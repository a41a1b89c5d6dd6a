// The desktop program's process-wide settings state, set up once in a fixed order.
//
// The state comes into being on the first call of any accessor below (or of initAppSettings), in
// this order: ResourceModules with the program's own module, RunningUnderWine, RegRoot,
// AppSubKey, ToolsIni, SqlToolsIni. doneAppSettings releases it; the next access sets it up anew.
// Everything here belongs to the GUI thread.
#pragma once

#include "desktop/shell/resourcemodule.h"
#include "script/inifile.h"

#include <QString>
#include <vector>

namespace vt::desktop {

// Sets the state up when it does not exist yet. Throws script::IniError when tools.ini or
// sqltools.ini exists but cannot be read.
void initAppSettings();
// Releases the state: the INI objects are closed and the module list emptied.
void doneAppSettings();

// Modules searched for resources, in order; the first is the program's own module.
std::vector<HModule>& ResourceModules();
// Removes every entry of the module from ResourceModules; nothing happens while no state exists.
void forgetResourceModule(HModule module);
// True when the registry key "Software\Wine" exists under HKEY_CURRENT_USER.
bool RunningUnderWine();
// The product line's registry path, kept header-scrambled in the program.
const QString& RegRoot();
// The program's own sub-key, "\Vantrel Utilities".
const QString& AppSubKey();
// The external tools file, tools.ini in the settings folder.
script::IniFile& ToolsIni();
// The script kinds file, sqltools.ini in the settings folder.
script::IniFile& SqlToolsIni();

} // namespace vt::desktop
