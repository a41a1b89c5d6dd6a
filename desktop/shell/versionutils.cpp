// Version information of files and the comparison of four-part version texts.
#include "desktop/shell/versionutils.h"

#include "desktop/shell/shelltexts.h"
#include "platform/exception.h"
#include "platform/paths.h"
#include "platform/versioninfo.h"

#include <QFile>
#include <limits>
#include <optional>

namespace vt::desktop {
namespace {

std::optional<platform::VersionInfo> versionInfoOf(const QString& fileName) {
    const std::string path =
        fileName.isEmpty() ? platform::programFile() : QFile::encodeName(fileName).toStdString();
    return platform::readVersionInfo(path);
}

int digitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    int v = -1;
    if (u >= '0' && u <= '9')
        v = u - '0';
    else if (u >= 'a' && u <= 'f')
        v = u - 'a' + 10;
    else if (u >= 'A' && u <= 'F')
        v = u - 'A' + 10;
    return v < base ? v : -1;
}

// A signed 32-bit integer as the platform's integer conversion reads it: leading blanks, an
// optional sign, decimal digits or hexadecimal ones after "$" or "0x"; nothing after them.
std::optional<int32_t> parseInt32(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < n && text.at(i) == QLatin1Char('$')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text.at(i) == QLatin1Char('0') &&
               (text.at(i + 1) == QLatin1Char('x') || text.at(i + 1) == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        return std::nullopt;
    int64_t value = 0;
    for (; i < n; ++i) {
        const int d = digitValue(text.at(i), base);
        if (d < 0)
            return std::nullopt;
        value = value * base + d;
        if (value > int64_t(std::numeric_limits<int32_t>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(value);
}

} // namespace

void ReadVersionInfo(QStringList* list, const QString& fileName) {
    if (!list)
        return;
    list->clear();
    const auto info = versionInfoOf(fileName);
    if (!info)
        return;
    for (const char* key : platform::kVersionInfoKeys) {
        const auto value = info->value(key);
        // An empty value would remove the name from the list, so it is not added at all.
        if (value && !value->empty())
            list->append(QString::fromUtf8(key) + QLatin1Char('=') +
                         QString::fromStdString(*value));
    }
}

QString GetFileVersion(const QString& fileName) {
    const auto info = versionInfoOf(fileName);
    return info ? QString::fromStdString(info->fileVersionText()) : QString();
}

QString ListValue(const QStringList& list, const QString& name) {
    for (const QString& line : list) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq >= 0 && QStringView(line).left(eq).compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1);
    }
    return {};
}

bool ParseVersion(const QString& text, uint32_t& high, uint32_t& low) {
    high = 0;
    low = 0;
    const QStringList parts = text.split(QLatin1Char('.'), Qt::KeepEmptyParts);
    qsizetype words = 0;
    for (const QString& part : parts)
        if (!part.isEmpty())
            ++words;
    if (words > 4)
        return false;
    uint32_t fields[4] = {0, 0, 0, 0};
    for (qsizetype i = 0; i < 4 && i < words; ++i) {
        const auto value = parseInt32(parts.at(i));
        if (!value)
            return false;
        fields[i] = static_cast<uint32_t>(*value);
    }
    high = fields[0] * 65536u + fields[1];
    low = fields[2] * 65536u + fields[3];
    return true;
}

int CompareVersions(const QString& a, const QString& b) {
    uint32_t highA = 0, lowA = 0, highB = 0, lowB = 0;
    if (!ParseVersion(a, highA, lowA) || !ParseVersion(b, highB, lowB))
        throw vt::Exception(texts::kVersionFormat);
    // Compared as unsigned numbers: a signed difference would turn major versions of 32768 and
    // above into "older" ones.
    if (highA != highB)
        return highA < highB ? -1 : 1;
    if (lowA != lowB)
        return lowA < lowB ? -1 : 1;
    return 0;
}

} // namespace vt::desktop
