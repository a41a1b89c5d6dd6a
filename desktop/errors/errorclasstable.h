// The class table: which description routine serves an exception, by the exception's class name.
#pragma once

#include <QString>
#include <exception>
#include <vector>

namespace vt::desktop {

class TrError;

// A description routine: fills the TrError from the exception.
using TrErrorRoutine = void (*)(const std::exception& e, TrError& error);

// One entry of the class table.
struct TrEH {
    QString className;
    TrErrorRoutine routine;
};

// An ordered list of class names and their description routines.
class ErrorClassTable final {
public:
    // Appends an entry; an earlier entry of the same name keeps precedence.
    void RegisterErrorClass(const QString& className, TrErrorRoutine routine);
    // Replaces name and routine of the first entry of that name (letter case ignored); appends
    // when there is none.
    void ReplaceErrorClass(const QString& className, TrErrorRoutine routine);
    // The routine of the first entry whose name equals className without regard to case.
    TrErrorRoutine find(const QString& className) const;
    // The entries in order.
    const std::vector<TrEH>& entries() const { return m_entries; }

private:
    std::vector<TrEH> m_entries;
};

// The process-wide table, filled on first use with the registrations of the error unit, in this
// order: EAnyError, EOSError, EInOutError, EConvertError, ERangeError, EDBEngineError,
// EDatabaseError, EUpdateError, EOLEException. The desktop program adds "EVTUtilsError" itself.
ErrorClassTable& errorClassTable();

// RegisterErrorClass on the process-wide table.
void RegisterErrorClass(const QString& className, TrErrorRoutine routine);
// ReplaceErrorClass on the process-wide table.
void ReplaceErrorClass(const QString& className, TrErrorRoutine routine);

// The exception's own class name: className() for the program's exceptions, the demangled type
// name ("std::bad_alloc") for others.
QString errorClassName(const std::exception& e);

} // namespace vt::desktop
