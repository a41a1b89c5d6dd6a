// The external tools: their store tools.ini and the list that TFormTools edits.
#include "desktop/shell/toolseditor.h"

#include "script/inifile.h"

#include <filesystem>
#include <system_error>

namespace vt::desktop {
namespace {

constexpr const char* kProgramName = "ProgramName";
constexpr const char* kWorkDir = "WorkDir";
constexpr const char* kParams = "Params";

std::string bytes(const QString& text) {
    return text.toStdString();
}

QString text(const std::string& bytes) {
    return QString::fromStdString(bytes);
}

// The settings folder comes into being with its first file; when it cannot be made, the write
// that follows reports the failure.
void ensureFolderOf(const std::string& path) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
}

} // namespace

QStringList toolNames(script::IniFile& ini) {
    QStringList names;
    for (const std::string& name : ini.sectionNames())
        names << text(name);
    return names;
}

TToolParams readTool(script::IniFile& ini, const QString& name) {
    const std::string section = bytes(name);
    return {name, text(ini.readString(section, kProgramName)),
            text(ini.readString(section, kWorkDir)), text(ini.readString(section, kParams))};
}

void writeTool(script::IniFile& ini, const TToolParams& tool) {
    const std::string section = bytes(tool.name);
    ini.writeString(section, kProgramName, bytes(tool.ProgramName));
    ini.writeString(section, kWorkDir, bytes(tool.WorkDir));
    ini.writeString(section, kParams, bytes(tool.Params));
}

QString toolNameFromCaption(const QString& caption) {
    QString name;
    bool mnemonicRemoved = false;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] != u'&') {
            name += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == u'&') {
            name += u'&';
            ++i;
        } else if (mnemonicRemoved) {
            name += u'&';
        } else {
            mnemonicRemoved = true;
        }
    }
    return name;
}

QString toolCaption(const QString& name) {
    QString caption = name;
    return caption.replace(u'&', QStringLiteral("&&"));
}

QString quotedProgramPath(const QString& path) {
    if (path.contains(u' ') && !path.startsWith(u'"'))
        return u'"' + path + u'"';
    return path;
}

ToolsEditor::ToolsEditor(script::IniFile& ini, ToolMenuHost& host)
    : m_ini(ini), m_host(host), m_names(toolNames(ini)),
      m_identifiers(host.toolEntryIdentifiers()) {}

TToolParams ToolsEditor::tool(int index) const {
    return readTool(m_ini, m_names.at(index));
}

int ToolsEditor::indexOf(const QString& name) const {
    for (int i = 0; i < m_names.size(); ++i)
        if (m_names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int ToolsEditor::save(const TToolParams& tool) {
    // The file first: when it cannot be written, menus and list stay as they were.
    ensureFolderOf(m_ini.path());
    writeTool(m_ini, tool);
    int index = indexOf(tool.name);
    if (index >= 0)
        return index;
    int number = static_cast<int>(m_names.size());
    while (m_host.isIdentifierUsed(QStringLiteral("NItem%1").arg(number)))
        ++number;
    m_identifiers << m_host.AddToolMenuEntry(tool.name, number);
    m_names << tool.name;
    return static_cast<int>(m_names.size()) - 1;
}

void ToolsEditor::remove(int index) {
    if (index < 0 || index >= m_names.size())
        return;
    m_ini.eraseSection(bytes(m_names[index]));
    m_host.removeToolEntry(m_identifiers[index]);
    m_identifiers.removeAt(index);
    m_names.removeAt(index);
}

int ToolsEditor::move(int from, int to) {
    if (from < 0 || from >= m_names.size() || to < 0 || to >= m_names.size())
        return from;
    m_host.moveToolEntry(m_identifiers[from], to);
    m_identifiers.move(from, to);
    m_names.move(from, to);
    return to;
}

int ToolsEditor::moveUp(int index) {
    return move(index, index - 1);
}

int ToolsEditor::moveDown(int index) {
    return move(index, index + 1);
}

void ToolsEditor::rewrite() {
    std::vector<TToolParams> tools;
    for (const QString& name : m_names)
        tools.push_back(readTool(m_ini, name));
    ensureFolderOf(m_ini.path());
    m_ini.writeAtOnce([&] {
        for (const std::string& section : m_ini.sectionNames())
            m_ini.eraseSection(section);
        for (const TToolParams& tool : tools)
            writeTool(m_ini, tool);
    });
    m_host.setToolDelimVisible(!m_names.isEmpty());
}

} // namespace vt::desktop
