// Text conversion between the system's ANSI code page, UTF-8 and the terminal's charset.
#pragma once

#include <string>
#include <string_view>

namespace vt::platform {

// The single-byte code page in which the system's files and plug-in strings are written.
enum class AnsiCodePage { Cp1251, Utf8 };

// The ANSI code page of this process: UTF-8 when VT_CODEPAGE is "utf-8" (any case), else CP1251.
// Read once, on first use.
AnsiCodePage ansiCodePage();

// Overrides the ANSI code page for the rest of the process (tests use it).
void setAnsiCodePage(AnsiCodePage page);

// The Unicode character of a CP1251 byte.
char16_t cp1251ToUnicode(unsigned char byte);

// The CP1251 byte of a character, or '?' when CP1251 cannot hold it.
char unicodeToCp1251(char32_t character);

// CP1251 bytes to UTF-8.
std::string cp1251ToUtf8(std::string_view text);

// UTF-8 to CP1251; characters CP1251 cannot hold, and malformed sequences, become '?'.
std::string utf8ToCp1251(std::string_view text);

// ANSI code page to UTF-8 (identity when the ANSI code page is UTF-8).
std::string ansiToUtf8(std::string_view text);

// UTF-8 to the ANSI code page (identity when the ANSI code page is UTF-8).
std::string utf8ToAnsi(std::string_view text);

// The terminal's charset name, from the locale (LC_ALL, LC_CTYPE, LANG); a plain ASCII or
// unset locale counts as "UTF-8".
std::string terminalCharset();

// ANSI code page text to the terminal's charset, and typed terminal text back to ANSI.
std::string ansiToTerminal(std::string_view text);
std::string terminalToAnsi(std::string_view text);

// A UTF-8 source literal in the ANSI code page: the one place where the system's own texts cross
// to bytes.
inline std::string ansi(std::string_view utf8Literal) {
    return utf8ToAnsi(utf8Literal);
}

} // namespace vt::platform
