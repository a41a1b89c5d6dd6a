// Byte-string helpers of the script conversions: trimming, ASCII upper-casing and searching.
#pragma once

#include <string>
#include <string_view>

namespace vt::desktop {

// True for the bytes that trimming removes: blanks and control characters (0 to 32).
inline bool isBlankChar(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// The text without leading and trailing blanks and control characters.
std::string_view trimText(std::string_view text);

// The text without trailing blanks and control characters.
std::string_view trimTextRight(std::string_view text);

// True when the text is empty after trimming.
inline bool isBlank(std::string_view text) {
    return trimText(text).empty();
}

// The negation of isBlank.
inline bool isNotBlank(std::string_view text) {
    return !isBlank(text);
}

// The byte with only the ASCII letters a to z upper-cased.
inline char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// The text with only the ASCII letters a to z upper-cased.
std::string upperAscii(std::string_view text);

// True when the text starts with the upper-case prefix, the text's ASCII letters upper-cased.
bool startsWithUpper(std::string_view text, std::string_view upperPrefix);

// True when the upper-case needle occurs in the text, the text's ASCII letters upper-cased.
bool containsUpper(std::string_view text, std::string_view upperNeedle);

// The text with every occurrence of the pattern removed, left to right; unchanged for an empty
// pattern.
std::string removeAll(std::string_view text, std::string_view pattern);

} // namespace vt::desktop
