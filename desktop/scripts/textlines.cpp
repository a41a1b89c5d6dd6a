// Reading a text file's bytes and cutting them into lines.
#include "desktop/scripts/textlines.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "desktop/errors/evtutilserror.h"
#include "desktop/scripts/scripttexts.h"
#include "platform/exception.h"

namespace vt::desktop {

namespace {

[[noreturn]] void throwIo(const std::string& what, const std::string& path, int code) {
    throw EInOutError(what + " " + path + ": " + std::strerror(code), code);
}

// Closes a descriptor when it goes out of scope.
class FdGuard {
public:
    explicit FdGuard(int fd) : m_fd(fd) {}
    ~FdGuard() { close(); }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    int get() const { return m_fd; }
    int close() {
        int rc = 0;
        if (m_fd >= 0)
            rc = ::close(m_fd);
        m_fd = -1;
        return rc;
    }

private:
    int m_fd;
};

} // namespace

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    lines.reserve(text.size() / 32 + 1);
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        const char* q = p;
        while (q < end && *q != '\n' && *q != '\r')
            ++q;
        lines.emplace_back(p, static_cast<std::size_t>(q - p));
        if (q < end && *q == '\r' && q + 1 < end && q[1] == '\n')
            ++q;
        p = q + 1;
    }
    return lines;
}

std::string readFileBytes(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int code = errno;
        if (code == ENOENT || code == ENOTDIR)
            throw EVTUtilsError(texts::fileMissing(path));
        throwIo("Cannot read", path, code);
    }
    if (S_ISDIR(st.st_mode))
        throwIo("Cannot read", path, EISDIR);
    FdGuard fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        throwIo("Cannot read", path, errno);
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throwIo("Cannot read", path, errno);
        }
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

} // namespace vt::desktop
