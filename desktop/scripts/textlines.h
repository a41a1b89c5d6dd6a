// Cutting text into lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vt::desktop {

// The lines of the text, without their line ends. CR LF, LF and CR each end a line; a final line
// without a line end counts, an empty text has no lines.
std::vector<std::string_view> splitLines(std::string_view text);

} // namespace vt::desktop
