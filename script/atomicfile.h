// Replacing a file's contents in one step: a temporary file beside it, then a rename.
#pragma once

#include <string>
#include <string_view>

namespace vt::script {

// Writes data as the whole new contents of path: the bytes go to a temporary file in the same
// folder, reach the disk, and the temporary file is renamed over path. A symbolic link is
// followed and its target replaced; an existing file keeps its permission bits. On failure the
// temporary file is removed, an existing file is left as it was, and IniError is thrown naming
// the file and the system's reason.
void writeFileAtomically(const std::string& path, std::string_view data);

} // namespace vt::script
