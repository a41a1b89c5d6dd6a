// The file through which a fuzz target hands its input to the readers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace vt::fuzz {

// Writes the input as the whole of one file of this process (in memory when /dev/shm exists)
// and returns its name.
inline const std::string& inputFile(const uint8_t* data, size_t size) {
    static const std::string path = [] {
        const char* folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(folder) + "/vtfuzz." + std::to_string(::getpid()) + ".ini";
    }();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size)
        std::abort();
    std::fclose(f);
    return path;
}

} // namespace vt::fuzz
