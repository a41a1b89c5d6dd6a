// dlopen/dlsym behind an owned handle; bare names are tried in the program folder first.
#include "platform/dynlib.h"

#include "platform/paths.h"

#include <dlfcn.h>
#include <unistd.h>
#include <utility>

namespace vt::platform {

DynLib::~DynLib() {
    unload();
}

DynLib::DynLib(DynLib&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)), m_error(std::move(other.m_error)),
      m_path(std::move(other.m_path)) {}

DynLib& DynLib::operator=(DynLib&& other) noexcept {
    if (this != &other) {
        unload();
        m_handle = std::exchange(other.m_handle, nullptr);
        m_error = std::move(other.m_error);
        m_path = std::move(other.m_path);
    }
    return *this;
}

bool DynLib::load(const std::string& fileName) {
    unload();
    m_error.clear();
    if (fileName.empty()) {
        m_error = "no library file name given";
        return false;
    }
    std::string tried = fileName;
    if (fileName.find('/') == std::string::npos) {
        const std::string local = programFolderFile(fileName);
        if (access(local.c_str(), F_OK) == 0)
            tried = local;
    }
    m_handle = dlopen(tried.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        const char* err = dlerror();
        m_error = err ? err : ("cannot load " + fileName);
        return false;
    }
    m_path = tried;
    return true;
}

void* DynLib::symbol(const char* name) {
    if (!m_handle) {
        m_error = "no library loaded";
        return nullptr;
    }
    dlerror();
    void* address = dlsym(m_handle, name);
    if (!address) {
        const char* err = dlerror();
        m_error = err ? err : (std::string("undefined symbol: ") + name);
    }
    return address;
}

void DynLib::unload() {
    if (m_handle) {
        dlclose(m_handle);
        m_handle = nullptr;
        m_path.clear();
    }
}

} // namespace vt::platform
