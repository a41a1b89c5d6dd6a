// The desktop program's process-wide settings state, set up once in a fixed order.
#include "desktop/shell/appsettings.h"

#include "desktop/shell/registry.h"
#include "platform/paths.h"
#include "script/scramble.h"

#include <memory>

namespace vt::desktop {
namespace {

// "Software\VT Tools", header-scrambled.
constexpr char kScrambledRegRoot[] = "rnSS[qveRjm\x1e"
                                     "Tc_rm";
constexpr const char* kAppSubKey = "\\Vantrel Utilities";
constexpr const char* kWineKey = "Software\\Wine";
constexpr const char* kToolsIniName = "tools.ini";
constexpr const char* kSqlToolsIniName = "sqltools.ini";

struct AppSettingsState {
    std::vector<HModule> resourceModules;
    bool runningUnderWine = false;
    QString regRoot;
    QString appSubKey;
    std::unique_ptr<script::IniFile> toolsIni;
    std::unique_ptr<script::IniFile> sqlToolsIni;
};

std::unique_ptr<AppSettingsState>& stateSlot() {
    static std::unique_ptr<AppSettingsState> state;
    return state;
}

AppSettingsState& state() {
    initAppSettings();
    return *stateSlot();
}

} // namespace

void initAppSettings() {
    if (stateSlot())
        return;
    auto s = std::make_unique<AppSettingsState>();
    s->resourceModules.push_back(programModule());
    s->runningUnderWine = Registry(HKEY_CURRENT_USER).keyExists(QString::fromLatin1(kWineKey));
    s->regRoot = QString::fromLatin1(script::unscrambleHeader(kScrambledRegRoot));
    s->appSubKey = QString::fromLatin1(kAppSubKey);
    s->toolsIni = std::make_unique<script::IniFile>(platform::settingsFile(kToolsIniName));
    s->sqlToolsIni = std::make_unique<script::IniFile>(platform::settingsFile(kSqlToolsIniName));
    stateSlot() = std::move(s);
}

void doneAppSettings() {
    stateSlot().reset();
}

std::vector<HModule>& ResourceModules() {
    return state().resourceModules;
}
void forgetResourceModule(HModule module) {
    if (!stateSlot())
        return;
    auto& modules = stateSlot()->resourceModules;
    std::erase(modules, module);
}

bool RunningUnderWine() {
    return state().runningUnderWine;
}
const QString& RegRoot() {
    return state().regRoot;
}
const QString& AppSubKey() {
    return state().appSubKey;
}
script::IniFile& ToolsIni() {
    return *state().toolsIni;
}
script::IniFile& SqlToolsIni() {
    return *state().sqlToolsIni;
}

} // namespace vt::desktop
