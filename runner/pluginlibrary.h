// A loaded rSQL plug-in and its functions, each looked up by name when first needed.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "platform/dynlib.h"

namespace vt::runner {

// The plug-in's functions, in the order of their names in kPluginFunctionNames. The nine first
// ones make the interface every plug-in offers; GetLastVTErrorCause is an optional extension.
enum class PluginFunction {
    GetLastVTErrorMessage,
    GetLastVTError,
    MakeSQLCommand,
    piDone,
    piInit,
    dbConnect,
    CheckDataBaseParams,
    ExecrSQL,
    UpDateVersion,
    GetLastVTErrorCause,
};

inline constexpr std::array<const char*, 10> kPluginFunctionNames = {"GetLastVTErrorMessage",
                                                                     "GetLastVTError",
                                                                     "MakeSQLCommand",
                                                                     "piDone",
                                                                     "piInit",
                                                                     "dbConnect",
                                                                     "CheckDataBaseParams",
                                                                     "ExecrSQL",
                                                                     "UpDateVersion",
                                                                     "GetLastVTErrorCause"};

// The exported name of a function.
const char* pluginFunctionName(PluginFunction function);

// One plug-in library. Calls go to bound functions only: bind() first. Texts returned by the
// plug-in are copied at once; a null pointer reads as the empty text. Not thread-safe: the
// plug-in serves one caller thread at a time, so one object is used from one thread at a time.
class PluginLibrary final {
public:
    PluginLibrary() = default;
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // Loads the library by file name; false with loadError() set on failure.
    bool load(const std::string& fileName);
    const std::string& loadError() const { return m_lib.errorText(); }
    bool isLoaded() const { return m_lib.isLoaded(); }
    // Forgets every bound function and unloads the library.
    void unload();

    // Looks the function up unless it is bound already; false when the library lacks it.
    bool bind(PluginFunction function);
    bool isBound(PluginFunction function) const;

    std::string piInit(const std::string& scriptFile, const std::string& aliasConfigFile);
    int dbConnect(const std::string& alias, const std::string& user, const std::string& password);
    // Calls CheckDataBaseParams with *first preset by the caller; code and version receive copies
    // of the plug-in's outputs (empty when it left them empty or null).
    int checkDataBaseParams(int& first, int& last, std::string& code, std::string& version,
                            bool create);
    std::string makeSQLCommand(int n);
    int execrSQL(const std::string& command);
    int upDateVersion();
    int piDone();
    int getLastVTError();
    std::string getLastVTErrorMessage();
    // The plug-in's VtErrorCause of the last failure; nullopt when it does not offer the query.
    std::optional<int> getLastVTErrorCause();

private:
    template <typename Fn> Fn fn(PluginFunction function) const;

    platform::DynLib m_lib;
    std::array<void*, kPluginFunctionNames.size()> m_functions{};
};

} // namespace vt::runner
