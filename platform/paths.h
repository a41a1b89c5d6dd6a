// The program folder (read-only files shipped beside the programs) and the settings folder.
#pragma once

#include <string>

namespace vt::platform {

// Full path of the running executable.
std::string programFile();

// Folder of the running executable, without a trailing slash.
std::string programFolder();

// Full path of the shared object or executable that contains the given address
// (the module file name of a library); empty when it cannot be told.
std::string moduleFileOf(const void* address);

// The settings folder: $VT_CONFIG_DIR, else $XDG_CONFIG_HOME/vantrel, else ~/.config/vantrel.
// Not created by this call.
std::string settingsFolder();

// Creates the settings folder (and its parents) when missing; throws std::system_error on failure.
void ensureSettingsFolder();

// settingsFolder() + "/" + name.
std::string settingsFile(const std::string& name);

// programFolder() + "/" + name.
std::string programFolderFile(const std::string& name);

// Whether both paths name one existing file, however they are spelled (links, "..", hard links).
bool sameFile(const std::string& first, const std::string& second);

} // namespace vt::platform
