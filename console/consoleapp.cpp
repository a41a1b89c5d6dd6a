// The console runner vtconsole: banner, commands, usage, plug-in registry, loading and ending.
#include "console/consoleapp.h"

#include <cstdlib>
#include <exception>

#include "console/consoletexts.h"
#include "console/prompter.h"
#include "console/scriptrun.h"
#include "platform/paths.h"
#include "runner/runnertexts.h"
#include "script/inifile.h"

namespace vt::console {

using runner::PluginFunction;
using texts::fill;

namespace {

// The usage text: the left column is exactly 24 characters wide.
struct UsageRow {
    std::string_view left;
    std::string_view description;
};

constexpr UsageRow kCommandRows[] = {
    {"     r                  ", "Run rSQL-script"},
    {"     i alias=filename   ", "Register new plugin"},
};
constexpr UsageRow kFilenameRow = {"<Filename>              ", "rSQL-script file name"};
constexpr UsageRow kSwitchRows[] = {
    {"     -p PLUGIN_ALIAS    ", "Plugin name"},
    {"     -c                 ", "List available DB aliases"},
    {"     -v                 ", "Show each command"},
    {"     -s                 ", "Silent"},
    {"     -n                 ", "Do not show script comments"},
    {"     -dbname DBNAME     ", "Database file name"},
    {"     -alias DBALIAS     ", "Database alias"},
    {"     -user  USER        ", "Database user"},
    {"     -pass  PASS        ", "Database user password"},
    {"     -file  FILE        ", "DB aliases config file"},
};

// The plug-in functions looked up right after loading, in this order.
constexpr PluginFunction kBoundAtLoad[] = {
    PluginFunction::GetLastVTErrorMessage,
    PluginFunction::GetLastVTError,
    PluginFunction::MakeSQLCommand,
    PluginFunction::piDone,
};

} // namespace

ConsoleEnvironment ConsoleEnvironment::fromProcess() {
    ConsoleEnvironment env;
    env.programPath = platform::programFile();
    env.configFile = platform::settingsFile(std::string(texts::kConfigFileName));
    if (const char* password = std::getenv(std::string(texts::kPasswordVariable).c_str()))
        env.password = password;
    return env;
}

ConsoleApp::ConsoleApp(Terminal& terminal, ConsoleEnvironment environment)
    : m_out(terminal), m_env(std::move(environment)) {}

int ConsoleApp::run(const CommandLine& args) {
    banner();
    const std::string command = args.command();
    if (command == "r")
        return runScript(args);
    if (command == "i")
        return registerPlugin(args);
    return usage();
}

void ConsoleApp::banner() {
    m_out.writeRaw(m_env.programPath);
    m_out.writeRaw("\n");
    m_out.writeRaw(texts::kTitle);
    m_out.writeRaw("\n");
    m_out.writeRaw(texts::kNotice);
    m_out.writeRaw("\n\n");
}

int ConsoleApp::usage() {
    auto row = [&](const UsageRow& r) {
        m_out.writeRaw(r.left);
        m_out.line(r.description);
    };
    m_out.writeRaw(texts::kUsageCommandLine);
    m_out.writeRaw("\n\n<Commands>\n");
    for (const UsageRow& r : kCommandRows)
        row(r);
    row(kFilenameRow);
    m_out.writeRaw("[Switches]\n");
    for (const UsageRow& r : kSwitchRows)
        row(r);
    m_out.line();
    m_out.line(texts::kPressEnterToQuit);
    m_out.terminal().readLine();
    return 0;
}

int ConsoleApp::registerPlugin(const CommandLine& args) {
    const std::string entry = args.secondArgument();
    const std::size_t equals = entry.find('=');
    if (equals == std::string::npos || equals == 0)
        return 0;
    try {
        platform::ensureSettingsFolder();
        script::IniFile ini(m_env.configFile);
        ini.writeString(texts::kPluginSection, entry.substr(0, equals), entry.substr(equals + 1));
    } catch (const std::exception& e) {
        m_silent = args.hasSwitch("s");
        return finish(fill(texts::kCannotRegister, e.what()), 1);
    }
    return 0;
}

std::string loadRegisteredPlugin(runner::PluginLibrary& plugin, const std::string& configFile,
                                 const std::optional<std::string>& alias) {
    std::string file(texts::kDefaultPlugin);
    try {
        if (alias && !alias->empty()) {
            script::IniFile ini(configFile);
            if (std::string registered = ini.readString(texts::kPluginSection, *alias);
                !registered.empty())
                file = registered;
        }
    } catch (const std::exception& e) {
        return e.what();
    }
    if (!plugin.load(file)) {
        std::string message = fill(texts::kErrorLoadingLibrary, file);
        if (!plugin.loadError().empty())
            message += "\n" + plugin.loadError();
        return message;
    }
    for (PluginFunction function : kBoundAtLoad) {
        if (!plugin.bind(function))
            return fill(runner::texts::kFunctionMissing, runner::pluginFunctionName(function));
    }
    return {};
}

int ConsoleApp::runScript(const CommandLine& args) {
    m_silent = args.hasSwitch("s");
    RunSettings settings;
    settings.silent = m_silent;
    settings.verbose = args.hasSwitch("v");
    settings.showComments = !args.hasSwitch("n");
    settings.listAliases = args.hasSwitch("c") && !m_silent;
    settings.aliasConfigFile =
        args.switchValue("file").value_or(std::string(texts::kDefaultAliasConfig));

    if (std::string problem =
            loadRegisteredPlugin(m_plugin, m_env.configFile, args.switchValue("p"));
        !problem.empty())
        return finish(problem, 1);

    Prompter prompter(m_out, args, m_silent, m_env.password);
    ScriptRun run(m_out, prompter, m_plugin, args, std::move(settings));
    const RunEnd end = run.execute();
    return finish(end.message, end.code);
}

int ConsoleApp::finish(const std::string& message, int code) {
    m_out.line();
    if (!message.empty()) {
        if (code != 0)
            m_out.writeColoured(Colour::BrightWhite, texts::kErrorLabel);
        m_out.line(message);
        m_out.line();
    }
    if (m_plugin.isBound(PluginFunction::piDone))
        m_plugin.piDone();
    if (!m_silent) {
        m_out.write(texts::kPressEnterToQuit);
        std::optional<std::string> answer = m_out.terminal().readLine();
        if (!m_out.terminal().inputIsTerminal() || !answer)
            m_out.writeRaw("\n");
    }
    m_plugin.unload();
    return code;
}

} // namespace vt::console
