// The command line of vtconvert: script kinds and the two script conversions.
#include "desktop/scripts/convertcommand.h"

#include <cstdlib>
#include <exception>
#include <map>
#include <optional>
#include <ostream>
#include <sys/stat.h>

#include "desktop/scripts/rsqltosqlconverter.h"
#include "desktop/scripts/scriptkinds.h"
#include "desktop/scripts/scripttexts.h"
#include "desktop/scripts/sqltorsqlconverter.h"
#include "desktop/scripts/textlines.h"
#include "platform/codepage.h"
#include "platform/exception.h"
#include "platform/paths.h"
#include "script/inifile.h"

namespace vt::desktop {

namespace {

// The script password only: VT_PASSWORD is the database password of the runners and never
// scrambles a script.
constexpr const char* kPasswordVariable = "VT_SCRIPT_PASSWORD";

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string toTerminal(const std::string& utf8) {
    return platform::ansiToTerminal(platform::utf8ToAnsi(utf8));
}

std::string toAnsi(const std::string& typed) {
    return platform::terminalToAnsi(typed);
}

// Splits a typed comment at its line breaks into comment lines.
void appendCommentLines(const std::string& typed, std::vector<std::string>& lines) {
    const std::string ansi = toAnsi(typed);
    const std::vector<std::string_view> parts = splitLines(ansi);
    if (parts.empty())
        lines.emplace_back();
    for (std::string_view part : parts)
        lines.emplace_back(part);
}

} // namespace

struct ConvertCommand::Options {
    std::string command;
    std::vector<std::string> files;
    std::map<std::string, std::string> values; // option name without "--" -> typed value
    std::vector<std::string> comments;
    bool force = false;

    std::optional<std::string> value(const std::string& name) const {
        const auto it = values.find(name);
        if (it == values.end())
            return std::nullopt;
        return it->second;
    }
};

ConvertCommand::ConvertCommand(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

std::string ConvertCommand::usage() {
    return "Usage:\n"
           "  vtconvert sql2rsql SQLFILE RSQLFILE [--kind NAME] [--code CODE] [--old VERSION]\n"
           "            [--new VERSION] [--user USER] [--comment LINE]... [--password PASSWORD]\n"
           "            [--force]\n"
           "  vtconvert rsql2sql RSQLFILE SQLFILE [--kind NAME] [--term TERMINATOR]\n"
           "            [--password PASSWORD] [--force]\n"
           "  vtconvert kinds\n"
           "\n"
           "sql2rsql splits a plain SQL script into the commands of an rSQL script; rsql2sql\n"
           "writes an rSQL script back as SQL; kinds lists the script kinds ('*' marks the\n"
           "default). Script kinds come from sqltools.ini in the settings folder; without\n"
           "--kind the default kind is used. The code and user default to the kind's DBCode\n"
           "and UserName, the terminator to the kind's terminator. --password (or\n"
           "VT_SCRIPT_PASSWORD in the environment) scrambles the written rSQL script or unlocks\n"
           "a scrambled one. An existing output file is replaced only with --force; a symbolic\n"
           "link at the output path is replaced by the new file, never written through; the file\n"
           "being converted is never replaced.\n";
}

void ConvertCommand::fail(const std::string& utf8Message) {
    m_err << "vtconvert: " << toTerminal(utf8Message) << '\n';
}

void ConvertCommand::inform(const std::string& utf8Message) {
    m_err << toTerminal(utf8Message) << '\n';
}

int ConvertCommand::run(const std::vector<std::string>& args) {
    if (args.empty()) {
        m_err << usage();
        return 1;
    }
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        m_out << usage();
        return 0;
    }

    Options options;
    options.command = args[0];
    struct Allowed {
        std::string command;
        std::vector<std::string> names;
        std::size_t files;
    };
    static const std::vector<Allowed> allowed = {
        {"sql2rsql", {"kind", "code", "old", "new", "user", "comment", "password", "force"}, 2},
        {"rsql2sql", {"kind", "term", "password", "force"}, 2},
        {"kinds", {}, 0},
    };
    const Allowed* syntax = nullptr;
    for (const Allowed& a : allowed) {
        if (a.command == options.command)
            syntax = &a;
    }
    auto usageError = [&](const std::string& message) {
        fail(message);
        m_err << usage();
        return 1;
    };
    if (!syntax)
        return usageError("unknown command '" + options.command + "'");

    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            options.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg.substr(2);
        std::optional<std::string> inlineValue;
        if (const std::size_t eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        bool known = false;
        for (const std::string& n : syntax->names)
            known = known || n == name;
        if (!known)
            return usageError("unknown option '--" + name + "'");
        if (name == "force") {
            if (inlineValue)
                return usageError("--force takes no value");
            options.force = true;
            continue;
        }
        std::string value;
        if (inlineValue) {
            value = *inlineValue;
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return usageError("--" + name + " needs a value");
        }
        if (name == "comment")
            options.comments.push_back(value);
        else
            options.values[name] = value;
    }
    if (options.files.size() != syntax->files)
        return usageError("'" + options.command + "' takes " + std::to_string(syntax->files) +
                          " file names");

    try {
        if (options.command == "kinds")
            return listKinds();
        if (options.command == "sql2rsql")
            return convertToRsql(options);
        return convertToSql(options);
    } catch (const vt::Exception& e) {
        fail(e.message());
    } catch (const std::exception& e) {
        fail(e.what());
    }
    return 1;
}

namespace {

// The kind the options name, or the default kind; nullopt after reporting why there is none.
std::optional<ScriptKind> chooseKind(script::IniFile& ini,
                                     const std::optional<std::string>& typedName,
                                     std::string& problem) {
    ScriptKinds kinds(ini);
    if (typedName) {
        if (std::optional<ScriptKind> kind = kinds.find(toAnsi(*typedName)))
            return kind;
        problem = "no script kind named '" + *typedName + "' in " + ini.path();
        return std::nullopt;
    }
    if (std::optional<std::string> name = kinds.defaultKindName())
        return kinds.load(*name);
    if (kinds.names().empty())
        problem = "no script kinds in " + ini.path();
    else
        problem = "no default script kind in " + ini.path() + "; name one with --kind";
    return std::nullopt;
}

std::optional<std::string> passwordOption(const std::optional<std::string>& typed) {
    if (typed)
        return toAnsi(*typed);
    const char* env = std::getenv(kPasswordVariable);
    if (env && *env)
        return toAnsi(env);
    return std::nullopt;
}

} // namespace

std::optional<ScriptKind> ConvertCommand::kindForOutput(const Options& options,
                                                        const std::string& inputFile,
                                                        const std::string& outputFile) {
    script::IniFile ini(platform::settingsFile("sqltools.ini"));
    std::string problem;
    std::optional<ScriptKind> kind = chooseKind(ini, options.value("kind"), problem);
    if (!kind) {
        fail(problem);
        return std::nullopt;
    }
    // Not even --force writes over the script being read: it would be lost.
    if (platform::sameFile(inputFile, outputFile)) {
        fail(outputFile + " is the file being converted; give the output another name");
        return std::nullopt;
    }
    if (!options.force && fileExists(outputFile)) {
        fail(outputFile + " exists; --force replaces it");
        return std::nullopt;
    }
    return kind;
}

int ConvertCommand::convertToRsql(const Options& options) {
    const std::string& sqlFile = options.files[0];
    const std::string& rsqlFile = options.files[1];
    const std::optional<ScriptKind> kind = kindForOutput(options, sqlFile, rsqlFile);
    if (!kind)
        return 1;

    RsqlHeaderValues header;
    const std::optional<std::string> code = options.value("code");
    header.code = code ? toAnsi(*code) : kind->dbCode;
    header.oldVersion = toAnsi(options.value("old").value_or(""));
    header.newVersion = toAnsi(options.value("new").value_or(""));
    const std::optional<std::string> user = options.value("user");
    header.user = user ? toAnsi(*user) : kind->userName;
    for (const std::string& comment : options.comments)
        appendCommentLines(comment, header.comments);
    if (const std::optional<std::string> password = passwordOption(options.value("password"))) {
        header.crypt = true;
        header.password = *password;
    }
    if (!canConvertToRsql(sqlFile, rsqlFile, true, header.oldVersion, header.code)) {
        fail("an old version needs a database code (--code, or DBCode of the kind)");
        return 1;
    }

    const SqlToRsqlConverter converter(SplitSettings::fromKind(*kind));
    if (converter.convert(sqlFile, rsqlFile, header) == 0)
        inform(std::string(texts::kNoCommandsAdded));
    return 0;
}

int ConvertCommand::convertToSql(const Options& options) {
    const std::string& rsqlFile = options.files[0];
    const std::string& sqlFile = options.files[1];
    const std::optional<ScriptKind> kind = kindForOutput(options, rsqlFile, sqlFile);
    if (!kind)
        return 1;
    const std::optional<std::string> term = options.value("term");
    const std::string terminator = term ? toAnsi(*term) : kind->delimiter;
    const std::string password = passwordOption(options.value("password")).value_or("");

    const RsqlToSqlConverter converter(*kind);
    if (converter.convert(rsqlFile, sqlFile, terminator, password) ==
        RsqlToSqlConverter::Result::WrongPassword) {
        fail(std::string(texts::kWrongPassword));
        return 1;
    }
    return 0;
}

int ConvertCommand::listKinds() {
    script::IniFile ini(platform::settingsFile("sqltools.ini"));
    ScriptKinds kinds(ini);
    const std::vector<std::string> names = kinds.names();
    if (names.empty()) {
        inform("no script kinds in " + ini.path());
        return 0;
    }
    const std::optional<std::string> defaultName = kinds.defaultKindName();
    for (const std::string& name : names) {
        m_out << (defaultName && *defaultName == name ? "* " : "  ")
              << platform::ansiToTerminal(name) << '\n';
    }
    return 0;
}

} // namespace vt::desktop
