// The class table: which description routine serves an exception, by the exception's class name.
#include "desktop/errors/errorclasstable.h"

#include "desktop/errors/errordescriptions.h"
#include "platform/exception.h"

#include <cstdlib>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>

namespace vt::desktop {

void ErrorClassTable::RegisterErrorClass(const QString& className, TrErrorRoutine routine) {
    m_entries.push_back({className, routine});
}

void ErrorClassTable::ReplaceErrorClass(const QString& className, TrErrorRoutine routine) {
    for (TrEH& entry : m_entries) {
        if (entry.className.compare(className, Qt::CaseInsensitive) == 0) {
            entry = {className, routine};
            return;
        }
    }
    m_entries.push_back({className, routine});
}

TrErrorRoutine ErrorClassTable::find(const QString& className) const {
    for (const TrEH& entry : m_entries)
        if (entry.className.compare(className, Qt::CaseInsensitive) == 0)
            return entry.routine;
    return nullptr;
}

ErrorClassTable& errorClassTable() {
    static ErrorClassTable table = [] {
        ErrorClassTable t;
        t.RegisterErrorClass(QStringLiteral("EAnyError"), describeAnyError);
        t.RegisterErrorClass(QStringLiteral("EOSError"), describeOSError);
        t.RegisterErrorClass(QStringLiteral("EInOutError"), describeInOutError);
        t.RegisterErrorClass(QStringLiteral("EConvertError"), describeConvertError);
        t.RegisterErrorClass(QStringLiteral("ERangeError"), describeConvertError);
        t.RegisterErrorClass(QStringLiteral("EDBEngineError"), describeDBEngineError);
        t.RegisterErrorClass(QStringLiteral("EDatabaseError"), describeDatabaseError);
        t.RegisterErrorClass(QStringLiteral("EUpdateError"), describeUpdateError);
        t.ReplaceErrorClass(QStringLiteral("EOLEException"), describeUpdateError);
        return t;
    }();
    return table;
}

void RegisterErrorClass(const QString& className, TrErrorRoutine routine) {
    errorClassTable().RegisterErrorClass(className, routine);
}

void ReplaceErrorClass(const QString& className, TrErrorRoutine routine) {
    errorClassTable().ReplaceErrorClass(className, routine);
}

QString errorClassName(const std::exception& e) {
    if (const auto* own = dynamic_cast<const vt::Exception*>(&e))
        return QString::fromLatin1(own->className());
    const char* mangled = typeid(e).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    return QString::fromLatin1(status == 0 && demangled ? demangled.get() : mangled);
}

} // namespace vt::desktop
