// Small text routines of the desktop program: blank tests, ranges, escapes and numbers.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace vt::desktop {

// True when the text is empty after removing leading and trailing blanks and control characters.
bool IsBlank(const QString& text);
// The negation of IsBlank.
bool IsNotBlank(const QString& text);
// True when the text equals one of the list's texts exactly (letter case matters).
bool StrInArray(const QString& text, const QStringList& list);
// text1 when the condition holds, else text2.
QString IfThenStr(bool condition, const QString& text1, const QString& text2);
// value1 when the condition holds, else value2.
QVariant IfThenVar(bool condition, const QVariant& value1, const QVariant& value2);
// The text with count characters from the 1-based position start removed and the insertion put
// in at start; a start outside the text removes nothing and inserts at the nearer end.
QString ReplaceRange(const QString& text, int start, int count, const QString& insertion);
// The number of characters of the text that occur in the set.
int CountCharsInSet(const QString& text, const QString& set);
// The number written in the text with "." as the decimal point whatever the locale; throws
// vt::EConvertError when the text is no number.
double StrToFloatDot(const QString& text);
// Expands backslash escapes: \n, \r, \t, \\ and \<decimal code up to 255>; see the .cpp.
QString ExpandEscapes(const QString& text);

} // namespace vt::desktop
