// Small text helpers shared by the engine's sources.
#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <strings.h>

namespace vt::dbengine::sqlhelp {

// ASCII comparison without regard to letter case.
inline bool sameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// Whether text starts with prefix, ASCII letter case ignored.
inline bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && sameNoCase(text.substr(0, prefix.size()), prefix);
}

// ASCII upper case.
inline std::string upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

// ASCII lower case.
inline std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

} // namespace vt::dbengine::sqlhelp
