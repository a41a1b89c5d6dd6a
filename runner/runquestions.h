// The questions a script run asks its user, answered by the console or by a window.
#pragma once

#include "runner/runfailure.h"

namespace vt::runner {

// What to do after a failed command.
enum class FailureChoice { Abort, Retry, Ignore };

// Asked by the run on its own thread; an implementation may block until the user answers (a
// window's implementation waits for its dialog on the window thread).
class RunQuestions {
public:
    virtual ~RunQuestions() = default;

    // R_VERSION is missing and the script is versioned: create it now?
    virtual bool createVersionTable() = 0;

    // Command n failed; ignorable is true for a script without a new version, the only kind
    // whose failed command may be skipped.
    virtual FailureChoice commandFailed(int n, const RunFailure& failure, bool ignorable) = 0;
};

} // namespace vt::runner
