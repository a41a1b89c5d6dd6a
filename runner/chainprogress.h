// Progress of a run over several scripts, shown by the console or by a window.
#pragma once

#include "runner/runprogress.h"
#include "runner/scriptchain.h"

namespace vt::runner {

// Told by the run on its own thread, in the order of the run, around the commands of each script.
class ChainProgress : public RunProgress {
public:
    // The script is about to run commands first..last.
    virtual void scriptStarting(const ChainScript& script, int first, int last) = 0;
};

} // namespace vt::runner
