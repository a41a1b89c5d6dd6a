// AliasTable: reading aliases.ini and resolving database names.
#include "dbengine/core/aliases.h"

#include "dbengine/core/engineerror.h"
#include "platform/paths.h"
#include "script/inifile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <strings.h>

namespace vt::dbengine {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

constexpr std::string_view kDirectPrefix = "DBName=";

} // namespace

std::string AliasTable::defaultPath() {
    if (const char* env = std::getenv("VT_ALIASES"); env && *env)
        return env;
    return platform::settingsFile("aliases.ini");
}

AliasTable AliasTable::load() {
    return loadFile(defaultPath());
}

AliasTable AliasTable::loadFile(const std::string& path) {
    namespace fs = std::filesystem;
    AliasTable table;
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        AliasDefinition def;
        def.name = "DEFAULT";
        def.driverName = "STANDARD";
        def.params.setValue("PATH", platform::settingsFile("default.db"));
        def.builtIn = true;
        table.m_aliases.push_back(std::move(def));
        return table;
    }
    table.m_folder = fs::path(path).parent_path().string();
    try {
        script::IniFile ini(path);
        ini.setWatchDisk(false);
        for (const auto& section : ini.sectionNames()) {
            if (section.empty())
                continue;
            AliasDefinition def;
            def.name = section;
            def.driverName = "STANDARD";
            for (const auto& entry : ini.entries(section)) {
                if (sameName(entry.key, "DRIVER")) {
                    if (!entry.value.empty())
                        def.driverName = upper(entry.value);
                } else {
                    def.params.setValue(entry.key, entry.value);
                }
            }
            table.m_aliases.push_back(std::move(def));
        }
    } catch (const script::IniError& e) {
        throw EDBEngineError::engine(status::kAliasFileError, e.what());
    }
    return table;
}

const AliasDefinition* AliasTable::find(std::string_view name) const {
    for (const auto& def : m_aliases)
        if (sameName(def.name, name))
            return &def;
    return nullptr;
}

std::optional<std::string> AliasTable::directPath(std::string_view name) {
    if (name.size() < kDirectPrefix.size() ||
        !sameName(name.substr(0, kDirectPrefix.size()), kDirectPrefix))
        return std::nullopt;
    return std::string(name.substr(kDirectPrefix.size()));
}

AliasDefinition AliasTable::resolve(std::string_view name) const {
    if (auto path = directPath(name)) {
        if (path->empty())
            throw EDBEngineError::engine(status::kInvalidParameter, "DBName= names no file");
        AliasDefinition def;
        def.name = std::string(name);
        def.driverName = "STANDARD";
        def.params.setValue("PATH", *path);
        return def;
    }
    const AliasDefinition* def = find(name);
    if (!def)
        throw EDBEngineError::engine(status::kUnknownAlias, std::string(name));
    AliasDefinition copy = *def;
    if (copy.driverName == "STANDARD" && !m_folder.empty()) {
        std::string path = copy.params.value("PATH");
        if (!path.empty() && path.front() != '/')
            copy.params.setValue("PATH", (std::filesystem::path(m_folder) / path).string());
    }
    return copy;
}

} // namespace vt::dbengine
