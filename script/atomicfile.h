// Replacing a file's contents in one step: a temporary file beside it, then a rename.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vt::script {

// Writes the new contents of a file into a temporary file in the same folder and, on commit(),
// makes it reach the disk and renames it over the file. Until then the file is left as it was;
// a writer destroyed without commit() removes its temporary file. Failures throw IniError naming
// the file and the system's reason; the temporary file is removed then.
class AtomicFileWriter final {
public:
    // What happens when the path is a symbolic link.
    enum class Links {
        Follow, // the link's target is replaced (settings files kept elsewhere through a link)
        Replace // the link itself is replaced by the new file; its target is never written
    };

    // Creates the temporary file. An existing file keeps its permission bits (with Follow, or
    // when the path is no link).
    explicit AtomicFileWriter(const std::string& path, Links links = Links::Follow);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Appends data to the new contents (buffered).
    void write(std::string_view data) {
        if (m_buffer.size() + data.size() > kBufferSize || data.size() >= kDirectSize)
            flushBuffer(data);
        else
            m_buffer.append(data);
    }

    // Appends the first size bytes of the open file fd (copied by the kernel where it can).
    void appendFile(int fd, std::uint64_t size);

    // Bytes written so far.
    std::size_t size() const { return m_written + m_buffer.size(); }

    // Makes the new contents reach the disk and puts them in place of the file.
    void commit();

private:
    static constexpr std::size_t kBufferSize = 1 << 20;
    // Blocks this large go to the file at once instead of through the buffer.
    static constexpr std::size_t kDirectSize = 1 << 16;

    void flushBuffer(std::string_view more = {});
    void writeAll(std::string_view data);
    [[noreturn]] void abandon(int code);

    std::string m_path;   // as given, for messages
    std::string m_target; // the file that is replaced
    std::string m_temp;
    int m_fd = -1;
    std::string m_buffer;
    std::size_t m_written = 0;
};

// Writes all of data to the open file fd, going on after interruptions; returns 0, or the errno
// of the failure.
int writeFully(int fd, std::string_view data);

// Writes data as the whole new contents of path (an AtomicFileWriter that follows links).
void writeFileAtomically(const std::string& path, std::string_view data);

} // namespace vt::script
