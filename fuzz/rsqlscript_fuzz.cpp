// Fuzz target: the rSQL reader (header, format version, commands) and both scramblings.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzzfile.h"
#include "script/rsqlscript.h"
#include "script/scramble.h"

using namespace vt::script;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (unscrambleHeader(scrambleHeader(bytes)) != bytes ||
        unscrambleCommand(scrambleCommand(bytes)) != bytes ||
        scrambleCommand(unscrambleCommand(bytes)) != bytes)
        std::abort();

    RsqlScript script(vt::fuzz::inputFile(data, size));
    const RsqlHeader& h = script.header();
    try {
        (void)script.formatVersionNumber();
    } catch (const FormatVersionError& e) {
        if (e.text() != h.formatVersion)
            std::abort();
    }
    (void)script.comments();
    const long last = h.commands < 0 ? 0 : (h.commands > 64 ? 64 : h.commands);
    for (long n = 0; n <= last + 2; ++n) {
        const std::string text = script.commandText(n);
        if (!text.empty() && text.substr(text.size() - 2) != kLineEnd)
            std::abort();
        (void)isReconnectCommand(text);
    }
    return 0;
}
