// The description routines of the class table, one per kind of exception.
#pragma once

#include "dbengine/core/engineerror.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace vt::desktop {

class TrError;

// Own error (EAnyError): its title, message and details, expanded; logged when it has details.
void describeAnyError(const std::exception& e, TrError& error);
// Operating-system error (EOSError): its message, details with the code and the system's text.
void describeOSError(const std::exception& e, TrError& error);
// Input/output error (EInOutError): the system's text for its code, details with the code.
void describeInOutError(const std::exception& e, TrError& error);
// Conversion or range error (EConvertError, ERangeError): a message asking to check the input;
// no details, never logged.
void describeConvertError(const std::exception& e, TrError& error);
// Database engine error (EDBEngineError): its entries, translated through the message file.
void describeDBEngineError(const std::exception& e, TrError& error);
// Data-access error (EDatabaseError): its message, translated through the message file.
void describeDatabaseError(const std::exception& e, TrError& error);
// Data update error (EUpdateError, EOleException): as a data-access error, with details when the
// message file translated it.
void describeUpdateError(const std::exception& e, TrError& error);
// Script workflow error (EVTUtilsError): its first line, the whole text as details; logged.
void describeVTUtilsError(const std::exception& e, TrError& error);
// Any other exception: an internal program error, logged.
void describeInternalError(const std::exception& e, TrError& error);

// The engine error description over a list of entries (describeDBEngineError uses it).
void describeEngineEntries(const std::vector<dbengine::EngineErrorEntry>& entries, TrError& error);

// The names of the databases connected in the default session, in session order: each its alias
// name, or its database name when it has no alias.
using OpenDatabasesProvider = std::function<QStringList()>;
// Installs the provider (an empty one restores the engine's default session) and returns the
// previous one.
OpenDatabasesProvider setOpenDatabasesProvider(OpenDatabasesProvider provider);

// The operating system's text for an error code (errno), empty for an unknown code.
QString systemErrorText(int code);

// The text split at line breaks (CR LF, CR or LF); a final line break adds no empty line.
QStringList textLines(const QString& text);

} // namespace vt::desktop
