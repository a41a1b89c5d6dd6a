// ASCII text helpers on bytes: trimming, letter case, comparison without regard to letter case.
//
// Only the ASCII letters a-z and A-Z change case; every other byte (UTF-8 sequences, letters of
// an ANSI code page) is left as it is, whatever the process's locale.
#pragma once

#include <string>
#include <string_view>

namespace vt::platform {

// The bytes trimmed unless told otherwise: the space and every control character (0 to 32).
inline constexpr char kBlankBytes[] = "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F"
                                      "\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1A\x1B\x1C\x1D\x1E"
                                      "\x1F\x20";
inline constexpr std::string_view kBlanks{kBlankBytes, sizeof kBlankBytes}; // with the 0 byte

// Whether a byte is a blank: the space or a control character (0 to 32).
constexpr bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

// The text without the leading bytes that are among blanks.
std::string_view trimLeft(std::string_view text, std::string_view blanks = kBlanks);
// The text without the trailing bytes that are among blanks.
std::string_view trimRight(std::string_view text, std::string_view blanks = kBlanks);
// The text without the leading and trailing bytes that are among blanks.
std::string_view trim(std::string_view text, std::string_view blanks = kBlanks);

// The byte with a-z upper-cased.
constexpr char toUpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
// The byte with A-Z lower-cased.
constexpr char toLowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
// The text with a-z upper-cased.
std::string toUpperAscii(std::string_view text);
// The text with A-Z lower-cased.
std::string toLowerAscii(std::string_view text);

// Whether two texts are equal when ASCII letter case is ignored.
bool equalsNoCase(std::string_view a, std::string_view b);
// Whether the text starts with the prefix when ASCII letter case is ignored.
bool startsWithNoCase(std::string_view text, std::string_view prefix);

} // namespace vt::platform
