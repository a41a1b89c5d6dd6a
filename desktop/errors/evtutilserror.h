// EVTUtilsError: the exception of the script workflows, carrying the plug-in's error text.
#pragma once

#include "platform/exception.h"

namespace vt::desktop {

// A failure reported by the plug-in during a script workflow; the message may span lines.
VT_DECLARE_EXCEPTION(EVTUtilsError, Exception);

} // namespace vt::desktop
