// LineReader: the lines of a file, read in blocks.
#include "script/linereader.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "script/inifile.h"

namespace vt::script {
namespace {

constexpr std::size_t kBlock = 1 << 18;

[[noreturn]] void failRead(const std::string& path, int code) {
    throw IniError("Cannot read the file \"" + path + "\": " + std::strerror(code), code);
}

// The first CR or LF in [p, end), or end.
const char* findLineEnd(const char* p, const char* end) {
    const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
    const char* stop = lf ? static_cast<const char*>(lf) : end;
    const void* cr = std::memchr(p, '\r', static_cast<std::size_t>(stop - p));
    return cr ? static_cast<const char*>(cr) : stop;
}

} // namespace

LineReader::LineReader(const std::string& path, std::size_t maxLine)
    : m_path(path), m_maxLine(maxLine), m_buffer(maxLine + kBlock + 1) {
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        failRead(path, errno);
    struct stat st {};
    if (::fstat(m_fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int code = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(m_fd);
        failRead(path, code);
    }
    m_size = static_cast<std::uint64_t>(st.st_size);
#ifdef POSIX_FADV_SEQUENTIAL
    ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
}

LineReader::~LineReader() {
    if (m_fd >= 0)
        ::close(m_fd);
}

void LineReader::rewind() {
    if (::lseek(m_fd, 0, SEEK_SET) < 0)
        failRead(m_path, errno);
    m_begin = m_end = 0;
    m_eof = m_cut = m_skipping = false;
    m_consumed = 0;
}

// Moves the unread bytes to the front and reads one more block; false at the end of the file.
bool LineReader::fill() {
    if (m_eof)
        return false;
    if (m_begin > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_begin, m_end - m_begin);
        m_end -= m_begin;
        m_begin = 0;
    }
    for (;;) {
        const ssize_t n = ::read(m_fd, m_buffer.data() + m_end, m_buffer.size() - m_end);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            failRead(m_path, errno);
        }
        if (n == 0) {
            m_eof = true;
            return false;
        }
        m_end += static_cast<std::size_t>(n);
        return true;
    }
}

// Consumes the line end at position at (CR LF, LF or CR); returns the position after it.
std::size_t LineReader::skipLineEnd(std::size_t at) {
    std::size_t next = at + 1;
    if (m_buffer[at] == '\r' && next < m_end && m_buffer[next] == '\n')
        ++next;
    return next;
}

bool LineReader::next(std::string_view& line) {
    m_cut = false;
    for (;;) {
        const char* base = m_buffer.data();
        const char* p = base + m_begin;
        const char* end = base + m_end;
        const char* stop = findLineEnd(p, end);
        // A CR at the end of the bytes read may be followed by a LF still unread.
        const bool complete = stop < end && !(*stop == '\r' && stop + 1 == end && !m_eof);
        if (m_skipping) {
            if (!complete) {
                m_consumed += static_cast<std::size_t>(stop - p);
                m_begin = static_cast<std::size_t>(stop - base);
                if (stop == end)
                    m_begin = m_end;
                if (!fill()) {
                    if (m_begin == m_end) {
                        m_skipping = false;
                        return false;
                    }
                }
                continue;
            }
            const std::size_t after = skipLineEnd(static_cast<std::size_t>(stop - base));
            m_consumed += after - m_begin;
            m_begin = after;
            m_skipping = false;
            continue;
        }
        const std::size_t length = static_cast<std::size_t>(stop - p);
        if (length > m_maxLine) {
            line = std::string_view(p, m_maxLine);
            m_consumed += m_maxLine;
            m_begin += m_maxLine;
            m_cut = true;
            m_skipping = true;
            return true;
        }
        if (complete) {
            line = std::string_view(p, length);
            const std::size_t after = skipLineEnd(static_cast<std::size_t>(stop - base));
            m_consumed += after - m_begin;
            m_begin = after;
            return true;
        }
        if (!fill()) {
            if (m_begin == m_end)
                return false;
            // The last line, without a line end (a lone CR at the end ends it too).
            const std::size_t rest = m_end - m_begin;
            const bool cr = m_buffer[m_end - 1] == '\r';
            line = std::string_view(m_buffer.data() + m_begin, cr ? rest - 1 : rest);
            m_consumed += rest;
            m_begin = m_end;
            return true;
        }
    }
}

} // namespace vt::script
