// EAnyError: the program's own exception that carries a complete error description.
#include "desktop/errors/eanyerror.h"

namespace vt::desktop {

EAnyError::EAnyError(std::string title, std::string message, std::string details)
    : Exception(std::move(message)), m_title(std::move(title)), m_details(std::move(details)) {}

} // namespace vt::desktop
