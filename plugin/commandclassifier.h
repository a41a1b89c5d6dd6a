// Telling which SQL commands of a script may run inside a transaction the plug-in opens.
#pragma once

#include <string_view>

#include "script/sqltokenizer.h"

namespace vt::plugin {

// The net effect of a command on a transaction that the script itself controls.
enum class TransactionEffect {
    None,   // leaves the script's own transaction state as it was
    Opens,  // leaves a transaction of the script open (BEGIN, START TRANSACTION, ...)
    Closes, // ends the script's transaction (COMMIT, END, ROLLBACK, ABORT)
};

// What the plug-in needs to know of a command before running it.
struct CommandTraits {
    // False for commands that carry their own transaction control and for commands the server
    // refuses (or silently ignores) inside a transaction: these run on their own.
    bool fitsInTransaction = true;
    TransactionEffect effect = TransactionEffect::None;

    bool operator==(const CommandTraits&) const = default;
};

// Classifies a command text, which may hold several statements separated by ';'. Quoted
// strings, quoted names, comments, dollar-quoted bodies and trigger or BEGIN ATOMIC bodies are
// skipped. A command fits in a transaction when every statement does; its effect is that of the
// last statement with an effect.
CommandTraits classifyCommand(std::string_view sql, script::SqlDialect dialect);

} // namespace vt::plugin
