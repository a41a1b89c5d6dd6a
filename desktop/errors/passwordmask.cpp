// Hides passwords in texts that are shown to the user or written to the log.
#include "desktop/errors/passwordmask.h"

#include "desktop/errors/errortexts.h"

#include <QRegularExpression>

namespace vt::desktop {

QString maskPasswords(const QString& text) {
    // A key named PASSWORD, "=" or ":", then a quoted value (quotes escaped by doubling or a
    // backslash) or a value up to the next blank or separator.
    static const QRegularExpression keyValue(
        QStringLiteral(
            R"((\bpassword\s*[=:]\s*)('(?:[^'\\]|\\.|'')*'?|"(?:[^"\\]|\\.|"")*"?|[^\s;,&]*))"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression address(
        QStringLiteral(R"((\b[a-z][a-z0-9+.-]*://[^\s:/@]*:)([^\s@/]*)(@))"),
        QRegularExpression::CaseInsensitiveOption);
    if (!text.contains(QLatin1String("password"), Qt::CaseInsensitive) &&
        !text.contains(QLatin1String("://")))
        return text;
    const QString mask = QString::fromUtf8(texts::kPasswordMask);
    QString result = text;
    result.replace(keyValue, QStringLiteral("\\1") + mask);
    result.replace(address, QStringLiteral("\\1") + mask + QStringLiteral("\\3"));
    return result;
}

} // namespace vt::desktop
