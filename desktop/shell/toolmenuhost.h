// What the external-tools logic needs of the main window: the two menu entries of each tool.
#pragma once

#include <QString>
#include <QStringList>

namespace vt::desktop {

// The main window's tool entries: each tool has an entry in the Tools submenu (before its
// separator) and one in the drop-down of the tools button, found through the submenu entry's
// identifier ("NItem<n>"; the drop-down entry's is that followed by "_Popup").
class ToolMenuHost {
public:
    virtual ~ToolMenuHost() = default;
    // Creates both entries of a tool after the existing ones; returns the submenu entry's
    // identifier, "NItem" + number.
    virtual QString AddToolMenuEntry(const QString& name, int number) = 0;
    // True when an entry of the main window already carries the identifier.
    virtual bool isIdentifierUsed(const QString& identifier) const = 0;
    // The identifiers of the tool entries of the Tools submenu, in menu order.
    virtual QStringList toolEntryIdentifiers() const = 0;
    // Destroys the drop-down entry and the submenu entry of a tool.
    virtual void removeToolEntry(const QString& identifier) = 0;
    // Moves both entries of a tool to the given place among the tool entries.
    virtual void moveToolEntry(const QString& identifier, int index) = 0;
    // Shows or hides the separator between the tool entries and "&Настройка...".
    virtual void setToolDelimVisible(bool visible) = 0;
};

} // namespace vt::desktop
