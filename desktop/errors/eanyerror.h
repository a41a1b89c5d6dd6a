// EAnyError: the program's own exception that carries a complete error description.
#pragma once

#include "platform/exception.h"

#include <string>

namespace vt::desktop {

class EAnyError : public Exception {
public:
    // An error with a title line, a message and details (all UTF-8, may hold escapes).
    EAnyError(std::string title, std::string message, std::string details);
    const char* className() const noexcept override { return "EAnyError"; }

    // The title line.
    const std::string& title() const noexcept { return m_title; }
    // The technical details, lines separated by line breaks.
    const std::string& details() const noexcept { return m_details; }

private:
    std::string m_title;
    std::string m_details;
};

} // namespace vt::desktop
