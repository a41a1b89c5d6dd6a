// TrFileLocation: where a bare file name of the error handler is placed.
#pragma once

#include <QString>
#include <cstdint>

namespace vt::desktop {

enum TrFileLocation : uint8_t {
    flDefault = 0, // a bare name lies in the settings folder
    flProgram = 1, // a bare name lies in the folder of the running program
    flModule = 2,  // a bare name lies in the folder of the module holding the error handling
};

// The file name completed for the location; a name with a folder part is used as given.
QString completeFileName(const QString& name, TrFileLocation location);

} // namespace vt::desktop
