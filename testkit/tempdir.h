// TempDir: a fresh folder for one test, removed with everything in it at the end.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vt::testkit {

// A fresh folder "vt.XXXXXX" under base (default: the system's temporary folder), removed with
// everything in it when the object goes. Header-only, so that any test can use it.
class TempDir final {
public:
    explicit TempDir(const std::string& base = {}) {
        const std::filesystem::path root =
            base.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(base);
        std::string pattern = (root / "vt.XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary folder under " + root.string());
        m_path = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    // path() + "/" + name.
    std::string file(std::string_view name) const { return m_path + "/" + std::string(name); }

private:
    std::string m_path;
};

} // namespace vt::testkit
