// Version information of files and the comparison of four-part version texts.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace vt::desktop {

// Fills the list with name=value lines for the version strings of the file (VersionInfoKeys
// order, empty values left out); an empty file name means the program's own file. Without a list
// nothing happens; a file without version information leaves the list empty.
void ReadVersionInfo(QStringList* list, const QString& fileName);

// The file's four-part version "major.minor.release.build", or empty when the file has no
// version information; an empty file name means the program's own file.
QString GetFileVersion(const QString& fileName);

// The value of name in a list of name=value lines (names compared without regard to case), or
// empty when the list holds no such line.
QString ListValue(const QStringList& list, const QString& name);

// Parses up to four "."-separated integers into high = f1 * 65536 + f2, low = f3 * 65536 + f4;
// false (high and low 0) for more than four parts or a part that is not an integer.
bool ParseVersion(const QString& text, uint32_t& high, uint32_t& low);

// -1, 0 or 1 as version a is lower than, equal to or higher than version b; throws vt::Exception
// "Ошибка формата версии." when either text is no version.
int CompareVersions(const QString& a, const QString& b);

} // namespace vt::desktop
