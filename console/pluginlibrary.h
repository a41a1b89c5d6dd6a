// A loaded rSQL plug-in and its nine functions, each looked up by name when first needed.
#pragma once

#include <array>
#include <string>

#include "platform/dynlib.h"

namespace vt::console {

// The plug-in's functions, in the order of their names in kPluginFunctionNames.
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
};

inline constexpr std::array<const char*, 9> kPluginFunctionNames = {
    "GetLastVTErrorMessage", "GetLastVTError", "MakeSQLCommand", "piDone", "piInit", "dbConnect",
    "CheckDataBaseParams",   "ExecrSQL",       "UpDateVersion"};

// The exported name of a function.
const char* pluginFunctionName(PluginFunction function);

// One plug-in library. Calls go to bound functions only: bind() first. Texts returned by the
// plug-in are copied at once; a null pointer reads as the empty text.
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

private:
    template <typename Fn> Fn fn(PluginFunction function) const;

    platform::DynLib m_lib;
    std::array<void*, 9> m_functions{};
};

} // namespace vt::console
