// Script kinds (SQL dialects) kept as the sections of sqltools.ini.
#include "desktop/scripts/scriptkinds.h"

#include "desktop/scripts/sqltext.h"
#include "script/inifile.h"
#include "script/nameindex.h"

namespace vt::desktop {

namespace {

constexpr std::string_view kUseDefault = "UseDefault";
constexpr std::string_view kDelimeter = "Delimeter";
constexpr std::string_view kCommand = "Command";
constexpr std::string_view kIgnoreCommand = "Ignore Command";
constexpr std::string_view kUserName = "UserName";
constexpr std::string_view kDefaultPath = "Default Path";
constexpr std::string_view kCommentBegin = "CommentBegin";
constexpr std::string_view kCommentEnd = "CommentEnd";
constexpr std::string_view kDBCode = "DBCode";
constexpr std::string_view kDialect = "Dialect";

} // namespace

ScriptKinds::ScriptKinds(script::IniFile& ini) : m_ini(ini) {}

std::vector<std::string> ScriptKinds::names() const {
    return m_ini.sectionNames();
}

std::optional<ScriptKind> ScriptKinds::find(std::string_view name) const {
    for (const std::string& section : m_ini.sectionNames()) {
        if (script::equalNoCase(section, name))
            return load(section);
    }
    return std::nullopt;
}

ScriptKind ScriptKinds::load(std::string_view name) const {
    ScriptKind kind;
    kind.name = std::string(name);
    kind.useDefault = m_ini.readInteger(name, kUseDefault, 0) == 1;
    kind.delimiter = m_ini.readString(name, kDelimeter);
    kind.command = m_ini.readString(name, kCommand);
    kind.ignoreCommand = m_ini.readString(name, kIgnoreCommand);
    kind.userName = m_ini.readString(name, kUserName);
    kind.defaultPath = m_ini.readString(name, kDefaultPath);
    kind.commentBegin = m_ini.readString(name, kCommentBegin);
    kind.commentEnd = m_ini.readString(name, kCommentEnd);
    kind.dbCode = m_ini.readString(name, kDBCode);
    kind.dialect = m_ini.readString(name, kDialect);
    return kind;
}

void ScriptKinds::save(const ScriptKind& kind) {
    // One write for the whole kind, so that a failure leaves the file as it was.
    m_ini.writeAtOnce([&] {
        if (kind.useDefault) {
            for (const std::string& section : m_ini.sectionNames())
                m_ini.writeInteger(section, kUseDefault, 0);
        }
        m_ini.writeInteger(kind.name, kUseDefault, kind.useDefault ? 1 : 0);
        m_ini.writeString(kind.name, kDelimeter, kind.delimiter);
        m_ini.writeString(kind.name, kCommand, kind.command);
        m_ini.writeString(kind.name, kIgnoreCommand, kind.ignoreCommand);
        m_ini.writeString(kind.name, kUserName, kind.userName);
        m_ini.writeString(kind.name, kDefaultPath, kind.defaultPath);
        m_ini.writeString(kind.name, kCommentBegin, kind.commentBegin);
        m_ini.writeString(kind.name, kCommentEnd, kind.commentEnd);
        m_ini.writeString(kind.name, kDBCode, kind.dbCode);
        if (kind.dialect.empty())
            m_ini.deleteKey(kind.name, kDialect);
        else
            m_ini.writeString(kind.name, kDialect, kind.dialect);
    });
}

void ScriptKinds::remove(std::string_view name) {
    m_ini.eraseSection(name);
}

std::optional<std::string> ScriptKinds::defaultKindName() const {
    for (const std::string& section : m_ini.sectionNames()) {
        if (m_ini.readInteger(section, kUseDefault, 0) == 1)
            return section;
    }
    return std::nullopt;
}

bool ScriptKinds::canSave(std::string_view name, std::string_view delimiter,
                          std::string_view commentBegin) {
    return isNotBlank(name) && isNotBlank(delimiter) && isNotBlank(commentBegin);
}

} // namespace vt::desktop
