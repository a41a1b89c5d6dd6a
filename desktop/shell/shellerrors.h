// Exception classes raised by the desktop shell's utility routines.
#pragma once

#include "platform/exception.h"

namespace vt::desktop {

// A named resource was found in none of the resource modules.
VT_DECLARE_EXCEPTION(EResNotFound, Exception);
// A resource was found but holds no picture that can be read.
VT_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
// A registry key or value could not be written or removed.
VT_DECLARE_EXCEPTION(ERegistryException, Exception);

} // namespace vt::desktop
