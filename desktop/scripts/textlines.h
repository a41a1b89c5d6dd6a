// Reading a text file's bytes and cutting them into lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vt::desktop {

// The lines of the text, without their line ends. CR LF, LF and CR each end a line; a final line
// without a line end counts, an empty text has no lines.
std::vector<std::string_view> splitLines(std::string_view text);

// The whole file as bytes. Throws EVTUtilsError "Файл <path> не существует." when the file is
// missing, EInOutError when it cannot be read.
std::string readFileBytes(const std::string& path);

} // namespace vt::desktop
