// Fingerprints of command texts, and the chain of them over a script's first commands.
#include "plugin/fingerprintchain.h"

namespace vt::plugin {
namespace {

constexpr std::uint64_t kOffsetBasis = 0xcbf29ce484222325ULL;
constexpr std::uint64_t kPrime = 0x100000001b3ULL;

std::uint64_t fnv1a(std::uint64_t hash, std::string_view bytes) {
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= kPrime;
    }
    return hash;
}

std::string hexDigits(std::uint64_t hash) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4)
        text[static_cast<std::size_t>(i)] = kDigits[hash & 0xF];
    return text;
}

} // namespace

std::string commandFingerprint(std::string_view commandText) {
    return hexDigits(fnv1a(kOffsetBasis, commandText));
}

void FingerprintChain::add(std::string_view commandText) {
    m_last = fnv1a(kOffsetBasis, commandText);
    // The command's fingerprint, a fixed 8 bytes (least significant first), continues the chain:
    // no two sequences of texts run together into the same bytes.
    char bytes[8];
    std::uint64_t value = m_last;
    for (char& b : bytes) {
        b = static_cast<char>(value & 0xFF);
        value >>= 8;
    }
    m_chain = fnv1a(m_chain, std::string_view(bytes, sizeof bytes));
    ++m_step;
}

std::string FingerprintChain::text() const {
    return hexDigits(m_chain);
}

std::string FingerprintChain::lastCommandText() const {
    return hexDigits(m_last);
}

} // namespace vt::plugin
