// vtconsole: runs one rSQL script from the command line through a plug-in.
#include <unistd.h>

#include "console/consoleapp.h"
#include "console/stdterminal.h"

int main(int argc, char** argv) {
    using namespace vt::console;
    StdTerminal terminal(STDIN_FILENO, STDOUT_FILENO, StdTerminal::coloursWanted(STDOUT_FILENO));
    ConsoleApp app(terminal, ConsoleEnvironment::fromProcess());
    return app.run(CommandLine(argc, argv));
}
