// TrError: the description of one exception (title, message, details, log flag) and the message
// file that translates database messages.
#include "desktop/errors/trerror.h"

#include "desktop/errors/errorclasstable.h"
#include "desktop/errors/errordescriptions.h"
#include "desktop/errors/errorlog.h"
#include "desktop/errors/errortexts.h"
#include "desktop/errors/passwordmask.h"
#include "desktop/shell/sysinfo.h"
#include "desktop/shell/textutils.h"
#include "desktop/shell/versionutils.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "script/inifile.h"

#include <QFile>
#include <QFileInfo>

namespace vt::desktop {
namespace {

// Bounds of one ExpandMacros call: constants substituted, and the length of the text. A message
// file that nests constants deeply enough to pass them is treated like one that refers to
// itself.
constexpr int kMaxSubstitutions = 1000;
constexpr qsizetype kMaxExpandedLength = 1 << 20;

QString decode(const std::string& ansi) {
    return QString::fromStdString(platform::ansiToUtf8(ansi));
}

std::pair<QStringList, std::vector<std::string>> decodeAll(std::vector<std::string> raw) {
    QStringList decoded;
    for (const std::string& name : raw)
        decoded.append(decode(name));
    return {decoded, std::move(raw)};
}

// The ";"-separated words of a text, empty ones left out.
QStringList wordsOf(const QString& text) {
    return text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

} // namespace

struct TrError::MacroState {
    QStringList active; // constants being substituted, outermost first
    int substitutions = 0;
    bool stopped = false;
};

TrError::TrError() = default;
TrError::~TrError() = default;

void TrError::setIniFile(const QString& name) {
    m_ini.reset();
    m_iniOpen = false;
    m_iniPath.clear();
    m_iniFile = name;
    if (IsBlank(name))
        return;
    m_iniPath = completeFileName(name.trimmed(), m_iniLocation);
    m_iniOpen = true;
    Ini();
}

void TrError::setIniLocation(TrFileLocation location) {
    if (location == m_iniLocation)
        return;
    m_iniLocation = location;
    if (m_iniOpen)
        setIniFile(m_iniFile);
}

script::IniFile* TrError::Ini() {
    if (!m_iniOpen)
        return nullptr;
    if (!m_ini) {
        // A file that exists but cannot be read behaves as an empty one; it is tried again at
        // the next use, so a repaired file takes effect.
        try {
            m_ini = std::make_unique<script::IniFile>(QFile::encodeName(m_iniPath).toStdString());
        } catch (const script::IniError&) {
            return nullptr;
        }
    }
    return m_ini.get();
}

std::optional<QString> TrError::iniValue(const std::string& section, const std::string& key) {
    script::IniFile* ini = Ini();
    if (!ini)
        return std::nullopt;
    try {
        if (!ini->hasKey(section, key))
            return std::nullopt;
        return decode(ini->readString(section, key));
    } catch (const script::IniError&) {
        return std::nullopt;
    }
}

bool TrError::iniLogging(const std::string& section, bool current) {
    script::IniFile* ini = Ini();
    if (!ini)
        return current;
    try {
        return ini->readInteger(section, texts::kLoggingKey, current ? 1 : 0) != 0;
    } catch (const script::IniError&) {
        return current;
    }
}

void TrError::reloadMessageFile() {
    m_sections.clear();
    m_constants.clear();
    m_rawSections.clear();
    m_rawConstants.clear();
    script::IniFile* ini = Ini();
    if (!ini)
        return;
    try {
        // A blank that ends a section name is part of its prefixes ("[violation;Lock ]").
        std::vector<std::string> sections = ini->untrimmedSectionNames();
        bool hasConstants = false;
        std::erase_if(sections, [&](const std::string& name) {
            const bool constants =
                QString::fromStdString(name).trimmed().compare(
                    QLatin1String(texts::kConstantsSection), Qt::CaseInsensitive) == 0;
            hasConstants = hasConstants || constants;
            return constants;
        });
        std::tie(m_sections, m_rawSections) = decodeAll(std::move(sections));
        if (hasConstants)
            std::tie(m_constants, m_rawConstants) =
                decodeAll(ini->keyNames(texts::kConstantsSection));
    } catch (const script::IniError&) {
        m_sections.clear();
        m_constants.clear();
        m_rawSections.clear();
        m_rawConstants.clear();
    }
}

void TrError::Describe(const std::exception& e) {
    m_message.clear();
    m_description.clear();
    m_saveLog = false;
    reloadMessageFile();
    if (TrErrorRoutine routine = errorClassTable().find(errorClassName(e)))
        routine(e, *this);
    else
        describeInternalError(e, *this);
    // Engine errors and connection texts may carry a password; it is shown and logged nowhere.
    m_titleMessage = maskPasswords(m_titleMessage);
    m_message = maskPasswords(m_message);
    for (QString& line : m_description)
        line = maskPasswords(line);
}

void TrError::WriteLog(const QString& context) {
    if (IsBlank(m_logFile))
        return;
    const QString name = m_logFile.trimmed();
    const QString path = completeFileName(name, m_logLocation);

    LogEntry entry;
    entry.time = logNow();
    entry.user = m_userName.isEmpty() ? GetLogonUserName() : m_userName;
    entry.computer = GetComputerNetName();
    entry.programPath = GetModuleFileNameStr();
    entry.programVersion = GetFileVersion(entry.programPath);
    const QString module = QFile::decodeName(
        platform::moduleFileOf(reinterpret_cast<const void*>(&formatLogEntry)).c_str());
    if (!module.isEmpty() && QFileInfo(module) != QFileInfo(entry.programPath)) {
        entry.libraryPath = module;
        entry.libraryVersion = GetFileVersion(module);
    }
    entry.context = context;
    entry.description = m_description;
    entry.message = m_message;
    const std::string bytes = platform::utf8ToAnsi(formatLogEntry(entry).toStdString());

    QString failure;
    try {
        if (m_logLocation == flDefault && !name.contains(QLatin1Char('/')))
            platform::ensureSettingsFolder();
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append) ||
            file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                static_cast<qint64>(bytes.size()) ||
            !file.flush())
            failure = path + QStringLiteral(": ") + file.errorString();
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    }
    if (!failure.isEmpty())
        m_message += QLatin1Char('\r') +
                     ExpandEscapes(QString::fromUtf8(texts::kLogWriteFailed)).arg(failure);
}

QString TrError::FindMessage(const QString& message) {
    QString result;
    if (!m_iniOpen)
        return result;
    const QString upperMessage = message.toUpper();
    for (qsizetype s = 0; s < m_sections.size(); ++s) {
        bool sectionMatches = false;
        for (const QString& word : wordsOf(ExpandEscapes(m_sections.at(s))))
            if (message.startsWith(word, Qt::CaseInsensitive)) {
                sectionMatches = true;
                break;
            }
        if (!sectionMatches)
            continue;
        const std::string& section = m_rawSections.at(s);
        std::vector<std::string> keys;
        if (script::IniFile* ini = Ini()) {
            try {
                keys = ini->keyNames(section);
            } catch (const script::IniError&) {
            }
        }
        for (const std::string& rawKey : keys) {
            bool keyMatches = false;
            for (const QString& word : wordsOf(decode(rawKey))) {
                const QString expanded = ExpandEscapes(word).toUpper();
                if (!expanded.isEmpty() && upperMessage.contains(expanded)) {
                    keyMatches = true;
                    break;
                }
            }
            if (!keyMatches)
                continue;
            result = ExpandMacros(iniValue(section, rawKey).value_or(message), message);
            m_saveLog = iniLogging(section, m_saveLog);
            break;
        }
        if (result.isEmpty()) {
            result = ExpandMacros(iniValue(section, texts::kDefaultKey).value_or(message), message);
            m_saveLog = iniLogging(section, m_saveLog);
            break;
        }
    }
    return result;
}

QString TrError::ExpandMacros(const QString& value, const QString& message) {
    MacroState state;
    return expandMacros(value, message, state);
}

QString TrError::expandMacros(const QString& value, const QString& message, MacroState& state) {
    QString r = ExpandEscapes(value);

    // The text around "<MESSAGE>" delimits the piece of the message that is kept.
    const QString token = QLatin1String(texts::kMessageToken);
    const qsizetype at = r.indexOf(token, 0, Qt::CaseInsensitive);
    if (at >= 0) {
        const QString before = r.left(at);
        const QString after = r.mid(at + token.size());
        QString t = message;
        for (;;) {
            const qsizetype p = t.indexOf(before);
            if (p < 0) {
                r = t;
                break;
            }
            t = t.mid(p + before.size());
            if (after.isEmpty()) {
                r = t;
                break;
            }
            const qsizetype q = t.indexOf(after);
            if (q >= 0) {
                r = t.left(q);
                break;
            }
            if (before.isEmpty()) {
                r = t;
                break;
            }
        }
    }

    // Constants: the first "<" and the first ">" at or after the scan position enclose a name.
    qsizetype pos = 0;
    for (;;) {
        const qsizetype lt = r.indexOf(QLatin1Char('<'), pos);
        const qsizetype gt = r.indexOf(QLatin1Char('>'), pos);
        if (lt < 0 || gt < 0)
            break;
        const QString name = gt > lt ? r.mid(lt + 1, gt - lt - 1) : QString();
        qsizetype index = -1;
        if (!name.isEmpty())
            for (qsizetype i = 0; i < m_constants.size(); ++i)
                if (m_constants.at(i).compare(name, Qt::CaseInsensitive) == 0) {
                    index = i;
                    break;
                }
        if (index < 0) {
            pos = lt + 1;
            continue;
        }
        // A constant met again while it is being substituted would recurse without end, and
        // runaway nesting would never finish: the expansion stops with the text as it stands.
        if (state.active.contains(name, Qt::CaseInsensitive) ||
            ++state.substitutions > kMaxSubstitutions || r.size() > kMaxExpandedLength) {
            state.stopped = true;
            return r;
        }
        const std::string& rawName = m_rawConstants.at(index);
        const QString constant = iniValue(texts::kConstantsSection, rawName)
                                     .value_or(QLatin1Char('<') + name + QLatin1Char('>'));
        state.active.append(name);
        const QString replacement = expandMacros(constant, message, state);
        state.active.removeLast();
        r = r.left(lt) + replacement + r.mid(gt + 1);
        if (state.stopped)
            return r;
        pos = 0;
    }
    return r;
}

} // namespace vt::desktop
