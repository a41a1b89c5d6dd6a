// Byte-string helpers of the script conversions: blank tests and searching without ASCII case.
#pragma once

#include "platform/asciitext.h"

#include <string>
#include <string_view>

namespace vt::desktop {

// True when the text is empty after trimming.
inline bool isBlank(std::string_view text) {
    return platform::trim(text).empty();
}

// The negation of isBlank.
inline bool isNotBlank(std::string_view text) {
    return !isBlank(text);
}

// True when the text starts with the upper-case prefix, the text's ASCII letters upper-cased.
bool startsWithUpper(std::string_view text, std::string_view upperPrefix);

// True when the upper-case needle occurs in the text, the text's ASCII letters upper-cased.
bool containsUpper(std::string_view text, std::string_view upperNeedle);

// The text with every occurrence of the pattern removed, left to right; unchanged for an empty
// pattern.
std::string removeAll(std::string_view text, std::string_view pattern);

} // namespace vt::desktop
