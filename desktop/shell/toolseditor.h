// The external tools: their store tools.ini and the list that TFormTools edits.
//
// tools.ini holds one section per tool, named like the tool, with the keys ProgramName, WorkDir
// and Params; the order of the sections is the order of the tools in the menus. The editor keeps
// the list of tools, the Tools-submenu entries and drop-down entries of the main window (through
// ToolMenuHost) and the file in step.
#pragma once

#include "desktop/shell/toolmenuhost.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace vt::script {
class IniFile;
}

namespace vt::desktop {

// One tool: its name and the three keys of its section.
struct TToolParams {
    QString name;
    QString ProgramName;
    QString WorkDir;
    QString Params;
};

// The tool names of the file, in file order.
QStringList toolNames(script::IniFile& ini);
// The tool of the given name (missing keys read as empty).
TToolParams readTool(script::IniFile& ini, const QString& name);
// Writes the three keys of the tool into its section (all three, empty values as empty entries).
void writeTool(script::IniFile& ini, const TToolParams& tool);
// The tool name a menu entry stands for: its caption with the first "&" that marks a mnemonic
// removed and each "&&" (a literal "&" in a menu caption) read as "&".
QString toolNameFromCaption(const QString& caption);
// The caption of a tool's menu entries: the name with each "&" doubled, so the menu shows it as
// it stands and toolNameFromCaption gives it back.
QString toolCaption(const QString& name);

// A program path chosen in the browse dialog as tools.ini keeps it: in double quotes when it holds
// a blank and does not start with a quote already.
QString quotedProgramPath(const QString& path);

class ToolsEditor final {
public:
    // Reads the tool names of the file; list entry i belongs to the i-th tool entry of the host.
    ToolsEditor(script::IniFile& ini, ToolMenuHost& host);

    // The tool names in list order.
    const QStringList& names() const { return m_names; }
    // The tool at a list index, read from the file.
    TToolParams tool(int index) const;
    // Stores the tool: a name not in the list yet (letter case ignored) becomes a new tool at
    // the end with its menu entries; an existing one gets the new keys. Returns its list index.
    int save(const TToolParams& tool);
    // Removes the tool at the index: its section, both menu entries and its list entry.
    void remove(int index);
    // Moves the tool at the index one place up or down (with both menu entries); returns the
    // index it lands at, which is the same when it cannot move.
    int moveUp(int index);
    int moveDown(int index);
    // Rewrites tools.ini with the tools in list order (other sections, keys and comments of the
    // sections are dropped) in one atomic write, and shows the separator exactly when tools are
    // left. A failed write leaves the file as it was and throws script::IniError.
    void rewrite();

private:
    int indexOf(const QString& name) const;
    int move(int from, int to);

    script::IniFile& m_ini;
    ToolMenuHost& m_host;
    QStringList m_names;
    QStringList m_identifiers;
};

} // namespace vt::desktop
