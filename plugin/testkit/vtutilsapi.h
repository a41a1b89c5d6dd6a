// The plug-in loaded with dlopen and bound by name, as the runners use it (tests and helpers).
#pragma once

#include <string>

namespace vt::plugin::testkit {

// One loaded copy of a plug-in library with its nine functions and GetLastVTErrorCause. Unloads it
// when destroyed.
class VtUtilsApi final {
public:
    // Loads the library and looks its functions up; throws std::runtime_error with the
    // loader's text on failure.
    explicit VtUtilsApi(const std::string& file = defaultFile());
    ~VtUtilsApi();
    VtUtilsApi(const VtUtilsApi&) = delete;
    VtUtilsApi& operator=(const VtUtilsApi&) = delete;

    // vtutils.so in the program folder named by $VT_PROGRAM_BIN (else beside the running test).
    static std::string defaultFile();

    const char* (*piInit)(const char*, const char*) = nullptr;
    int (*dbConnect)(const char*, const char*, const char*) = nullptr;
    int (*CheckDataBaseParams)(int*, int*, const char**, const char**, unsigned char) = nullptr;
    const char* (*MakeSQLCommand)(int) = nullptr;
    int (*ExecrSQL)(const char*) = nullptr;
    int (*UpDateVersion)() = nullptr;
    int (*piDone)() = nullptr;
    int (*GetLastVTError)() = nullptr;
    const char* (*GetLastVTErrorMessage)() = nullptr;
    int (*GetLastVTErrorCause)() = nullptr;

    // GetLastVTErrorMessage as a string.
    std::string lastMessage() const;

private:
    void* m_handle = nullptr;
};

} // namespace vt::plugin::testkit
