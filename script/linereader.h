// LineReader: the lines of a file, read in blocks so that memory does not grow with the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vt::script {

// Reads a file's lines one at a time through a buffer of fixed size. CR LF, LF and CR each end a
// line; a final line without a line end counts, an empty file has no lines. A line longer than
// the limit is handed on cut to its first maxLine bytes, and the rest of it is skipped.
class LineReader final {
public:
    // Opens the file. Throws IniError naming the file and the system's reason when it cannot be
    // opened.
    LineReader(const std::string& path, std::size_t maxLine);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Reads the next line (without its line end); the view stays valid until the next call.
    // False at the end of the file. Throws IniError when the file cannot be read.
    bool next(std::string_view& line);

    // True when the line last read was longer than the limit and has been cut.
    bool cut() const { return m_cut; }

    // How many bytes of the file have been taken in so far.
    std::uint64_t position() const { return m_consumed; }

    // The file's size when it was opened.
    std::uint64_t size() const { return m_size; }

    // Starts again at the beginning of the file.
    void rewind();

private:
    bool fill();
    std::size_t skipLineEnd(std::size_t at);

    std::string m_path;
    int m_fd = -1;
    std::size_t m_maxLine;
    std::vector<char> m_buffer;
    std::size_t m_begin = 0, m_end = 0; // unread bytes of the buffer
    bool m_eof = false;
    bool m_cut = false;
    bool m_skipping = false; // the rest of a cut line is still to be skipped
    std::uint64_t m_consumed = 0;
    std::uint64_t m_size = 0;
};

} // namespace vt::script
