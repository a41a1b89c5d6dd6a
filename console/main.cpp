// vtconsole: runs rSQL scripts from the command line through a plug-in.
#include <iostream>
#include <unistd.h>

#include "console/consoleapp.h"
#include "console/pipelineapp.h"
#include "console/stdterminal.h"

int main(int argc, char** argv) {
    using namespace vt::console;
    const CommandLine args(argc, argv);
    if (isPipelineCommand(args.command())) {
        // Kept, with its plug-in loaded, to the end of the process, which follows the run at
        // once: the thread-local storage of the libraries loaded with the plug-in (through libpq:
        // Kerberos, GnuTLS, OpenSSL) stays valid for the exit handlers, which the leak checker
        // of the sanitizer builds walks.
        static PipelineApp* app =
            new PipelineApp(std::cout, std::cerr, ConsoleEnvironment::fromProcess());
        return app->run(args.arguments());
    }
    StdTerminal terminal(STDIN_FILENO, STDOUT_FILENO, StdTerminal::coloursWanted(STDOUT_FILENO));
    ConsoleApp app(terminal, ConsoleEnvironment::fromProcess());
    return app.run(args);
}
