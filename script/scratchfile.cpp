// ScratchFile: an unnamed temporary file that holds bytes to be placed into another file later.
#include "script/scratchfile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "script/atomicfile.h"
#include "script/inifile.h"

namespace vt::script {
namespace {

[[noreturn]] void fail(const std::string& folder, int code) {
    throw IniError("Cannot write a temporary file in \"" + (folder.empty() ? "." : folder) +
                       "\": " + std::strerror(code),
                   code);
}

} // namespace

ScratchFile::ScratchFile(const std::string& folder) : m_folder(folder) {
    const std::string dir = folder.empty() ? "." : folder;
    m_fd = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        // Without unnamed files: a named one, unlinked at once.
        std::string name = dir + "/.vtscratchXXXXXX";
        m_fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (m_fd < 0)
            fail(folder, errno);
        ::unlink(name.c_str());
    }
}

ScratchFile::~ScratchFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

void ScratchFile::write(std::string_view data) {
    const bool large = data.size() >= kBufferSize / 4;
    if (large || m_buffer.size() + data.size() > kBufferSize)
        flush();
    if (large) {
        // A large block goes to the file at once (after what is buffered), not through the
        // buffer.
        if (const int code = writeFully(m_fd, data))
            fail(m_folder, code);
        m_size += data.size();
        return;
    }
    m_buffer.append(data);
}

void ScratchFile::flush() {
    if (const int code = writeFully(m_fd, m_buffer))
        fail(m_folder, code);
    m_size += m_buffer.size();
    m_buffer.clear();
}

void ScratchFile::copyTo(AtomicFileWriter& out) {
    flush();
    out.appendFile(m_fd, m_size);
}

} // namespace vt::script
