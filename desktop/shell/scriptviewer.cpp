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
    QString text =
        QString::fromStdString(platform::ansiToUtf8(std::string_view(bytes.data(), bytes.size())));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    // The last line's end closes that line; it adds no empty line.
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

void writeScriptText(const QString& fileName, const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(u'\n', QStringLiteral("\r\n"));
    if (!text.isEmpty())
        lines += QStringLiteral("\r\n");
    const std::string bytes = platform::utf8ToAnsi(lines.toStdString());
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
