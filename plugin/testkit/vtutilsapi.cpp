// The plug-in loaded with dlopen and bound by name, as the runners use it (tests and helpers).
#include "plugin/testkit/vtutilsapi.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace vt::plugin::testkit {
namespace {

template <typename Fn> void bind(void* handle, const char* name, Fn& fn) {
    void* address = ::dlsym(handle, name);
    if (!address)
        throw std::runtime_error(std::string("missing function ") + name);
    fn = reinterpret_cast<Fn>(address);
}

} // namespace

VtUtilsApi::VtUtilsApi(const std::string& file) {
    m_handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        const char* error = ::dlerror();
        throw std::runtime_error(error ? error : "dlopen failed");
    }
    try {
        bind(m_handle, "piInit", piInit);
        bind(m_handle, "dbConnect", dbConnect);
        bind(m_handle, "CheckDataBaseParams", CheckDataBaseParams);
        bind(m_handle, "MakeSQLCommand", MakeSQLCommand);
        bind(m_handle, "ExecrSQL", ExecrSQL);
        bind(m_handle, "UpDateVersion", UpDateVersion);
        bind(m_handle, "piDone", piDone);
        bind(m_handle, "GetLastVTError", GetLastVTError);
        bind(m_handle, "GetLastVTErrorMessage", GetLastVTErrorMessage);
        bind(m_handle, "GetLastVTErrorCause", GetLastVTErrorCause);
    } catch (...) {
        ::dlclose(m_handle);
        throw;
    }
}

VtUtilsApi::~VtUtilsApi() {
    if (m_handle)
        ::dlclose(m_handle);
}

std::string VtUtilsApi::defaultFile() {
    if (const char* bin = std::getenv("VT_PROGRAM_BIN"); bin && *bin)
        return std::string(bin) + "/vtutils.so";
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    return (self.parent_path().parent_path() / "bin" / "vtutils.so").string();
}

std::string VtUtilsApi::lastMessage() const {
    const char* text = GetLastVTErrorMessage();
    return text ? text : "";
}

} // namespace vt::plugin::testkit
