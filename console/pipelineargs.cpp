// The command lines of vtconsole's status and up commands: strict, for pipelines.
#include "console/pipelineargs.h"

#include "console/commandline.h"
#include "console/consoletexts.h"
#include "platform/asciitext.h"

namespace vt::console {

bool isPipelineCommand(const std::string& command) {
    return command == texts::kStatusCommand || command == texts::kUpCommand;
}

PipelineArgs PipelineArgs::parse(const std::vector<std::string>& args) {
    PipelineArgs result;
    result.command = CommandLine(args).command();
    struct Valued {
        const char* name;
        std::optional<std::string> PipelineArgs::*value;
    };
    const Valued valued[] = {
        {"alias", &PipelineArgs::alias},   {"dbname", &PipelineArgs::dbname},
        {"user", &PipelineArgs::user},     {"pass", &PipelineArgs::password},
        {"p", &PipelineArgs::pluginAlias}, {"file", &PipelineArgs::aliasConfigFile},
    };
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg[0] != '-') {
            result.paths.push_back(arg);
            continue;
        }
        std::string_view name(arg);
        name.remove_prefix(name.rfind("--", 0) == 0 ? 2 : 1);
        bool known = false;
        for (const Valued& v : valued) {
            if (!platform::equalsNoCase(name, v.name))
                continue;
            if (i + 1 >= args.size())
                throw UsageError(texts::fill(texts::kSwitchNeedsValue, arg));
            result.*v.value = args[++i];
            known = true;
            break;
        }
        if (platform::equalsNoCase(name, "json")) {
            result.json = known = true;
        } else if (platform::equalsNoCase(name, "init") && result.command == texts::kUpCommand) {
            result.init = known = true;
        }
        if (!known)
            throw UsageError(texts::fill(texts::kUnknownSwitch, arg));
    }
    if (result.paths.empty())
        throw UsageError(std::string(texts::kNoPaths));
    if (result.alias.has_value() == result.dbname.has_value())
        throw UsageError(std::string(texts::kOneDatabase));
    return result;
}

} // namespace vt::console
