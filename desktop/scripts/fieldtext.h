// Texts of the script windows' fields as the files and converters take them.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace vt::desktop {

// The text of a field in the ANSI code page.
std::string toAnsiText(const QString& text);

// Text in the ANSI code page as a field shows it.
QString fromAnsiText(std::string_view text);

// A file name as the file system takes it.
std::string filePath(const QString& path);

// The file name with its extension (from the last point of its last part on) replaced by ext,
// which starts with its point; a name without extension gets ext appended.
QString changeFileExt(const QString& fileName, const QString& ext);

// True when a file (or a symbolic link, even a dangling one) stands at the path.
bool fileStandsAt(const QString& path);

// True when both names lead to one existing file (through links, other spellings or hard links).
bool sameFile(const QString& first, const QString& second);

} // namespace vt::desktop
