// The plug-in's module-wide state and the nine operations of its binary interface.
#include "plugin/plugin.h"

#include "dbengine/callinterface/callinterface.h"
#include "platform/codepage.h"
#include "plugin/pluginerror.h"
#include "plugin/plugintexts.h"
#include "plugin/scriptcheck.h"

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

void Plugin::fail(int code, VtErrorCause cause, const char* text) noexcept {
    m_errorCode = code;
    m_cause = cause;
    try {
        m_errorText = text ? text : "";
    } catch (...) {
        m_errorText.clear();
    }
}

// Runs the body of an exported function: every failure becomes the function's error code and a
// text, of the kind the failure names or else of the function's usual kind.
template <typename Result, typename Body>
Result Plugin::guarded(int code, VtErrorCause cause, Result onFailure, Body body) {
    m_errorCode = 0;
    try {
        return body();
    } catch (const PluginError& e) {
        VtErrorCause kind = e.cause();
        if (kind == VT_CAUSE_NONE)
            kind = m_session.isOpen() && m_session.checkLost() ? VT_CAUSE_CONNECT : cause;
        fail(code, kind, e.what());
    } catch (const std::exception& e) {
        fail(code, cause, e.what());
    } catch (...) {
        fail(code, cause, nullptr);
    }
    return onFailure;
}

const char* Plugin::piInit(const char* scriptFile, const char* aliasConfigFile) noexcept {
    (void)aliasConfigFile; // the aliases come from the engine
    m_result.clear();
    const char* aliases =
        guarded(kInitFailed, VT_CAUSE_SCRIPT, static_cast<const char*>(nullptr), [&] {
            openScript(orEmpty(scriptFile));
            try {
                m_result = readAliases();
            } catch (const PluginError& e) {
                throw e.cause() == VT_CAUSE_NONE ? e.withCause(VT_CAUSE_OTHER) : e;
            }
            return m_result.c_str();
        });
    return aliases ? aliases : m_result.c_str();
}

void Plugin::openScript(const std::string& path) {
    m_script.reset();
    checkScriptFile(path);
    auto script = std::make_unique<script::RsqlScript>(path);
    const double formatVersion = script->formatVersionNumber();
    if (formatVersion > script::kMaxFormatVersion)
        throw PluginError::message(texts::kUnsupportedScriptVersion,
                                   {script::formatShortestDecimal(formatVersion)});
    checkScriptContent(*script, path);
    m_script = std::move(script);
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
                throw PluginError::message(texts::kAliasListFailed).withCause(VT_CAUSE_OTHER);
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
    return guarded(kConnectFailed, VT_CAUSE_CONNECT, kConnectFailed, [&] {
        m_remaining = 0;
        m_storedCounter = 0;
        m_openedBy = 0;
        m_brokenText.clear();
        m_group.clear(); // a new connection rolls back what an earlier one left uncommitted
        return m_session.connect(orEmpty(alias), orEmpty(user), orEmpty(password)) ? 0 : 1;
    });
}

int Plugin::checkDataBaseParams(int* first, int* last, const char** code, const char** version,
                                bool create) noexcept {
    return guarded(kCheckFailed, VT_CAUSE_OTHER, kCheckFailed, [&] {
        commitGroup(); // what ran before comes first
        m_chain = FingerprintChain();
        const bool versioned = !m_header.newVersion.empty();
        m_rows.clear();
        // One run per database: the lock holds from before the record is read until piDone.
        m_session.lockRun();
        if (m_session.enforcesColumnTypes())
            checkVersionTableFit(m_header);
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
        m_storedCounter = versioned && d.row ? m_rows[*d.row].counter : 0;
        m_openedBy = 0;
        m_brokenText.clear();
        if (d.result != 0) {
            m_errorCode = kCheckFailed;
            m_cause = d.cause;
            return d.result;
        }
        if (versioned && m_storedCounter > 0)
            checkResume(m_header.commands - static_cast<int>(m_storedCounter) + 1);
        return 0;
    });
}

void Plugin::checkResume(int first) {
    const ResumeCheck check = checkRecordedSteps(m_session.readSteps(m_matchingCode), first - 1,
                                                 [&](int n) { return scriptCommand(n); });
    if (check.differing)
        throw PluginError::message(texts::kResumeMismatch, {std::to_string(*check.differing)})
            .withCause(VT_CAUSE_VERSION);
    // The run goes on from the commands done.
    m_chain = check.chain;
}

std::string Plugin::scriptCommand(int n) const {
    return m_script ? m_script->commandText(n) : std::string();
}

FingerprintChain Plugin::chainThrough(int step, std::string_view text) const {
    FingerprintChain chain = m_chain;
    if (chain.step() >= step)
        chain = FingerprintChain(); // the counts went back: the chain starts again
    while (chain.step() < step - 1)
        chain.add(scriptCommand(chain.step() + 1));
    if (commandUnderWay() == step)
        chain.add(text);
    else
        chain.add(scriptCommand(step)); // counted at a step of another command
    return chain;
}

const char* Plugin::makeSQLCommand(int n) noexcept {
    m_result.clear();
    m_commandNumber = n;
    const char* text =
        guarded(kCommandTextFailed, VT_CAUSE_SCRIPT, static_cast<const char*>(nullptr), [&] {
            if (m_script)
                m_result = m_script->commandText(n);
            return m_result.c_str();
        });
    return text ? text : m_result.c_str();
}

int Plugin::execrSQL(const char* command) noexcept {
    return guarded(kExecFailed, VT_CAUSE_COMMAND, kExecFailed, [&] {
        if (!m_brokenText.empty())
            throw PluginError(m_brokenText);
        const std::string text = orEmpty(command);
        if (m_session.connectionLost() && recoverConnection(text))
            return 0;
        const bool reconnect = script::isReconnectCommand(text);
        if (!reconnect && m_session.groupable(text) && runGrouped(text))
            return 0;
        // What the group holds commits before a reconnection or a command run on its own.
        commitGroup();
        if (reconnect && m_session.scriptTransactionOpen())
            refuseOpenTransaction();
        const bool versioned = !m_header.newVersion.empty();
        ProgressUpdate progress;
        FingerprintChain chain;
        if (versioned) {
            const int step = m_header.commands - m_remaining + 1;
            chain = chainThrough(step, text);
            progress = progressAt(m_remaining - 1, step, chain.text());
        }
        const int remainingBefore = m_remaining;
        const std::int64_t storedBefore = m_storedCounter;
        bool done = false;
        try {
            if (reconnect)
                m_session.reconnect(versioned ? &progress : nullptr, done);
            else
                m_session.runCommand(text, versioned ? &progress : nullptr, done);
        } catch (...) {
            // A command that took effect is counted even when its progress record failed.
            if (done)
                countCommand(chain);
            throw;
        }
        countCommand(chain);
        if (versioned)
            m_storedCounter = progress.remaining;
        if (!m_session.scriptTransactionOpen()) {
            m_openedBy = 0;
        } else if (m_openedBy == 0) {
            m_openedBy = commandUnderWay();
            m_remainingAtOpen = remainingBefore;
            m_storedAtOpen = storedBefore;
        }
        return 0;
    });
}

void Plugin::countCommand(const FingerprintChain& chain) {
    --m_remaining;
    if (!m_header.newVersion.empty())
        m_chain = chain;
}

ProgressUpdate Plugin::progressAt(int remaining, int firstStep, std::string fingerprint) const {
    ProgressUpdate progress;
    progress.remaining = remaining;
    progress.expected = m_storedCounter;
    progress.step = m_header.commands - remaining;
    progress.firstStep = firstStep;
    progress.fingerprint = std::move(fingerprint);
    progress.code = &m_matchingCode;
    progress.version = &m_header.newVersion;
    return progress;
}

int Plugin::commandUnderWay() const {
    return m_commandNumber > 0 ? m_commandNumber : m_header.commands - m_remaining + 1;
}

bool Plugin::runGrouped(const std::string& command) {
    if (!m_group.open())
        m_group.start(commandUnderWay(), m_remaining);
    try {
        if (m_session.runGrouped(command) == GroupedRun::MustRunAlone)
            return false;
    } catch (const PluginError& error) {
        if (!m_session.groupIntact())
            loseGroup(error);
        commitGroup(); // the commands before it, with progress pointing at it
        throw;
    }
    countCommand(m_header.newVersion.empty()
                     ? FingerprintChain()
                     : chainThrough(m_header.commands - m_remaining + 1, command));
    m_group.add();
    // The last command commits at once, recording the version with its progress.
    if (m_remaining <= 0 || m_group.due())
        commitGroup();
    return true;
}

void Plugin::commitGroup(bool recordVersion) {
    if (!m_group.open())
        return;
    const bool progressed = !m_header.newVersion.empty() && m_group.commands() > 0;
    ProgressUpdate progress;
    if (progressed) {
        // The chain through the group's last command vouches for every command before it.
        progress = progressAt(m_remaining, m_header.commands - m_group.remainingBefore() + 1,
                              m_chain.text());
        progress.recordVersion = recordVersion;
    }
    try {
        m_session.commitGroup(progressed ? &progress : nullptr);
    } catch (const PluginError& error) {
        loseGroup(error);
    }
    m_group.clear();
    if (progressed)
        m_storedCounter = progress.remaining;
}

void Plugin::loseGroup(const PluginError& error) {
    m_session.abandonGroup();
    const bool lost = m_group.commands() > 0;
    const int first = m_group.firstCommand();
    const int remainingBefore = m_group.remainingBefore();
    m_group.clear();
    if (!lost)
        throw error;
    // The run cannot go on from here: the runner counts those commands as done.
    m_remaining = remainingBefore;
    m_brokenText = std::string(error.what()) + "\r\n" +
                   fillTemplate(texts::kGroupNotSaved, {std::to_string(first)});
    throw PluginError(m_brokenText).withCause(error.cause());
}

bool Plugin::recoverConnection(const std::string& command) {
    m_session.recover();
    if (m_openedBy != 0) {
        // The server rolled back what the script's transaction held; going on from here would
        // skip those commands.
        m_remaining = m_remainingAtOpen;
        m_storedCounter = m_storedAtOpen;
        m_brokenText = fillTemplate(texts::kLostInTransaction, {std::to_string(m_openedBy)});
        m_openedBy = 0;
        throw PluginError(m_brokenText);
    }
    if (m_header.newVersion.empty())
        return false;
    const std::optional<std::int64_t> counter = m_session.readCounter(m_matchingCode);
    if (counter && *counter == m_storedCounter)
        return false; // the command did not take effect: run it
    const int step = m_header.commands - m_remaining + 1;
    if (counter && *counter == m_remaining - 1) {
        // Committed just before the connection broke, if its record is this command's.
        const FingerprintChain chain = chainThrough(step, command);
        for (const StepRecord& record : m_session.readSteps(m_matchingCode))
            if (record.step == step && record.hash == chain.text()) {
                countCommand(chain);
                m_storedCounter = *counter;
                return true;
            }
    }
    throw PluginError::message(
        texts::kConcurrentRun,
        {counter ? std::to_string(*counter) : std::string("-"), std::to_string(m_storedCounter)})
        .withCause(VT_CAUSE_CONCURRENT);
}

void Plugin::refuseOpenTransaction() {
    const int openedBy = m_openedBy;
    m_session.rollbackScriptTransaction();
    m_remaining = m_remainingAtOpen;
    m_storedCounter = m_storedAtOpen;
    m_openedBy = 0;
    throw PluginError::message(texts::kUnclosedTransaction, {std::to_string(openedBy)})
        .withCause(VT_CAUSE_COMMAND);
}

int Plugin::upDateVersion() noexcept {
    return guarded(kUpdateFailed, VT_CAUSE_OTHER, kUpdateFailed, [&] {
        if (!m_brokenText.empty())
            throw PluginError(m_brokenText);
        commitGroup(true);
        // A transaction the script never closed would be rolled back at disconnection, taking
        // its commands and progress with it: that is no success.
        if (m_session.scriptTransactionOpen())
            refuseOpenTransaction();
        if (!m_header.newVersion.empty())
            m_session.updateVersion(m_header.newVersion, m_matchingCode);
        return 0;
    });
}

int Plugin::piDone() noexcept {
    return guarded(kDoneFailed, VT_CAUSE_OTHER, kDoneFailed, [&] {
        // The group's commands all succeeded: they commit with their progress.
        std::exception_ptr closeFailure;
        try {
            commitGroup();
        } catch (...) {
            closeFailure = std::current_exception();
        }
        try {
            m_session.close();
        } catch (...) {
            if (!closeFailure)
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
