// Progress of a script run, shown by the console or by a window.
#pragma once

#include <string>

namespace vt::runner {

// Told by the run on its own thread, in the order of the run; an implementation must not call
// back into the run.
class RunProgress {
public:
    virtual ~RunProgress() = default;

    // Command n was fetched (text in the ANSI code page) and is about to be executed.
    virtual void commandStarting(int n, const std::string& text) = 0;

    // Command n was executed successfully.
    virtual void commandSucceeded(int n) = 0;

    // Asked after each command that ended (executed or ignored): true stops the run before the
    // next one. A window's Cancel sets it from its own thread.
    virtual bool stopRequested() { return false; }
};

} // namespace vt::runner
