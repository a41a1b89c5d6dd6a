// The process's own terminal: standard output and input, ANSI colours, raw keys on a terminal.
#include "console/stdterminal.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <termios.h>
#include <unistd.h>

namespace vt::console {
namespace {

// The terminal settings to restore when a signal ends the process while they are changed.
int g_savedFd = -1;
termios g_savedMode{};
volatile std::sig_atomic_t g_modeChanged = 0;

extern "C" void restoreModeAndDie(int sig) {
    if (g_modeChanged)
        tcsetattr(g_savedFd, TCSANOW, &g_savedMode);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

const char* colourSequence(Colour colour) {
    switch (colour) {
    case Colour::BrightGreen:
        return "\033[92m";
    case Colour::BrightRed:
        return "\033[91m";
    case Colour::BrightWhite:
        return "\033[97m";
    case Colour::Default:
        break;
    }
    return "\033[39m";
}

} // namespace

// Changes the terminal's settings for its lifetime: echo off, and for keys non-canonical input.
class StdTerminal::ModeGuard {
public:
    ModeGuard(int fd, bool keys) : m_fd(fd) {
        if (tcgetattr(fd, &m_old) != 0)
            return;
        termios mode = m_old;
        mode.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        if (keys) {
            mode.c_lflag &= ~static_cast<tcflag_t>(ICANON);
            mode.c_cc[VMIN] = 1;
            mode.c_cc[VTIME] = 0;
        }
        g_savedFd = fd;
        g_savedMode = m_old;
        g_modeChanged = 1;
        m_oldInt = std::signal(SIGINT, restoreModeAndDie);
        m_oldTerm = std::signal(SIGTERM, restoreModeAndDie);
        m_oldHup = std::signal(SIGHUP, restoreModeAndDie);
        m_installed = true;
        m_active = tcsetattr(fd, TCSANOW, &mode) == 0;
    }
    ~ModeGuard() {
        if (m_active)
            tcsetattr(m_fd, TCSANOW, &m_old);
        if (!m_installed)
            return;
        g_modeChanged = 0;
        std::signal(SIGINT, m_oldInt);
        std::signal(SIGTERM, m_oldTerm);
        std::signal(SIGHUP, m_oldHup);
    }
    ModeGuard(const ModeGuard&) = delete;
    ModeGuard& operator=(const ModeGuard&) = delete;

private:
    int m_fd;
    termios m_old{};
    bool m_active = false;
    bool m_installed = false;
    void (*m_oldInt)(int) = SIG_DFL;
    void (*m_oldTerm)(int) = SIG_DFL;
    void (*m_oldHup)(int) = SIG_DFL;
};

StdTerminal::StdTerminal(int inputFd, int outputFd, bool colours)
    : m_in(inputFd), m_out(outputFd), m_colours(colours), m_inputIsTty(isatty(inputFd) == 1) {}

StdTerminal::~StdTerminal() {
    m_guard.reset();
    if (m_colourChanged)
        write(colourSequence(Colour::Default));
}

bool StdTerminal::coloursWanted(int outputFd) {
    const char* noColor = std::getenv("NO_COLOR");
    return isatty(outputFd) == 1 && (noColor == nullptr || *noColor == '\0');
}

void StdTerminal::write(std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(m_out, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return; // a closed output loses the text; the run itself goes on
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

void StdTerminal::setColour(Colour colour) {
    if (!m_colours)
        return;
    write(colourSequence(colour));
    m_colourChanged = colour != Colour::Default;
}

void StdTerminal::setInputMode(InputMode mode) {
    m_mode = mode;
    if (!m_inputIsTty)
        return;
    m_guard.reset();
    if (mode == InputMode::Keys) {
        tcflush(m_in, TCIFLUSH);
        m_buffer.clear();
    }
    if (mode != InputMode::Line)
        m_guard = std::make_unique<ModeGuard>(m_in, mode == InputMode::Keys);
}

bool StdTerminal::fill() {
    char chunk[4096];
    for (;;) {
        ssize_t n = ::read(m_in, chunk, sizeof chunk);
        if (n > 0) {
            m_buffer.append(chunk, static_cast<std::size_t>(n));
            return true;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return false;
    }
}

std::optional<std::string> StdTerminal::readLine() {
    std::size_t end;
    while ((end = m_buffer.find('\n')) == std::string::npos) {
        if (!fill()) {
            if (m_buffer.empty())
                return std::nullopt;
            std::string last = std::move(m_buffer);
            m_buffer.clear();
            if (!last.empty() && last.back() == '\r')
                last.pop_back();
            return last;
        }
    }
    std::string line = m_buffer.substr(0, end);
    m_buffer.erase(0, end + 1);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

std::optional<char> StdTerminal::readKey(std::string_view allowed) {
    if (!m_inputIsTty || m_mode != InputMode::Keys) {
        while (auto line = readLine()) {
            if (!line->empty() && allowed.find(line->front()) != std::string_view::npos)
                return line->front();
        }
        return std::nullopt;
    }
    for (;;) {
        char c;
        ssize_t n = ::read(m_in, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || c == 4) // end of input, or Ctrl-D typed at the terminal
            return std::nullopt;
        if (allowed.find(c) != std::string_view::npos)
            return c;
    }
}

} // namespace vt::console
