// The two byte scramblings of rSQL scripts: reversed text, even positions first, bytes mapped.
#include "script/scramble.h"

#include <cstdint>

namespace vt::script {
namespace {

// Scrambles into out: reverse the text, take the bytes at even positions then those at odd
// positions, mapping each byte on the way.
template <typename EvenMap, typename OddMap>
void interleave(std::string_view plain, char* out, EvenMap even, OddMap odd) {
    const std::size_t n = plain.size();
    const std::size_t h = n - n / 2;
    // R[j] = plain[n - 1 - j]; S[i] = even(R[2i]), S[h + i] = odd(R[2i + 1]).
    for (std::size_t i = 0; i < h; ++i)
        out[i] = static_cast<char>(even(static_cast<uint8_t>(plain[n - 1 - 2 * i])));
    for (std::size_t i = 0; i < n / 2; ++i)
        out[h + i] = static_cast<char>(odd(static_cast<uint8_t>(plain[n - 2 - 2 * i])));
}

// The inverse of interleave(): the byte maps given here must undo those used to scramble.
template <typename EvenMap, typename OddMap>
void deinterleave(std::string_view scrambled, char* out, EvenMap even, OddMap odd) {
    const std::size_t n = scrambled.size();
    const std::size_t h = n - n / 2;
    for (std::size_t i = 0; i < h; ++i)
        out[n - 1 - 2 * i] = static_cast<char>(even(static_cast<uint8_t>(scrambled[i])));
    for (std::size_t i = 0; i < n / 2; ++i)
        out[n - 2 - 2 * i] = static_cast<char>(odd(static_cast<uint8_t>(scrambled[h + i])));
}

template <int Delta> struct Add {
    uint8_t operator()(uint8_t b) const { return static_cast<uint8_t>(b + Delta); }
};
// 31 - b modulo 256; its own inverse.
struct Mirror {
    uint8_t operator()(uint8_t b) const { return static_cast<uint8_t>(31 - b); }
};

} // namespace

std::string scrambleHeader(std::string_view plain) {
    std::string out(plain.size(), '\0');
    interleave(plain, out.data(), Add<-1>(), Add<-2>());
    return out;
}

std::string unscrambleHeader(std::string_view scrambled) {
    std::string out(scrambled.size(), '\0');
    deinterleave(scrambled, out.data(), Add<1>(), Add<2>());
    return out;
}

std::string scrambleCommand(std::string_view plain) {
    std::string out;
    appendScrambledCommand(plain, out);
    return out;
}

void scrambleCommandInto(std::string_view plain, char* out) {
    interleave(plain, out, Mirror(), Mirror());
}

void appendScrambledCommand(std::string_view plain, std::string& out) {
    const std::size_t at = out.size();
    out.resize(at + plain.size());
    interleave(plain, out.data() + at, Mirror(), Mirror());
}

std::string unscrambleCommand(std::string_view scrambled) {
    std::string out;
    appendUnscrambledCommand(scrambled, out);
    return out;
}

void appendUnscrambledCommand(std::string_view scrambled, std::string& out) {
    const std::size_t at = out.size();
    out.resize(at + scrambled.size());
    deinterleave(scrambled, out.data() + at, Mirror(), Mirror());
}

} // namespace vt::script
