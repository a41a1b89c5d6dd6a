// How a console run ends: the message for the ending routine and the exit code.
#pragma once

#include <string>

namespace vt::console {

// The end of a run. Thrown where a step ends the run and handed to the ending routine, which
// prints the message (ANSI code page; none when empty) and ends with the code.
struct RunEnd {
    std::string message;
    int code = 0;
};

} // namespace vt::console
