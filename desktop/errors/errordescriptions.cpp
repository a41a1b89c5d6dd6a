// The description routines of the class table, one per kind of exception.
#include "desktop/errors/errordescriptions.h"

#include "dbengine/core/engineerror.h"
#include "dbengine/data/database.h"
#include "dbengine/data/session.h"
#include "desktop/errors/eanyerror.h"
#include "desktop/errors/errorclasstable.h"
#include "desktop/errors/errortexts.h"
#include "desktop/errors/trerror.h"
#include "desktop/shell/textutils.h"
#include "platform/exception.h"

#include <cstring>

namespace vt::desktop {
namespace {

QString tr8(const char* text) {
    return QString::fromUtf8(text);
}

QString messageOf(const std::exception& e) {
    if (const auto* own = dynamic_cast<const vt::Exception*>(&e))
        return QString::fromStdString(own->message());
    return QString::fromUtf8(e.what());
}

QStringList engineSessionDatabases() {
    QStringList names;
    try {
        for (const dbengine::Database* db :
             dbengine::Session::defaultSession().connectedDatabases()) {
            const std::string& name =
                db->aliasName().empty() ? db->databaseName() : db->aliasName();
            names.append(QString::fromStdString(name));
        }
    } catch (const std::exception&) {
        // A session that cannot be asked lists nothing; the description goes on without it.
    }
    return names;
}

OpenDatabasesProvider& providerSlot() {
    static OpenDatabasesProvider provider;
    return provider;
}

QStringList openDatabases() {
    if (providerSlot())
        return providerSlot()();
    return engineSessionDatabases();
}

// The text without its trailing carriage returns and line feeds.
QString withoutLineEnds(QString text) {
    while (!text.isEmpty() && (text.back() == QChar(13) || text.back() == QChar(10)))
        text.chop(1);
    return text;
}

} // namespace

QStringList textLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QChar(13) && c != QChar(10))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QChar(13) && i + 1 < n && text.at(i + 1) == QChar(10))
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QString systemErrorText(int code) {
    if (!strerrordesc_np(code))
        return {};
    char buffer[256];
    return QString::fromLocal8Bit(strerror_r(code, buffer, sizeof buffer));
}

void describeAnyError(const std::exception& e, TrError& error) {
    const auto* any = dynamic_cast<const EAnyError*>(&e);
    error.setTitleMessage(ExpandEscapes(any ? QString::fromStdString(any->title()) : QString()));
    error.setMessage(ExpandEscapes(messageOf(e)));
    error.Description() =
        textLines(ExpandEscapes(any ? QString::fromStdString(any->details()) : QString()));
    error.setSaveLog(!error.Description().isEmpty());
}

void describeOSError(const std::exception& e, TrError& error) {
    const auto* os = dynamic_cast<const vt::EOSError*>(&e);
    const int code = os ? os->errorCode() : 0;
    error.setTitleMessage(tr8(texts::kTitleSystem));
    error.setMessage(messageOf(e));
    error.Description() = textLines(ExpandEscapes(tr8(texts::kSystemDetails))
                                        .arg(QString::number(code), systemErrorText(code)));
    error.setSaveLog(!error.Description().isEmpty());
}

void describeInOutError(const std::exception& e, TrError& error) {
    const auto* io = dynamic_cast<const vt::EInOutError*>(&e);
    const int code = io ? io->errorCode() : 0;
    const QString text = systemErrorText(code);
    error.setTitleMessage(tr8(texts::kTitleInOut));
    error.setMessage(text);
    error.Description() =
        textLines(ExpandEscapes(tr8(texts::kInOutDetails)).arg(QString::number(code), text));
    error.setSaveLog(!error.Description().isEmpty());
}

void describeConvertError(const std::exception& e, TrError& error) {
    const bool range = dynamic_cast<const vt::ERangeError*>(&e) != nullptr;
    error.setTitleMessage(tr8(range ? texts::kTitleRange : texts::kTitleConvert));
    error.setMessage(ExpandEscapes(tr8(texts::kConvertMessage)).arg(messageOf(e)));
    error.Description().clear();
    error.setSaveLog(false);
}

void describeEngineEntries(const std::vector<EngineErrorEntry>& entries, TrError& error) {
    error.setTitleMessage(tr8(texts::kTitleEngine));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const EngineErrorEntry& entry = entries[i];
        const QString untrimmed = QString::fromStdString(entry.message);
        const QString text = withoutLineEnds(untrimmed);
        if (text.isEmpty())
            continue;
        const bool last = i + 1 == entries.size();
        if (error.Message().isEmpty() && error.hasMessageFile() &&
            (last || entry.nativeCode != 0)) {
            const QString found = error.FindMessage(untrimmed);
            error.setMessage(found.isEmpty() ? untrimmed : found);
        }
        if (entry.nativeCode != 0)
            error.Description().append(
                tr8(texts::kServerError).arg(QString::number(entry.nativeCode), text));
        else
            error.Description().append(tr8(texts::kEngineError)
                                           .arg(QString::number(entry.code),
                                                QString::number(entry.code >> 8),
                                                QString::number(entry.code & 0xFF), text));
    }
    if (error.Message().isEmpty()) {
        error.setMessage(entries.empty() ? QString()
                                         : QString::fromStdString(entries.back().message));
        error.setSaveLog(true);
    }
    const QStringList databases = openDatabases();
    if (!databases.isEmpty())
        error.Description().append(
            tr8(texts::kOpenDatabases).arg(databases.join(QLatin1Char(';'))));
}

void describeDBEngineError(const std::exception& e, TrError& error) {
    std::vector<EngineErrorEntry> entries;
    if (const auto* engine = dynamic_cast<const dbengine::EDBEngineError*>(&e)) {
        for (const dbengine::EngineErrorEntry& entry : engine->entries())
            entries.push_back({static_cast<uint16_t>(entry.code), entry.nativeCode, entry.message});
    } else {
        entries.push_back({0, 0, e.what()});
    }
    describeEngineEntries(entries, error);
}

void describeDatabaseError(const std::exception& e, TrError& error) {
    const QString message = messageOf(e);
    const QString found = error.FindMessage(message);
    error.setTitleMessage(tr8(texts::kTitleData));
    error.setMessage(found.isEmpty() ? message : found);
    error.Description().clear();
}

void describeUpdateError(const std::exception& e, TrError& error) {
    const QString message = messageOf(e);
    const QString found = error.FindMessage(message);
    // Untranslated update errors carry no title of their own; a title left over from an earlier
    // error would be misleading, so it is cleared.
    error.setTitleMessage(found.isEmpty() ? QString() : tr8(texts::kTitleData));
    error.setMessage(found.isEmpty() ? message : found);
    error.Description() = found.isEmpty() ? QStringList() : textLines(message);
}

void describeVTUtilsError(const std::exception& e, TrError& error) {
    const QString message = messageOf(e);
    const qsizetype lineFeed = message.indexOf(QChar(10));
    error.setTitleMessage(QString()); // see describeUpdateError
    QString first = lineFeed < 0 ? message : message.left(lineFeed);
    // The plug-in ends its lines with CR LF; the CR before the first line feed is no text.
    if (lineFeed >= 0 && first.endsWith(QChar(13)))
        first.chop(1);
    error.setMessage(first);
    error.Description() = lineFeed < 0 ? QStringList() : textLines(ExpandEscapes(message));
    error.setSaveLog(true);
}

void describeInternalError(const std::exception& e, TrError& error) {
    const QString message = messageOf(e);
    error.setTitleMessage(tr8(texts::kTitleInternal));
    error.setMessage(ExpandEscapes(tr8(texts::kInternalMessage)).arg(message));
    error.Description() = textLines(tr8(texts::kInternalDetails).arg(errorClassName(e), message));
    error.setSaveLog(true);
}

OpenDatabasesProvider setOpenDatabasesProvider(OpenDatabasesProvider provider) {
    OpenDatabasesProvider previous = std::move(providerSlot());
    providerSlot() = std::move(provider);
    return previous;
}

} // namespace vt::desktop
