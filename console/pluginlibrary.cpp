// A loaded rSQL plug-in and its nine functions, each looked up by name when first needed.
#include "console/pluginlibrary.h"

#include <stdexcept>

namespace vt::console {
namespace {

using PiInitFn = const char* (*)(const char*, const char*);
using DbConnectFn = int (*)(const char*, const char*, const char*);
using CheckFn = int (*)(int*, int*, const char**, const char**, unsigned char);
using MakeFn = const char* (*)(int);
using ExecFn = int (*)(const char*);
using VoidIntFn = int (*)();
using TextFn = const char* (*)();

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
        fn<PiInitFn>(PluginFunction::piInit)(scriptFile.c_str(), aliasConfigFile.c_str()));
}

int PluginLibrary::dbConnect(const std::string& alias, const std::string& user,
                             const std::string& password) {
    return fn<DbConnectFn>(PluginFunction::dbConnect)(alias.c_str(), user.c_str(),
                                                      password.c_str());
}

int PluginLibrary::checkDataBaseParams(int& first, int& last, std::string& code,
                                       std::string& version, bool create) {
    static const char kEmpty[] = "";
    const char* codeOut = kEmpty;
    const char* versionOut = kEmpty;
    int result = fn<CheckFn>(PluginFunction::CheckDataBaseParams)(&first, &last, &codeOut,
                                                                  &versionOut, create ? 1 : 0);
    code = copyText(codeOut);
    version = copyText(versionOut);
    return result;
}

std::string PluginLibrary::makeSQLCommand(int n) {
    return copyText(fn<MakeFn>(PluginFunction::MakeSQLCommand)(n));
}

int PluginLibrary::execrSQL(const std::string& command) {
    return fn<ExecFn>(PluginFunction::ExecrSQL)(command.c_str());
}

int PluginLibrary::upDateVersion() {
    return fn<VoidIntFn>(PluginFunction::UpDateVersion)();
}

int PluginLibrary::piDone() {
    return fn<VoidIntFn>(PluginFunction::piDone)();
}

int PluginLibrary::getLastVTError() {
    return fn<VoidIntFn>(PluginFunction::GetLastVTError)();
}

std::string PluginLibrary::getLastVTErrorMessage() {
    return copyText(fn<TextFn>(PluginFunction::GetLastVTErrorMessage)());
}

} // namespace vt::console
