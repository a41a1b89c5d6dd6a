// A hash index from names, letter case ignored, to positions in a list kept elsewhere.
#include "script/nameindex.h"

namespace vt::script {
namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

} // namespace

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

uint64_t hashNoCase(std::string_view name) {
    uint64_t h = 14695981039346656037ull;
    for (char c : name)
        h = (h ^ static_cast<unsigned char>(lowerAscii(c))) * 1099511628211ull;
    // Fold the high bits in: the index uses the low bits of the hash.
    return h ^ (h >> 32);
}

} // namespace vt::script
