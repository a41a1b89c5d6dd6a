// Comparing ANSI texts without regard to letter case (Latin and Cyrillic letters).
#pragma once

#include <string_view>

namespace vt::plugin {

// True when two texts in the ANSI code page are equal when letter case is ignored.
bool sameTextIgnoringCase(std::string_view a, std::string_view b);

} // namespace vt::plugin
