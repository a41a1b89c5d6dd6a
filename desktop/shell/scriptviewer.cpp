// The logic of the script viewer TFormMemo: loading, the command marker, saving and closing.
#include "desktop/shell/scriptviewer.h"

#include "desktop/shell/appmessage.h"
#include "desktop/shell/shelltexts.h"
#include "platform/codepage.h"
#include "platform/exception.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cstring>

namespace vt::desktop {
namespace {

[[noreturn]] void raiseFileError(const QFileDevice& file, const QString& fileName) {
    const QString text = QStringLiteral("%1: %2").arg(fileName, file.errorString());
    throw EInOutError(text.toStdString(), static_cast<int>(file.error()));
}

} // namespace

QString commandMarker(int number) {
    return number == 0 ? QString() : QStringLiteral("[Command%1]").arg(number);
}

MarkerSelection findCommandMarker(const QString& text, int number) {
    const QString marker = commandMarker(number);
    if (marker.isEmpty())
        return {};
    const qsizetype at = text.indexOf(marker);
    if (at < 0)
        return {};
    return {static_cast<int>(at), static_cast<int>(marker.size())};
}

QString readScriptText(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        raiseFileError(file, fileName);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        raiseFileError(file, fileName);
    // CR and LF are the same bytes in both code pages: line ends are unified first, in one pass.
    QByteArray unified;
    unified.reserve(bytes.size());
    const char* p = bytes.constData();
    const char* const end = p + bytes.size();
    while (p < end) {
        const auto* cr = static_cast<const char*>(std::memchr(p, '\r', end - p));
        if (!cr) {
            unified.append(p, end - p);
            break;
        }
        unified.append(p, cr - p);
        unified += '\n';
        p = cr + 1;
        if (p < end && *p == '\n')
            ++p;
    }
    // The last line's end closes that line; it adds no empty line.
    if (unified.endsWith('\n'))
        unified.chop(1);
    if (platform::ansiCodePage() == platform::AnsiCodePage::Utf8)
        return QString::fromUtf8(unified);
    QString text(unified.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : std::as_const(unified))
        *out++ = QChar(platform::cp1251ToUnicode(static_cast<unsigned char>(byte)));
    return text;
}

void writeScriptText(const QString& fileName, const QString& text) {
    QByteArray encoded;
    if (platform::ansiCodePage() == platform::AnsiCodePage::Utf8) {
        encoded = text.toUtf8();
    } else {
        encoded.resize(text.size());
        char* out = encoded.data();
        for (const QChar c : text)
            *out++ = platform::unicodeToCp1251(c.unicode());
    }
    // Every line (ended by LF, CR LF or CR) is written with CR LF.
    QByteArray bytes;
    bytes.reserve(encoded.size() + encoded.size() / 16 + 2);
    const char* p = encoded.constData();
    const char* const end = p + encoded.size();
    while (p < end) {
        const char* lineEnd = std::find_if(p, end, [](char c) { return c == '\n' || c == '\r'; });
        bytes.append(p, lineEnd - p);
        if (lineEnd == end)
            break;
        bytes += "\r\n";
        p = lineEnd + 1;
        if (*lineEnd == '\r' && p < end && *p == '\n')
            ++p;
    }
    if (!encoded.isEmpty())
        bytes += "\r\n";
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        raiseFileError(file, fileName);
    file.write(bytes);
    if (!file.commit())
        raiseFileError(file, fileName);
}

ScriptViewerModel::ScriptViewerModel(QString fileName, bool isRsql)
    : m_fileName(std::move(fileName)), m_isRsql(isRsql) {}

QString ScriptViewerModel::saveFilter() const {
    return QString::fromUtf8(m_isRsql ? texts::kFilterRsql : texts::kFilterSql);
}

bool ScriptViewerModel::save(const QString& text, bool modified, const SaveFileChooser& chooser) {
    if (!modified)
        return true;
    const std::optional<QString> chosen = chooser(m_fileName, saveFilter());
    if (!chosen)
        return false;
    if (*chosen != m_fileName && QFileInfo::exists(*chosen) &&
        ShowAppMessage(QString::fromUtf8(texts::kOverwriteQuestion),
                       mb::kYesNo | mb::kIconQuestion) != mb::idYes)
        return false;
    writeScriptText(*chosen, text);
    m_fileName = *chosen;
    return true;
}

ScriptViewerModel::CloseAnswer ScriptViewerModel::closeQuery(bool modified) {
    if (!modified)
        return CloseAnswer::Discard;
    switch (ShowAppMessage(QString::fromUtf8(texts::kSaveChangesQuestion),
                           mb::kYesNoCancel | mb::kIconQuestion)) {
    case mb::idYes:
        return CloseAnswer::Save;
    case mb::idNo:
        return CloseAnswer::Discard;
    default:
        return CloseAnswer::Stay;
    }
}

} // namespace vt::desktop
