// Loading a shared library by file name and looking its functions up by name.
#pragma once

#include <string>

namespace vt::platform {

// An owned handle of a loaded library; unloads it when destroyed.
class DynLib final {
public:
    DynLib() = default;
    ~DynLib();
    DynLib(DynLib&& other) noexcept;
    DynLib& operator=(DynLib&& other) noexcept;
    DynLib(const DynLib&) = delete;
    DynLib& operator=(const DynLib&) = delete;

    // Loads the library. A bare file name (no '/') is tried in the program folder first, then
    // through the system's library search. Returns false and keeps the system's error text
    // (dlerror) on failure.
    bool load(const std::string& fileName);

    // The address of an exported function or object, or nullptr (with errorText() set).
    void* symbol(const char* name);

    // Unloads the library when one is loaded.
    void unload();

    bool isLoaded() const { return m_handle != nullptr; }
    const std::string& errorText() const { return m_error; }
    // Full path the library was loaded from.
    const std::string& path() const { return m_path; }
    void* handle() const { return m_handle; }

private:
    void* m_handle = nullptr;
    std::string m_error;
    std::string m_path;
};

} // namespace vt::platform
