// The command line of vtconvert: script kinds and the two script conversions.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "desktop/scripts/scriptkinds.h"

namespace vt::desktop {

// Parses vtconvert's arguments and runs the conversion they ask for. Kinds come from
// sqltools.ini in the settings folder. Messages go to the error stream in the terminal's
// charset; the kinds listing goes to the output stream.
class ConvertCommand final {
public:
    ConvertCommand(std::ostream& out, std::ostream& err);

    // Runs the command given by the arguments (without the program name); returns the exit
    // code: 0 on success, 1 on any failure.
    int run(const std::vector<std::string>& args);

    // The usage text.
    static std::string usage();

private:
    struct Options;
    // The chosen script kind, when there is one and the output file may be written; otherwise
    // the reason has been reported and the result is empty.
    std::optional<ScriptKind> kindForOutput(const Options& options, const std::string& inputFile,
                                            const std::string& outputFile);
    int convertToRsql(const Options& options);
    int convertToSql(const Options& options);
    int listKinds();
    void fail(const std::string& utf8Message);
    void inform(const std::string& utf8Message);

    std::ostream& m_out;
    std::ostream& m_err;
};

} // namespace vt::desktop
