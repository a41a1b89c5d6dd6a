// INI files in the system's one dialect: read once into memory, watched for changes on disk,
// written atomically. The dialect itself is parsed and edited by IniDocument.
#include "script/inifile.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/asciitext.h"
#include "script/atomicfile.h"
#include "script/inidocument.h"

namespace vt::script {
namespace {

using Section = IniDocument::Section;
using Entry = IniDocument::Entry;

} // namespace

bool parseIniInteger(std::string_view s, long& out) {
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    } else if (!s.empty() && s[0] == '$') {
        base = 16;
        s.remove_prefix(1);
    }
    if (s.empty())
        return false;
    uint64_t value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (ec != std::errc() || end != s.data() + s.size())
        return false;
    int64_t result;
    if (base == 16) {
        if (value > 0xFFFFFFFFull)
            return false;
        result = static_cast<int32_t>(static_cast<uint32_t>(value));
    } else {
        if (value > (negative ? 2147483648ull : 2147483647ull))
            return false;
        result = static_cast<int64_t>(value);
    }
    out = static_cast<long>(negative ? -result : result);
    return true;
}

namespace {

// What tells that the file changed on disk.
struct FileStamp {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};
    timespec ctime{};

    bool operator==(const FileStamp& o) const {
        return exists == o.exists && dev == o.dev && ino == o.ino && size == o.size &&
               mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec &&
               ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec;
    }
};

FileStamp stampOf(const struct stat& st) {
    FileStamp s;
    s.exists = true;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.mtime = st.st_mtim;
    s.ctime = st.st_ctim;
    return s;
}

bool isMissing(int code) {
    return code == ENOENT || code == ENOTDIR;
}

[[noreturn]] void readFailure(const std::string& path, int code) {
    throw IniError("Cannot read the file \"" + path + "\": " + std::strerror(code), code);
}

bool holdsLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != s.npos;
}

} // namespace

struct IniFile::Impl {
    std::string path;
    IniDocument doc;
    FileStamp stamp;
    bool loaded = false;
    bool dirty = false;
    bool autoFlush = true;
    bool watch = true;

    // Brings the cached contents up to date with the disk before an operation.
    void sync() {
        if (!loaded) {
            load();
            return;
        }
        if (!watch || dirty)
            return; // pending changes of this object win until they are flushed
        if (!(currentStamp() == stamp))
            load();
    }

    FileStamp currentStamp() const {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0)
            return {};
        return stampOf(st);
    }

    void load() {
        clear();
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            if (!isMissing(errno))
                readFailure(path, errno);
            loaded = true;
            return;
        }
        struct stat st {};
        if (::fstat(fd, &st) != 0) {
            const int code = errno;
            ::close(fd);
            readFailure(path, code);
        }
        // One read for the whole file; the loop only serves a file that grows meanwhile.
        std::string data;
        data.resize(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 0) + 1);
        std::size_t used = 0;
        for (;;) {
            if (used == data.size())
                data.resize(data.size() * 2 + 4096);
            const ssize_t n = ::read(fd, data.data() + used, data.size() - used);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                const int code = errno;
                ::close(fd);
                readFailure(path, code);
            }
            if (n == 0)
                break;
            used += static_cast<std::size_t>(n);
        }
        ::close(fd);
        data.resize(used);
        doc.parse(std::move(data));
        stamp = stampOf(st);
        loaded = true;
    }

    void clear() {
        doc.clear();
        stamp = {};
        loaded = false;
        dirty = false;
    }

    // The entry of section/key, or nullptr; section receives the section.
    const Entry* find(std::string_view section, std::string_view key, const Section*& s) {
        sync();
        s = doc.findSection(section);
        return s != nullptr ? doc.findEntry(*s, key) : nullptr;
    }

    void changed() {
        dirty = true;
        if (!autoFlush)
            return;
        try {
            flush();
        } catch (...) {
            // The change did not reach the disk: forget it, so the object shows the file again.
            clear();
            throw;
        }
    }

    void flush() {
        if (!dirty)
            return;
        writeFileAtomically(path, doc.text());
        dirty = false;
        stamp = currentStamp();
    }
};

IniFile::IniFile(std::string path) : m(std::make_unique<Impl>()) {
    m->path = std::move(path);
    m->load();
}

IniFile::~IniFile() = default;

const std::string& IniFile::path() const {
    return m->path;
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) {
    const Section* s = nullptr;
    const Entry* e = m->find(section, key, s);
    if (e == nullptr)
        return std::string(defaultValue);
    return std::string(platform::trim(m->doc.rawValue(*s, *e)).substr(0, kMaxValue));
}

std::string IniFile::readRawString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) {
    const Section* s = nullptr;
    const Entry* e = m->find(section, key, s);
    if (e == nullptr)
        return std::string(defaultValue);
    return std::string(m->doc.rawValue(*s, *e).substr(0, kMaxValue));
}

bool IniFile::hasKey(std::string_view section, std::string_view key) {
    const Section* s = nullptr;
    return m->find(section, key, s) != nullptr;
}

bool IniFile::hasSection(std::string_view section) {
    m->sync();
    return m->doc.findSection(section) != nullptr;
}

long IniFile::readInteger(std::string_view section, std::string_view key, long defaultValue) {
    const Section* s = nullptr;
    const Entry* e = m->find(section, key, s);
    long value = 0;
    if (e == nullptr ||
        !parseIniInteger(platform::trim(m->doc.rawValue(*s, *e)).substr(0, kMaxValue), value))
        return defaultValue;
    return value;
}

std::vector<std::string> IniFile::sectionNames() {
    m->sync();
    return m->doc.sectionNames();
}

std::vector<std::string> IniFile::untrimmedSectionNames() {
    m->sync();
    return m->doc.untrimmedSectionNames();
}

std::vector<std::string> IniFile::keyNames(std::string_view section) {
    std::vector<std::string> names;
    forEachEntry(section, [&](std::string_view key, std::string_view, std::string_view) {
        names.emplace_back(key);
    });
    return names;
}

std::vector<IniEntry> IniFile::entries(std::string_view section) {
    std::vector<IniEntry> list;
    forEachEntry(section, [&](std::string_view key, std::string_view value, std::string_view raw) {
        list.push_back(IniEntry{std::string(key), std::string(value), std::string(raw)});
    });
    return list;
}

void IniFile::forEachEntry(
    std::string_view section,
    const std::function<void(std::string_view, std::string_view, std::string_view)>& visit) {
    m->sync();
    const Section* s = m->doc.findSection(section);
    if (s == nullptr)
        return;
    const std::span<const Entry> list = m->doc.entries(*s);
    const std::size_t n = m->doc.listedCount(*s);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string_view raw = m->doc.rawValue(*s, list[i]);
        visit(list[i].key, platform::trim(raw).substr(0, kMaxValue), raw.substr(0, kMaxValue));
    }
}

std::string IniFile::firstCutEntry(std::string_view section, bool raw) {
    m->sync();
    const Section* s = m->doc.findSection(section);
    if (s == nullptr)
        return {};
    const std::span<const Entry> list = m->doc.entries(*s);
    const std::size_t listed = m->doc.listedCount(*s);
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string_view value = m->doc.rawValue(*s, list[i]);
        if (i >= listed || (raw ? value : platform::trim(value)).size() > kMaxValue)
            return std::string(list[i].key);
    }
    return {};
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    section = platform::trim(section);
    key = platform::trim(key);
    const char* reason = nullptr;
    if (holdsLineBreak(section) || section.find(']') != section.npos)
        reason = "a section name cannot hold ']' or a line break";
    else if (key.empty())
        reason = "a key name cannot be blank";
    else if (holdsLineBreak(key) || key.find('=') != key.npos || key.front() == ';' ||
             key.front() == '[')
        reason = "a key name cannot hold '=' or a line break, nor start with ';' or '['";
    else if (holdsLineBreak(value))
        reason = "a value cannot hold a line break";
    else if (value.size() > kMaxValue)
        reason = "a value cannot be longer than 2047 characters";
    if (reason)
        throw vt::EConvertError("Cannot write [" + std::string(section) + "] " + std::string(key) +
                                " to the file \"" + m->path + "\": " + reason);
    m->sync();
    m->doc.setValue(section, key, value);
    m->changed();
}

void IniFile::writeInteger(std::string_view section, std::string_view key, long value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::deleteKey(std::string_view section, std::string_view key) {
    m->sync();
    if (m->doc.removeKey(section, key))
        m->changed();
}

void IniFile::eraseSection(std::string_view section) {
    m->sync();
    if (m->doc.removeSection(section))
        m->changed();
}

void IniFile::setAutoFlush(bool on) {
    m->autoFlush = on;
    if (on)
        m->flush();
}

void IniFile::flush() {
    m->flush();
}

void IniFile::writeAtOnce(const std::function<void()>& changes) {
    m->autoFlush = false;
    try {
        changes();
        m->flush();
    } catch (...) {
        reload();
        m->autoFlush = true;
        throw;
    }
    m->autoFlush = true;
}

void IniFile::reload() {
    m->clear();
}

void IniFile::setWatchDisk(bool on) {
    m->watch = on;
}

} // namespace vt::script
