// Replacing a file's contents in one step: a temporary file beside it, then a rename.
#include "script/atomicfile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "script/inifile.h"

namespace vt::script {
namespace {

[[noreturn]] void fail(const std::string& path, int code) {
    throw IniError("Cannot write the file \"" + path + "\": " + std::strerror(code), code);
}

bool isLink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// The file a write to path replaces when links are followed: the target of a symbolic link, else
// path itself.
std::string resolveTarget(const std::string& path) {
    if (!isLink(path))
        return path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr)
        return resolved;
    return path; // a dangling link: replace the link itself
}

} // namespace

AtomicFileWriter::AtomicFileWriter(const std::string& path, Links links) : m_path(path) {
    const bool link = isLink(path);
    m_target = links == Links::Follow ? resolveTarget(path) : path;
    const std::size_t slash = m_target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : m_target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? m_target : m_target.substr(slash + 1);

    // The attributes to keep are those of the file replaced; a link replaced keeps nothing of
    // its target.
    struct stat old {};
    const bool exists = !(link && links == Links::Replace) && ::stat(m_target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        fail(path, EISDIR);

    static unsigned counter = 0;
    for (int attempt = 0; m_fd < 0; ++attempt) {
        m_temp = folder + "." + base + ".tmp" + std::to_string(::getpid()) + "_" +
                 std::to_string(++counter);
        m_fd = ::open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (m_fd < 0 && (errno != EEXIST || attempt > 100))
            fail(path, errno);
    }
    if (exists) {
        // Keep the old file's permissions; owner and group where we may set them.
        ::fchmod(m_fd, old.st_mode & 07777);
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid())
            (void)!::fchown(m_fd, old.st_uid, old.st_gid);
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    if (m_fd >= 0) {
        ::close(m_fd);
        ::unlink(m_temp.c_str());
    }
}

void AtomicFileWriter::abandon(int code) {
    ::close(m_fd);
    m_fd = -1;
    ::unlink(m_temp.c_str());
    fail(m_path, code);
}

void AtomicFileWriter::writeAll(std::string_view data) {
    if (const int code = writeFully(m_fd, data))
        abandon(code);
    m_written += data.size();
}

void AtomicFileWriter::flushBuffer(std::string_view more) {
    if (m_fd < 0)
        fail(m_path, EBADF);
    if (!m_buffer.empty())
        writeAll(m_buffer);
    m_buffer.clear();
    if (more.size() >= kDirectSize)
        writeAll(more);
    else
        m_buffer.append(more);
}

void AtomicFileWriter::appendFile(int fd, std::uint64_t size) {
    flushBuffer();
    loff_t from = 0;
    std::uint64_t left = size;
    while (left > 0) {
        const ssize_t n = ::copy_file_range(fd, &from, m_fd, nullptr, left, 0);
        if (n > 0) {
            left -= static_cast<std::uint64_t>(n);
            m_written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
            abandon(errno);
        // The kernel cannot copy between these files: copy through a buffer.
        std::string block(1 << 20, '\0');
        while (left > 0) {
            const ssize_t got =
                ::pread(fd, block.data(), std::min<std::uint64_t>(left, block.size()), from);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                abandon(got < 0 ? errno : EIO);
            writeAll(std::string_view(block.data(), static_cast<std::size_t>(got)));
            from += got;
            left -= static_cast<std::uint64_t>(got);
        }
        return;
    }
}

void AtomicFileWriter::commit() {
    flushBuffer();
    if (::fsync(m_fd) != 0 && errno != EINVAL && errno != EROFS)
        abandon(errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        const int code = errno;
        ::unlink(m_temp.c_str());
        fail(m_path, code);
    }
    if (::rename(m_temp.c_str(), m_target.c_str()) != 0) {
        const int code = errno;
        ::unlink(m_temp.c_str());
        fail(m_path, code);
    }
}

int writeFully(int fd, std::string_view data) {
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return 0;
}

void writeFileAtomically(const std::string& path, std::string_view data) {
    AtomicFileWriter writer(path);
    writer.write(data);
    writer.commit();
}

} // namespace vt::script
