// A loaded rSQL plug-in and its functions, each looked up by name when first needed.
#include "runner/pluginlibrary.h"

#include <stdexcept>

#include "plugin/vtutils.h"

namespace vt::runner {
namespace {

std::string copyText(const char* text) {
    return text ? std::string(text) : std::string();
}

} // namespace

const char* pluginFunctionName(PluginFunction function) {
    return kPluginFunctionNames[static_cast<std::size_t>(function)];
}

PluginLibrary::~PluginLibrary() {
    unload();
}

bool PluginLibrary::load(const std::string& fileName) {
    unload();
    return m_lib.load(fileName);
}

void PluginLibrary::unload() {
    m_functions.fill(nullptr);
    m_lib.unload();
}

bool PluginLibrary::bind(PluginFunction function) {
    auto index = static_cast<std::size_t>(function);
    if (m_functions[index] == nullptr && m_lib.isLoaded())
        m_functions[index] = m_lib.symbol(pluginFunctionName(function));
    return m_functions[index] != nullptr;
}

bool PluginLibrary::isBound(PluginFunction function) const {
    return m_functions[static_cast<std::size_t>(function)] != nullptr;
}

template <typename Fn> Fn PluginLibrary::fn(PluginFunction function) const {
    void* address = m_functions[static_cast<std::size_t>(function)];
    if (address == nullptr)
        throw std::logic_error(std::string("plug-in function not bound: ") +
                               pluginFunctionName(function));
    return reinterpret_cast<Fn>(address);
}

std::string PluginLibrary::piInit(const std::string& scriptFile,
                                  const std::string& aliasConfigFile) {
    return copyText(
        fn<VtPiInitFn>(PluginFunction::piInit)(scriptFile.c_str(), aliasConfigFile.c_str()));
}

int PluginLibrary::dbConnect(const std::string& alias, const std::string& user,
                             const std::string& password) {
    return fn<VtDbConnectFn>(PluginFunction::dbConnect)(alias.c_str(), user.c_str(),
                                                        password.c_str());
}

int PluginLibrary::checkDataBaseParams(int& first, int& last, std::string& code,
                                       std::string& version, bool create) {
    static const char kEmpty[] = "";
    const char* codeOut = kEmpty;
    const char* versionOut = kEmpty;
    int result = fn<VtCheckDataBaseParamsFn>(PluginFunction::CheckDataBaseParams)(
        &first, &last, &codeOut, &versionOut, create ? 1 : 0);
    code = copyText(codeOut);
    version = copyText(versionOut);
    return result;
}

std::string PluginLibrary::makeSQLCommand(int n) {
    return copyText(fn<VtMakeSQLCommandFn>(PluginFunction::MakeSQLCommand)(n));
}

int PluginLibrary::execrSQL(const std::string& command) {
    return fn<VtExecrSQLFn>(PluginFunction::ExecrSQL)(command.c_str());
}

int PluginLibrary::upDateVersion() {
    return fn<VtUpDateVersionFn>(PluginFunction::UpDateVersion)();
}

int PluginLibrary::piDone() {
    return fn<VtPiDoneFn>(PluginFunction::piDone)();
}

int PluginLibrary::getLastVTError() {
    return fn<VtGetLastVTErrorFn>(PluginFunction::GetLastVTError)();
}

std::string PluginLibrary::getLastVTErrorMessage() {
    return copyText(fn<VtGetLastVTErrorMessageFn>(PluginFunction::GetLastVTErrorMessage)());
}

std::optional<int> PluginLibrary::getLastVTErrorCause() {
    if (!bind(PluginFunction::GetLastVTErrorCause))
        return std::nullopt;
    return fn<VtGetLastVTErrorCauseFn>(PluginFunction::GetLastVTErrorCause)();
}

} // namespace vt::runner
