// vtconvert: converts SQL scripts to rSQL scripts and back from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "desktop/scripts/convertcommand.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return vt::desktop::ConvertCommand(std::cout, std::cerr).run(args);
}
