// Version information of a file, read from its .vtversion ELF section without loading it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vt::platform {

// The names of the version strings, in the order the desktop program lists them.
inline constexpr std::array<const char*, 12> kVersionInfoKeys = {
    "CompanyName",    "FileDescription", "FileVersion",      "InternalName",
    "LegalCopyright", "LegalTrademarks", "OriginalFilename", "ProductName",
    "ProductVersion", "Comments",        "E-Mail",           "HomePage"};

struct VersionInfo {
    // The four-part file version: major, minor, release, build.
    std::array<uint16_t, 4> fileVersion{};
    // name=value strings in block order (empty values included).
    std::vector<std::pair<std::string, std::string>> strings;

    // The value of a version string, or nullopt when the block does not hold it.
    std::optional<std::string> value(const std::string& name) const;
    // "major.minor.release.build".
    std::string fileVersionText() const;
};

// Reads the first version block of the file's .vtversion section. nullopt for a missing or
// unreadable file, a file that is not ELF, and an ELF file without the section; never throws.
std::optional<VersionInfo> readVersionInfo(const std::string& fileName);

} // namespace vt::platform
