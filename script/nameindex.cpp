// A hash index from names, letter case ignored, to positions in a list kept elsewhere.
#include "script/nameindex.h"

#include <array>
#include <clocale>
#include <locale.h>
#include <wctype.h>

#include "platform/codepage.h"

namespace vt::script {
namespace {

// The C library's Unicode case tables, independent of the user's locale. Freed when the module
// is unloaded (the plug-in is unloaded after each run).
locale_t unicodeLocale() {
    struct Owned {
        locale_t locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
        ~Owned() {
            if (locale)
                ::freelocale(locale);
        }
    };
    static const Owned owned;
    return owned.locale;
}

char32_t lowerCodePoint(char32_t c) {
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    const locale_t locale = unicodeLocale();
    return locale ? static_cast<char32_t>(::towlower_l(static_cast<wint_t>(c), locale)) : c;
}

// Byte to lower-case byte for CP1251: each byte's character lowered when its lower case is a
// character of the code page too (Latin and Cyrillic letters).
const std::array<unsigned char, 256>& cp1251Lower() {
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int b = 0; b < 256; ++b) {
            t[b] = static_cast<unsigned char>(b);
            if (b < 0x80) {
                t[b] = static_cast<unsigned char>(lowerCodePoint(static_cast<char32_t>(b)));
                continue;
            }
            const std::string utf8 = platform::cp1251ToUtf8(std::string(1, static_cast<char>(b)));
            std::size_t i = 0;
            char32_t c = 0;
            // Decode the one character (two or three bytes).
            const auto lead = static_cast<unsigned char>(utf8[i]);
            const int len = lead >= 0xE0 ? 3 : 2;
            c = lead & (len == 3 ? 0x0F : 0x1F);
            for (int k = 1; k < len && k < static_cast<int>(utf8.size()); ++k)
                c = (c << 6) | (static_cast<unsigned char>(utf8[k]) & 0x3F);
            const char32_t lower = lowerCodePoint(c);
            if (lower == c)
                continue;
            std::string lowered;
            if (lower < 0x800) {
                lowered += static_cast<char>(0xC0 | (lower >> 6));
                lowered += static_cast<char>(0x80 | (lower & 0x3F));
            } else {
                lowered += static_cast<char>(0xE0 | (lower >> 12));
                lowered += static_cast<char>(0x80 | ((lower >> 6) & 0x3F));
                lowered += static_cast<char>(0x80 | (lower & 0x3F));
            }
            const std::string back = platform::utf8ToCp1251(lowered);
            if (back.size() == 1 && back != "?")
                t[b] = static_cast<unsigned char>(back[0]);
        }
        return t;
    }();
    return table;
}

// Reads the character at text[i] and advances i: a UTF-8 sequence's code point, or for a byte
// that starts no well-formed sequence a value above the Unicode range that stands for that byte
// alone (so that malformed names stay distinct).
char32_t nextUtf8(std::string_view text, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    const int len = (b0 & 0xE0) == 0xC0 ? 2 : (b0 & 0xF0) == 0xE0 ? 3 : (b0 & 0xF8) == 0xF0 ? 4 : 0;
    char32_t c = b0 & (len == 2 ? 0x1F : len == 3 ? 0x0F : 0x07);
    bool ok = len > 0 && i + len <= text.size();
    for (int k = 1; ok && k < len; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        ok = (b & 0xC0) == 0x80;
        c = (c << 6) | (b & 0x3F);
    }
    if (!ok) {
        ++i;
        return 0x110000 + b0;
    }
    i += len;
    return c;
}

bool isUtf8() {
    return platform::ansiCodePage() == platform::AnsiCodePage::Utf8;
}

uint64_t mix(uint64_t h, uint32_t value) {
    return (h ^ value) * 1099511628211ull;
}

} // namespace

bool equalNoCase(std::string_view a, std::string_view b) {
    if (!isUtf8()) {
        if (a.size() != b.size())
            return false;
        const auto& lower = cp1251Lower();
        for (std::size_t i = 0; i < a.size(); ++i)
            if (lower[static_cast<unsigned char>(a[i])] != lower[static_cast<unsigned char>(b[i])])
                return false;
        return true;
    }
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (lowerCodePoint(nextUtf8(a, i)) != lowerCodePoint(nextUtf8(b, j)))
            return false;
    }
    return i == a.size() && j == b.size();
}

uint64_t hashNoCase(std::string_view name) {
    uint64_t h = 14695981039346656037ull;
    if (!isUtf8()) {
        const auto& lower = cp1251Lower();
        for (char c : name)
            h = mix(h, lower[static_cast<unsigned char>(c)]);
    } else {
        for (std::size_t i = 0; i < name.size();)
            h = mix(h, static_cast<uint32_t>(lowerCodePoint(nextUtf8(name, i))));
    }
    // Fold the high bits in: the index uses the low bits of the hash.
    return h ^ (h >> 32);
}

} // namespace vt::script
