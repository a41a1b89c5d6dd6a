// The logic of the script viewer TFormMemo: loading, the command marker, saving and closing.
#include "desktop/shell/scriptviewer.h"

#include "desktop/shell/appmessage.h"
#include "desktop/shell/shelltexts.h"
#include "platform/codepage.h"
#include "platform/exception.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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
    const std::string utf8 = platform::ansiToUtf8(std::string_view(bytes.data(), bytes.size()));
    // One pass over the bytes: CR LF and CR become LF.
    std::string unified;
    unified.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] != '\r') {
            unified += utf8[i];
            continue;
        }
        unified += '\n';
        if (i + 1 < utf8.size() && utf8[i + 1] == '\n')
            ++i;
    }
    // The last line's end closes that line; it adds no empty line.
    if (!unified.empty() && unified.back() == '\n')
        unified.pop_back();
    return QString::fromStdString(unified);
}

void writeScriptText(const QString& fileName, const QString& text) {
    const std::string utf8 = text.toStdString();
    // One pass: every line (ended by LF, CR LF or CR) is written with CR LF.
    std::string lines;
    lines.reserve(utf8.size() + utf8.size() / 16 + 2);
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '\r' || c == '\n') {
            lines += "\r\n";
            if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')
                ++i;
        } else {
            lines += c;
        }
    }
    if (!utf8.empty())
        lines += "\r\n";
    const std::string bytes = platform::utf8ToAnsi(lines);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        raiseFileError(file, fileName);
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
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
