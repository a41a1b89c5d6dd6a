// Comparing ANSI texts without regard to letter case (Latin and Cyrillic letters).
#include "plugin/textcase.h"

#include "platform/codepage.h"

#include <string>

namespace vt::plugin {
namespace {

// Decodes one UTF-8 sequence at pos; a malformed byte reads as itself (0xDC00 + byte, which
// matches nothing else).
char32_t nextCodePoint(std::string_view s, std::size_t& pos) {
    const auto b = static_cast<unsigned char>(s[pos]);
    int length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (length == 0 || pos + length > s.size()) {
        ++pos;
        return 0xDC00 + b;
    }
    char32_t cp = length == 1 ? b : (b & (0x7F >> length));
    for (int i = 1; i < length; ++i) {
        const auto c = static_cast<unsigned char>(s[pos + i]);
        if ((c & 0xC0) != 0x80) {
            ++pos;
            return 0xDC00 + b;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    pos += length;
    return cp;
}

char32_t upper(char32_t c) {
    if (c >= U'a' && c <= U'z')
        return c - 0x20;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) // Latin-1 letters
        return c - 0x20;
    if (c >= 0x430 && c <= 0x44F) // а..я
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F) // ѐ..џ, ё among them
        return c - 0x50;
    if (c == 0x491) // ґ
        return 0x490;
    return c;
}

} // namespace

bool sameTextIgnoringCase(std::string_view a, std::string_view b) {
    if (a == b)
        return true;
    const std::string ua = platform::ansiToUtf8(a);
    const std::string ub = platform::ansiToUtf8(b);
    std::size_t i = 0, j = 0;
    while (i < ua.size() && j < ub.size())
        if (upper(nextCodePoint(ua, i)) != upper(nextCodePoint(ub, j)))
            return false;
    return i == ua.size() && j == ub.size();
}

} // namespace vt::plugin
