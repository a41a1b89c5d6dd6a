// The plug-in's module-wide state and the nine operations of its binary interface.
#include "plugin/plugin.h"

#include "dbengine/callinterface.h"
#include "platform/codepage.h"
#include "plugin/pluginerror.h"
#include "plugin/plugintexts.h"

#include <exception>

namespace vt::plugin {
namespace {

namespace dbi = dbengine::dbi;
namespace st = dbengine::status;

// Code of each function's failure.
constexpr int kInitFailed = -1;
constexpr int kConnectFailed = -1;
constexpr int kDoneFailed = -2;
constexpr int kCheckFailed = -3;
constexpr int kCommandTextFailed = -4;
constexpr int kExecFailed = -5;
constexpr int kUpdateFailed = -6;

std::string orEmpty(const char* text) {
    return text ? std::string(text) : std::string();
}

} // namespace

Plugin::Plugin() = default;

// Unloading releases the script, the texts and the rows; the connection and the engine are
// left to piDone.
Plugin::~Plugin() = default;

Plugin& thePlugin() {
    static Plugin plugin;
    return plugin;
}

void Plugin::fail(int code, const char* text) noexcept {
    m_errorCode = code;
    try {
        m_errorText = text ? text : "";
    } catch (...) {
        m_errorText.clear();
    }
}

template <typename Result, typename Body>
Result Plugin::guarded(int code, Result onFailure, Body body) {
    m_errorCode = 0;
    try {
        return body();
    } catch (const std::exception& e) {
        fail(code, e.what());
    } catch (...) {
        fail(code, nullptr);
    }
    return onFailure;
}

const char* Plugin::piInit(const char* scriptFile, const char* aliasConfigFile) noexcept {
    (void)aliasConfigFile; // the aliases come from the engine
    m_result.clear();
    const char* aliases = guarded(kInitFailed, static_cast<const char*>(nullptr), [&] {
        openScript(orEmpty(scriptFile));
        m_result = readAliases();
        return m_result.c_str();
    });
    return aliases ? aliases : m_result.c_str();
}

void Plugin::openScript(const std::string& path) {
    m_script.reset();
    m_script = std::make_unique<script::RsqlScript>(path);
    const double formatVersion = m_script->formatVersionNumber();
    if (formatVersion > script::kMaxFormatVersion)
        throw PluginError::message(texts::kUnsupportedScriptVersion,
                                   {script::formatShortestDecimal(formatVersion)});
    const script::RsqlHeader& header = m_script->header();
    m_header.oldVersion = header.oldVersion;
    m_header.newVersion = header.newVersion;
    m_header.code = header.code;
    m_header.commands = static_cast<int>(header.commands);
}

std::string Plugin::readAliases() {
    if (!m_engineStarted) {
        dbi::init();
        m_engineStarted = true;
    }
    dbi::SessionHandle session = nullptr;
    checkEngine(dbi::getCurrentSession(session));
    checkEngine(dbi::startSession(session));
    dbi::CursorHandle cursor = nullptr;
    checkEngine(dbi::openAliasList(cursor));
    std::string aliases;
    try {
        dbi::Record record;
        for (;;) {
            const dbengine::Status s = dbi::getNextRecord(cursor, record);
            if (s == st::kEndOfData)
                break;
            if (s != 0)
                throw PluginError::message(texts::kAliasListFailed);
            std::string name;
            bool blank = false;
            checkEngine(dbi::getField(cursor, 1, record, name, blank));
            // Alias names reach this engine in the ANSI code page already.
            aliases += name;
            aliases += ';';
        }
    } catch (...) {
        dbi::closeCursor(cursor);
        throw;
    }
    dbi::closeCursor(cursor);
    return aliases;
}

int Plugin::dbConnect(const char* alias, const char* user, const char* password) noexcept {
    return guarded(kConnectFailed, kConnectFailed, [&] {
        m_remaining = 0;
        return m_session.connect(orEmpty(alias), orEmpty(user), orEmpty(password)) ? 0 : 1;
    });
}

int Plugin::checkDataBaseParams(int* first, int* last, const char** code, const char** version,
                                bool create) noexcept {
    return guarded(kCheckFailed, kCheckFailed, [&] {
        const bool versioned = !m_header.newVersion.empty();
        m_rows.clear();
        if (create && versioned)
            m_session.createVersionTable(m_header.code);
        else
            m_matchingCode = m_header.code;
        // A script without NewVersion on a database without the table reads nothing.
        if (!create || versioned)
            m_rows = m_session.readRows();

        const VersionDecision d = decideVersion(m_rows, m_header);
        if (d.errorText)
            m_errorText = *d.errorText;
        if (d.row) {
            const VersionRow& row = m_rows[*d.row];
            m_matchingCode = row.dbCode;
            if (code && *code)
                *code = row.dbCode.c_str();
            if (version && *version)
                *version = row.version.c_str();
        }
        if (first && d.first)
            *first = *d.first;
        if (last)
            *last = d.last;
        m_remaining = d.remaining;
        if (d.result != 0)
            m_errorCode = kCheckFailed;
        return d.result;
    });
}

const char* Plugin::makeSQLCommand(int n) noexcept {
    m_result.clear();
    const char* text = guarded(kCommandTextFailed, static_cast<const char*>(nullptr), [&] {
        if (m_script)
            m_result = m_script->commandText(n);
        return m_result.c_str();
    });
    return text ? text : m_result.c_str();
}

int Plugin::execrSQL(const char* command) noexcept {
    return guarded(kExecFailed, kExecFailed, [&] {
        const std::string text = orEmpty(command);
        ProgressUpdate progress;
        const bool versioned = !m_header.newVersion.empty();
        if (versioned) {
            progress.remaining = m_remaining - 1;
            progress.code = &m_matchingCode;
            progress.version = &m_header.newVersion;
        }
        bool done = false;
        try {
            if (script::isReconnectCommand(text))
                m_session.reconnect(versioned ? &progress : nullptr, done);
            else
                m_session.runCommand(text, versioned ? &progress : nullptr, done);
        } catch (...) {
            // A command that took effect is counted even when its progress record failed.
            if (done)
                --m_remaining;
            throw;
        }
        --m_remaining;
        return 0;
    });
}

int Plugin::upDateVersion() noexcept {
    return guarded(kUpdateFailed, kUpdateFailed, [&] {
        if (!m_header.newVersion.empty())
            m_session.updateVersion(m_header.newVersion, m_matchingCode);
        return 0;
    });
}

int Plugin::piDone() noexcept {
    return guarded(kDoneFailed, kDoneFailed, [&] {
        std::exception_ptr closeFailure;
        try {
            m_session.close();
        } catch (...) {
            closeFailure = std::current_exception();
        }
        if (m_engineStarted) {
            dbi::exit();
            m_engineStarted = false;
        }
        if (closeFailure)
            std::rethrow_exception(closeFailure);
        return 0;
    });
}

const char* Plugin::lastErrorMessage() noexcept {
    if (!m_errorText.empty())
        return m_errorText.c_str();
    try {
        if (m_unknownErrorText.empty())
            m_unknownErrorText = platform::ansi(texts::kUnknownDllError);
    } catch (...) {
        return "";
    }
    return m_unknownErrorText.c_str();
}

} // namespace vt::plugin
