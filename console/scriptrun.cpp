// The command r of the console runner: one script run through a loaded plug-in.
#include "console/scriptrun.h"

#include <cctype>
#include <climits>
#include <exception>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

#include "console/consoletexts.h"
#include "platform/asciitext.h"
#include "platform/codepage.h"
#include "script/inifile.h"
#include "script/rsqlscript.h"
#include "script/scramble.h"

namespace vt::console {

using texts::fill;

namespace {

// Typed text and command-line values are in the terminal's charset; the plug-in takes ANSI.
std::string toAnsi(const std::string& typed) {
    return platform::terminalToAnsi(typed);
}

std::vector<std::string> splitAliases(const std::string& list) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(';', start);
        if (end == std::string::npos)
            end = list.size();
        if (end > start)
            names.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

// The database text with every "DBName=" removed, letter case ignored.
std::string withoutDbNamePrefix(const std::string& text) {
    std::string result;
    const std::string_view prefix = texts::kDbNamePrefix;
    for (std::size_t i = 0; i < text.size();) {
        if (i + prefix.size() <= text.size() &&
            platform::equalsNoCase(std::string_view(text).substr(i, prefix.size()), prefix)) {
            i += prefix.size();
            continue;
        }
        result += text[i++];
    }
    return result;
}

} // namespace

int parseChoice(const std::string& text) {
    std::size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1])))
        --e;
    std::string_view t(text.data() + b, e - b);
    bool negative = false;
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
        negative = t.front() == '-';
        t.remove_prefix(1);
    }
    if (t.empty())
        return 0;
    long long value = 0;
    for (char c : t) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return 0;
        value = value * 10 + (c - '0');
        if (value > INT_MAX)
            return 0;
    }
    return static_cast<int>(negative ? -value : value);
}

std::string shownCommand(const std::string& text) {
    std::size_t lineEnd = text.find("\r\n");
    if (lineEnd == std::string::npos)
        return text;
    if (lineEnd + 2 == text.size())
        return text.substr(0, lineEnd);
    return text.substr(0, lineEnd) + "...";
}

ScriptRun::ScriptRun(ConsoleWriter& out, Prompter& prompter, runner::PluginLibrary& plugin,
                     const CommandLine& args, RunSettings settings)
    : m_out(out), m_prompt(prompter), m_session(plugin), m_args(args),
      m_settings(std::move(settings)) {}

RunEnd ScriptRun::execute() {
    try {
        openScript();
        confirmStart();
        initPlugin();
        chooseDatabase();
        login();
        checkVersion(connect());
        runCommands();
        m_session.updateVersion();
        return {std::string(texts::kCompleted), 0};
    } catch (const RunEnd& end) {
        return end;
    } catch (const runner::RunFailure& failure) {
        // A missing function ends with 1; Abort after a failed command without a message; any
        // other plug-in failure with the plug-in's error code.
        if (failure.cause() == runner::FailureCause::MissingFunction)
            return {failure.what(), 1};
        if (failure.function() == runner::PluginFunction::ExecrSQL)
            return {{}, 5};
        return {failure.what(), failure.pluginCode()};
    } catch (const std::exception& e) {
        return {e.what(), 1};
    }
}

void ScriptRun::openScript() {
    m_file = m_args.secondArgument();
    if (m_file == "?") {
        if (m_settings.silent)
            throw RunEnd{fill(texts::kFileNotFound, ""), 1};
        m_file = m_prompt.line(texts::kEnterFileName);
    }
    if (std::filesystem::path(m_file).extension().empty())
        m_file += texts::kScriptExtension;
    std::error_code error;
    if (!std::filesystem::is_regular_file(m_file, error))
        throw RunEnd{fill(texts::kFileNotFound, toAnsi(m_file)), 2};

    std::unique_ptr<script::RsqlScript> script;
    try {
        script = std::make_unique<script::RsqlScript>(m_file);
    } catch (const script::IniError& e) {
        throw RunEnd{e.what(), 2};
    }
    script::IniFile& ini = script->ini();
    const bool crypt = ini.readString("Tools", "Crypt") == "1";
    auto headerValue = [&](std::string_view key) {
        std::string value = ini.readString("DataBase", key);
        return crypt ? script::unscrambleHeader(value) : value;
    };
    m_newVersion = headerValue("NewVersion");
    m_scriptUser = ini.readString("Connect", "User");

    const std::pair<std::string_view, std::string> rows[] = {
        {texts::kLabelNewVersion, m_newVersion},
        {texts::kLabelCode, headerValue("Code")},
        {texts::kLabelOldVersion, headerValue("OldVersion")},
        {texts::kLabelCommands, ini.readString("DataBase", "Commands")},
    };
    for (const auto& [label, value] : rows) {
        m_out.write(label);
        m_out.writeRaw(value);
        m_out.line();
    }
    if (m_settings.showComments) {
        m_out.line();
        m_out.line(texts::kComments);
        m_out.line();
        std::vector<std::string> comments = script->comments();
        if (comments.empty())
            m_out.line(texts::kNoComments);
        for (const std::string& comment : comments)
            m_out.line(comment);
    }
    m_out.line();
}

void ScriptRun::confirmStart() {
    if (m_settings.silent)
        return;
    m_prompt.line(fill(texts::kPressEnterToContinue, texts::kBreakKey));
    m_out.line();
}

void ScriptRun::initPlugin() {
    m_aliases = m_session.open(m_file, m_settings.aliasConfigFile);
}

void ScriptRun::chooseDatabase() {
    const bool byFile = m_args.hasSwitch("dbname");
    if (byFile) {
        m_database = std::string(texts::kDbNamePrefix) + toAnsi(m_prompt.switchValue("dbname", ""));
    } else if (m_settings.listAliases) {
        std::vector<std::string> names = splitAliases(m_aliases);
        for (std::size_t i = 0; i < names.size(); ++i)
            m_out.line(fmt::format("{:>4} {}", std::to_string(i + 1) + ".", names[i]));
        m_out.line();
        if (names.empty())
            throw RunEnd{std::string(texts::kNoAliases), 5};
        int choice = parseChoice(m_prompt.line(texts::kChoiceAlias));
        if (choice < 1 || static_cast<std::size_t>(choice) > names.size())
            throw RunEnd{std::string(texts::kAliasOutOfBounds), 1};
        m_database = names[static_cast<std::size_t>(choice) - 1];
    } else {
        m_database = toAnsi(m_prompt.switchValue("alias", texts::kEnterAlias));
    }
    if (!byFile && m_database.empty())
        throw RunEnd{std::string(texts::kMissingAlias), 1};
    m_displayName = withoutDbNamePrefix(m_database);
}

void ScriptRun::login() {
    m_user =
        toAnsi(m_prompt.switchValue("user", fill(texts::kEnterUser, m_displayName, m_scriptUser)));
    if (m_user.empty())
        m_user = m_scriptUser;
    m_password = toAnsi(m_prompt.passwordValue(fill(texts::kEnterPassword, m_user)));
    m_out.line();
    m_out.line(fill(texts::kConnecting, m_displayName));
    m_out.line();
}

bool ScriptRun::connect() {
    const bool tableMissing = m_session.connect(m_database, m_user, m_password);
    return m_session.createDecision(tableMissing, !m_newVersion.empty(), *this);
}

bool ScriptRun::createVersionTable() {
    if (m_settings.silent)
        throw RunEnd{std::string(texts::kNoVersionTable), 1};
    const std::string question = std::string(texts::kInitQuestion) + std::string(texts::kYesNo);
    return m_prompt.key(question, "YN", 'N') == 'Y';
}

void ScriptRun::checkVersion(bool create) {
    const runner::VersionCheck check = m_session.check(create);
    m_out.write(texts::kDbCode);
    m_out.writeRaw(check.code);
    m_out.write(texts::kDbVersion);
    m_out.write(check.version);
    m_out.line();
    m_out.line();
    if (check.refusal)
        throw RunEnd{check.refusal->what(), 1};
    m_first = check.first;
    m_last = check.last;
}

void ScriptRun::runCommands() {
    if (!m_settings.verbose)
        m_out.write(texts::kExecuting);
    m_session.runCommands(m_first, m_last, !m_newVersion.empty(), *this, *this);
    if (!m_settings.verbose)
        m_out.line();
}

void ScriptRun::commandStarting(int n, const std::string& text) {
    if (!m_settings.verbose) {
        m_out.write(".");
    } else {
        m_out.writeColoured(Colour::BrightWhite, fill(texts::kCommandLabel, n));
        m_out.write(shownCommand(text));
    }
}

void ScriptRun::commandSucceeded(int) {
    if (m_settings.verbose)
        m_out.marker(true);
}

runner::FailureChoice ScriptRun::commandFailed(int n, const runner::RunFailure& failure,
                                               bool ignorable) {
    m_out.marker(false);
    m_out.line();
    m_out.writeColoured(Colour::BrightWhite, texts::kErrorLabel);
    m_out.write(failure.what());
    m_out.line();
    m_out.line();
    const std::string prompt =
        fill(texts::kErrorExecuting, n) +
        std::string(ignorable ? texts::kChoicesAbortRetryIgnore : texts::kChoicesAbortRetry);
    const char key = m_prompt.key(prompt, ignorable ? "ARI" : "AR", 'A');
    if (key == 'A')
        return runner::FailureChoice::Abort;
    if (!m_settings.verbose)
        m_out.write(texts::kExecuting);
    return key == 'I' ? runner::FailureChoice::Ignore : runner::FailureChoice::Retry;
}

} // namespace vt::console
