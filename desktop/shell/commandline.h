// Splitting a command line into program arguments by the shell's quoting rules.
#pragma once

#include <QString>
#include <QStringList>

namespace vt::desktop {

// Splits the line into arguments as a POSIX shell does, without expanding anything: blanks and
// tabs separate arguments; text in single quotes is taken as it stands; in double quotes a
// backslash escapes only '"', '\', '$' and '`'; outside quotes a backslash takes the next
// character literally. A quote that is never closed runs to the end of the line, so a program
// path typed with one quote still starts. Empty quotes ("") give an empty argument.
QStringList splitCommandLine(const QString& line);

} // namespace vt::desktop
