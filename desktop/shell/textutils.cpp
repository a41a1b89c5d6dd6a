// Small text routines of the desktop program: blank tests, ranges, escapes and numbers.
#include "desktop/shell/textutils.h"

#include "desktop/shell/shelltexts.h"
#include "platform/codepage.h"
#include "platform/exception.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace vt::desktop {
namespace {

// Blanks and control characters, the characters that trimming removes.
bool isTrimmed(QChar c) {
    return c.unicode() <= 0x20;
}

// The character with the given code (0..255) of the ANSI code page.
QChar charOfCode(int code) {
    if (code < 0x80 || platform::ansiCodePage() == platform::AnsiCodePage::Utf8)
        return QChar(code);
    const std::string utf8 = platform::ansiToUtf8(std::string(1, static_cast<char>(code)));
    const QString decoded = QString::fromStdString(utf8);
    return decoded.size() == 1 ? decoded.at(0) : QChar(code);
}

} // namespace

bool IsBlank(const QString& text) {
    for (QChar c : text)
        if (!isTrimmed(c))
            return false;
    return true;
}

bool IsNotBlank(const QString& text) {
    return !IsBlank(text);
}

bool StrInArray(const QString& text, const QStringList& list) {
    return list.contains(text, Qt::CaseSensitive);
}

QString IfThenStr(bool condition, const QString& text1, const QString& text2) {
    return condition ? text1 : text2;
}

QVariant IfThenVar(bool condition, const QVariant& value1, const QVariant& value2) {
    return condition ? value1 : value2;
}

QString ReplaceRange(const QString& text, int start, int count, const QString& insertion) {
    QString result = text;
    if (start >= 1 && start <= result.size() && count > 0)
        result.remove(start - 1, std::min<qsizetype>(count, result.size() - start + 1));
    const qsizetype at = std::clamp<qsizetype>(start, 1, result.size() + 1) - 1;
    result.insert(at, insertion);
    return result;
}

int CountCharsInSet(const QString& text, const QString& set) {
    int count = 0;
    for (QChar c : text)
        if (set.contains(c))
            ++count;
    return count;
}

double StrToFloatDot(const QString& text) {
    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    QString localised = text;
    localised.replace(QLatin1Char('.'), locale.decimalPoint());
    bool ok = false;
    const double value = locale.toDouble(localised.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        throw EConvertError(QString::fromUtf8(texts::kInvalidFloat).arg(text).toStdString());
    return value;
}

QString ExpandEscapes(const QString& text) {
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\\')) {
            out += c;
            ++i;
            continue;
        }
        ++i; // the backslash itself is not copied
        if (i >= n)
            break;
        const QChar e = text.at(i);
        if (e >= QLatin1Char('0') && e <= QLatin1Char('9')) {
            // Digits are taken while the number stays at most 255; the digit that would make it
            // larger is left to be copied as ordinary text.
            int code = 0;
            while (i < n && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9')) {
                const int next = code * 10 + (text.at(i).unicode() - '0');
                if (next > 255)
                    break;
                code = next;
                ++i;
            }
            out += charOfCode(code);
            continue;
        }
        switch (e.unicode()) {
        case 'n':
            out += QChar(10);
            break;
        case 'r':
            out += QChar(13);
            break;
        case 't':
            out += QChar(9);
            break;
        default: // a backslash, or any other character, copied as it is
            out += e;
            break;
        }
        ++i;
    }
    return out;
}

} // namespace vt::desktop
