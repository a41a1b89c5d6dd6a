// Temporary folders and whole-file reads and writes for the tests of script/.
#pragma once

#include "testkit/tempdir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace vt::script::testing {

using vt::testkit::TempDir;

// Writes bytes as the whole file.
inline void writeBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The whole file as bytes; empty for a missing file.
inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The names of the files in a folder, sorted.
inline std::string listFolder(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string list;
    for (const auto& n : names)
        list += n + ";";
    return list;
}

} // namespace vt::script::testing
