// Fingerprints of command texts, and the chain of them over a script's first commands.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vt::plugin {

// The fingerprint of a command text as executed: 16 lower-case hexadecimal digits (64-bit
// FNV-1a), the same on every platform.
std::string commandFingerprint(std::string_view commandText);

// The chained fingerprint of a script's commands 1..step: each command's own fingerprint is
// hashed on top of the chain before it, so one recorded step vouches for the text of every
// command up to it. Extended one command at a time, in text length plus a constant.
class FingerprintChain final {
public:
    // Extends the chain by the text of command step() + 1.
    void add(std::string_view commandText);

    // The number of commands the chain covers.
    int step() const { return m_step; }
    // The chain as recorded: 16 lower-case hexadecimal digits.
    std::string text() const;
    // The own fingerprint of the last command added (commandFingerprint of its text).
    std::string lastCommandText() const;

private:
    int m_step = 0;
    std::uint64_t m_chain = 0xcbf29ce484222325ULL; // FNV-1a offset basis
    std::uint64_t m_last = 0xcbf29ce484222325ULL;
};

} // namespace vt::plugin
