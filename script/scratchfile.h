// ScratchFile: an unnamed temporary file that holds bytes to be placed into another file later.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vt::script {

class AtomicFileWriter;

// A file without a name in a folder (gone when the object is), written through a buffer and
// then copied to the end of an AtomicFileWriter. Failures throw IniError naming the folder and
// the system's reason.
class ScratchFile final {
public:
    // Creates the file in the folder ("" for the current one).
    explicit ScratchFile(const std::string& folder);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // Appends data (buffered).
    void write(std::string_view data);

    // Appends everything written to the end of out.
    void copyTo(AtomicFileWriter& out);

private:
    static constexpr std::size_t kBufferSize = 1 << 20;

    void flush();

    std::string m_folder;
    int m_fd = -1;
    std::string m_buffer;
    std::uint64_t m_size = 0;
};

} // namespace vt::script
