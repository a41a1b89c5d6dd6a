// CP1251, UTF-8 and terminal charset conversions.
#include "platform/codepage.h"
#include "platform/asciitext.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <iconv.h>

namespace vt::platform {
namespace {

// Unicode code points of CP1251 bytes 0x80..0xFF (0x98 has no character and maps to U+0098).
constexpr std::array<char16_t, 128> kCp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at text[i]; returns the code point and advances i, or returns
// U+FFFD for a malformed sequence (advancing by one byte).
char32_t decodeUtf8(std::string_view text, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int len = 0;
    char32_t cp = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        cp = b0 & 0x07;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + len > text.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    i += len;
    return cp;
}

std::atomic<int> g_codePage{-1};

bool isUtf8Name(const std::string& charset) {
    const std::string l = toLowerAscii(charset);
    return l == "utf-8" || l == "utf8";
}

bool isCp1251Name(const std::string& charset) {
    const std::string l = toLowerAscii(charset);
    return l == "cp1251" || l == "windows-1251" || l == "1251";
}

// Converts with iconv; characters the target cannot hold become '?'.
std::string iconvConvert(std::string_view text, const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string(text);
    std::string out;
    out.resize(text.size() * 4 + 16);
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* dst = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1)) {
            if (errno == E2BIG) {
                const size_t used = dst - out.data();
                out.resize(out.size() * 2);
                dst = out.data() + used;
                outLeft = out.size() - used;
                continue;
            }
            // Unconvertible or malformed input: skip one byte, write '?'.
            ++in;
            --inLeft;
            if (outLeft == 0) {
                const size_t used = dst - out.data();
                out.resize(out.size() * 2);
                dst = out.data() + used;
                outLeft = out.size() - used;
            }
            *dst++ = '?';
            --outLeft;
        }
    }
    out.resize(dst - out.data());
    iconv_close(cd);
    return out;
}

} // namespace

AnsiCodePage ansiCodePage() {
    int page = g_codePage.load();
    if (page < 0) {
        const char* env = std::getenv("VT_CODEPAGE");
        page = (env && isUtf8Name(env)) ? static_cast<int>(AnsiCodePage::Utf8)
                                        : static_cast<int>(AnsiCodePage::Cp1251);
        g_codePage.store(page);
    }
    return static_cast<AnsiCodePage>(page);
}

void setAnsiCodePage(AnsiCodePage page) {
    g_codePage.store(static_cast<int>(page));
}

char16_t cp1251ToUnicode(unsigned char byte) {
    return byte < 0x80 ? char16_t(byte) : kCp1251High[byte - 0x80];
}

char unicodeToCp1251(char32_t character) {
    if (character < 0x80)
        return static_cast<char>(character);
    if (character >= 0x0410 && character <= 0x044F)
        return static_cast<char>(0xC0 + (character - 0x0410));
    for (std::size_t k = 0; k < 64; ++k)
        if (kCp1251High[k] == character)
            return static_cast<char>(0x80 + k);
    return '?';
}

std::string cp1251ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (unsigned char c : text) {
        if (c < 0x80)
            out += static_cast<char>(c);
        else
            appendUtf8(out, kCp1251High[c - 0x80]);
    }
    return out;
}

std::string utf8ToCp1251(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const char32_t cp = decodeUtf8(text, i);
        if (cp < 0x80) {
            out += static_cast<char>(cp);
            continue;
        }
        out += unicodeToCp1251(cp);
    }
    return out;
}

std::string ansiToUtf8(std::string_view text) {
    return ansiCodePage() == AnsiCodePage::Utf8 ? std::string(text) : cp1251ToUtf8(text);
}

std::string utf8ToAnsi(std::string_view text) {
    return ansiCodePage() == AnsiCodePage::Utf8 ? std::string(text) : utf8ToCp1251(text);
}

std::string terminalCharset() {
    const char* value = nullptr;
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* v = std::getenv(name);
        if (v && *v) {
            value = v;
            break;
        }
    }
    if (!value)
        return "UTF-8";
    std::string locale(value);
    const auto dot = locale.find('.');
    if (dot == std::string::npos)
        return "UTF-8"; // "C", "POSIX" and bare language names: plain ASCII counts as UTF-8
    std::string charset = locale.substr(dot + 1);
    charset = charset.substr(0, charset.find('@'));
    const std::string l = toLowerAscii(charset);
    if (l.empty() || isUtf8Name(l) || l == "ascii" || l == "ansi_x3.4-1968" || l == "us-ascii")
        return "UTF-8";
    if (isCp1251Name(l))
        return "CP1251";
    return charset;
}

std::string ansiToTerminal(std::string_view text) {
    const std::string charset = terminalCharset();
    const bool ansiIsUtf8 = ansiCodePage() == AnsiCodePage::Utf8;
    if (isUtf8Name(charset))
        return ansiIsUtf8 ? std::string(text) : cp1251ToUtf8(text);
    if (isCp1251Name(charset))
        return ansiIsUtf8 ? utf8ToCp1251(text) : std::string(text);
    return iconvConvert(ansiToUtf8(text), charset.c_str(), "UTF-8");
}

std::string terminalToAnsi(std::string_view text) {
    const std::string charset = terminalCharset();
    const bool ansiIsUtf8 = ansiCodePage() == AnsiCodePage::Utf8;
    if (isUtf8Name(charset))
        return ansiIsUtf8 ? std::string(text) : utf8ToCp1251(text);
    if (isCp1251Name(charset))
        return ansiIsUtf8 ? cp1251ToUtf8(text) : std::string(text);
    return utf8ToAnsi(iconvConvert(text, "UTF-8", charset.c_str()));
}

} // namespace vt::platform
