// Hides passwords in texts that are shown to the user or written to the log.
#pragma once

#include <QString>

namespace vt::desktop {

// The text with the value of every key named PASSWORD (any letter case, as in "PASSWORD=x",
// "password = 'a b'" or "Password: x") and the password of every "scheme://user:password@"
// address replaced by "***".
QString maskPasswords(const QString& text);

} // namespace vt::desktop
