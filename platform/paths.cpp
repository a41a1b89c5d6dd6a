// Program folder, module file names and the settings folder.
#include "platform/paths.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <limits.h>
#include <pwd.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace vt::platform {
namespace fs = std::filesystem;

std::string programFile() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.string();
}

std::string programFolder() {
    const std::string file = programFile();
    return file.empty() ? std::string(".") : fs::path(file).parent_path().string();
}

std::string moduleFileOf(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || !info.dli_fname)
        return {};
    std::error_code ec;
    const fs::path p = fs::canonical(info.dli_fname, ec);
    if (!ec)
        return p.string();
    return info.dli_fname;
}

std::string settingsFolder() {
    if (const char* dir = std::getenv("VT_CONFIG_DIR"); dir && *dir)
        return dir;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return std::string(xdg) + "/vantrel";
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        if (const passwd* pw = getpwuid(getuid()))
            home = pw->pw_dir;
    }
    return std::string(home ? home : ".") + "/.config/vantrel";
}

void ensureSettingsFolder() {
    const std::string dir = settingsFolder();
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec)
        throw std::system_error(ec, "cannot create the settings folder " + dir);
}

std::string settingsFile(const std::string& name) {
    return settingsFolder() + "/" + name;
}

std::string programFolderFile(const std::string& name) {
    return programFolder() + "/" + name;
}

bool sameFile(const std::string& first, const std::string& second) {
    struct stat a {};
    struct stat b {};
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace vt::platform
