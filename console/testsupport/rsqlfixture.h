// Test fixtures of the console runner: files and rSQL scripts.
#pragma once

#include <string>
#include <vector>

#include "script/rsqlwriter.h"
#include "testkit/tempdir.h"

namespace vt::console::testing {

using vt::testkit::TempDir;

// Writes the bytes to the file, replacing it.
void writeFile(const std::string& path, const std::string& bytes);
// The whole file ("" when it cannot be read).
std::string readFile(const std::string& path);
// The file's lines without line ends.
std::vector<std::string> readLines(const std::string& path);

// A script of the given commands (one line each), versioned when newVersion is not empty.
script::RsqlContent scriptContent(const std::string& code, const std::string& oldVersion,
                                  const std::string& newVersion,
                                  const std::vector<std::string>& commands);

// Counts the occurrences of needle in text.
std::size_t countOf(const std::string& text, const std::string& needle);

} // namespace vt::console::testing
