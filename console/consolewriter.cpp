// Text output of the console runner: code page conversion, colours, column tracking, markers.
#include "console/consolewriter.h"

#include <algorithm>
#include <cctype>

#include "platform/asciitext.h"
#include "platform/codepage.h"

namespace vt::console {
namespace {

bool isUtf8Charset(std::string_view charset) {
    std::string name = platform::toLowerAscii(charset);
    name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
    return name == "utf8";
}

} // namespace

ConsoleWriter::ConsoleWriter(Terminal& terminal)
    : m_terminal(terminal), m_utf8(isUtf8Charset(platform::terminalCharset())) {}

void ConsoleWriter::write(std::string_view ansiText) {
    if (ansiText.empty())
        return;
    writeRaw(platform::ansiToTerminal(ansiText));
}

void ConsoleWriter::writeRaw(std::string_view bytes) {
    if (bytes.empty())
        return;
    m_terminal.write(bytes);
    track(bytes);
}

void ConsoleWriter::line(std::string_view ansiText) {
    write(ansiText);
    writeRaw("\n");
}

void ConsoleWriter::writeColoured(Colour colour, std::string_view ansiText) {
    Colour previous = m_colour;
    m_terminal.setColour(colour);
    m_colour = colour;
    write(ansiText);
    m_terminal.setColour(previous);
    m_colour = previous;
}

void ConsoleWriter::marker(bool ok) {
    if (m_column > kMarkerColumn)
        writeRaw("\n");
    if (m_column < kMarkerColumn)
        writeRaw(std::string(static_cast<std::size_t>(kMarkerColumn - m_column), ' '));
    writeRaw(" [");
    writeColoured(ok ? Colour::BrightGreen : Colour::BrightRed, ok ? "  OK  " : " FAILED ");
    writeRaw("]\n");
}

void ConsoleWriter::track(std::string_view bytes) {
    for (char ch : bytes) {
        auto c = static_cast<unsigned char>(ch);
        if (c == '\n' || c == '\r')
            m_column = 0;
        else if (c == '\b')
            m_column = std::max(0, m_column - 1);
        else if (c == '\t')
            m_column = (m_column / 8 + 1) * 8;
        else if (c < 0x20 || c == 0x7F)
            continue;
        else if (!m_utf8 || (c & 0xC0) != 0x80)
            ++m_column;
    }
}

} // namespace vt::console
