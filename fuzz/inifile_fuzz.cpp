// Fuzz target: the INI reader on arbitrary bytes, and a write that must keep the rest readable.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "fuzz/fuzzfile.h"
#include "script/inifile.h"

using vt::script::IniFile;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = vt::fuzz::inputFile(data, size);
    IniFile ini(path);
    ini.setWatchDisk(false);
    const std::vector<std::string> sections = ini.sectionNames();
    for (const std::string& s : sections) {
        for (const auto& e : ini.entries(s)) {
            if (e.value.size() > IniFile::kMaxValue || e.rawValue.size() > IniFile::kMaxValue)
                std::abort();
            if (ini.readString(s, e.key) != e.value)
                std::abort();
            (void)ini.readInteger(s, e.key, 0);
        }
    }
    // A write into the first section (or a new one) must read back, and every other section must
    // keep its keys.
    ini.setAutoFlush(false);
    const std::string target = sections.empty() ? "Fuzz" : sections.front();
    try {
        ini.writeString(target, "FuzzKey", "value");
    } catch (const vt::EConvertError&) {
        return 0; // a section name that cannot be written (it holds ']')
    }
    ini.flush();
    IniFile again(path);
    if (again.readString(target, "FuzzKey") != "value")
        std::abort();
    for (const std::string& s : sections)
        if (s != target && again.keyNames(s) != ini.keyNames(s))
            std::abort();
    return 0;
}
