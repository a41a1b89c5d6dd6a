// vtconsole: runs rSQL scripts from the command line through a plug-in.
#include <iostream>
#include <unistd.h>

#include "console/consoleapp.h"
#include "console/pipelineapp.h"
#include "console/stdterminal.h"

int main(int argc, char** argv) {
    using namespace vt::console;
    const CommandLine args(argc, argv);
    if (isPipelineCommand(args.command()))
        return PipelineApp(std::cout, std::cerr, ConsoleEnvironment::fromProcess())
            .run(args.arguments());
    StdTerminal terminal(STDIN_FILENO, STDOUT_FILENO, StdTerminal::coloursWanted(STDOUT_FILENO));
    ConsoleApp app(terminal, ConsoleEnvironment::fromProcess());
    return app.run(args);
}
