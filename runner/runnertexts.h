// The run workflow's own texts, declared once; English, so the same bytes in every code page.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include <fmt/format.h>

namespace vt::runner::texts {

// "{}" stands for the value filled in.
inline constexpr std::string_view kFunctionMissing =
    "Required function '{}' not defined in this library.";
inline constexpr std::string_view kScriptExtension = ".rsql";

// Collecting and chaining scripts.
inline constexpr std::string_view kCannotReadPath = "Cannot read {}: {}";
inline constexpr std::string_view kNoSuchPath = "{} does not exist";
inline constexpr std::string_view kNoScriptsIn = "No *.rsql scripts in {}";
inline constexpr std::string_view kUnsupportedFormat =
    "{}: script format version {} is newer than the highest supported, 1.2";
inline constexpr std::string_view kBadFormat = "{}: script format version '{}' is not a number";
inline constexpr std::string_view kFork =
    "{} and {} both start from version '{}': the chain forks, nothing was run";
inline constexpr std::string_view kHole =
    "No script leads from version '{}' to version '{}' ({}): the chain has a hole, nothing was "
    "run";
inline constexpr std::string_view kCycle =
    "The scripts' versions form a loop (through version '{}'): nothing was run";
inline constexpr std::string_view kNotInChain =
    "The database's version '{}' is neither the start of a script nor the end of the chain "
    "(scripts from '{}' to '{}'): nothing was run";
inline constexpr std::string_view kNoVersionTable =
    "The database has no R_VERSION table; run again with --init to create it";

// Outcomes of up.
inline constexpr std::string_view kUpToDate = "Database {} is up to date (version {})";
inline constexpr std::string_view kNothingChained =
    "No versioned scripts to bring the database up to date with (run unversioned ones with r)";

// A text with its "{}" places filled in.
template <typename... Args> std::string fill(std::string_view text, Args&&... args) {
    return fmt::format(fmt::runtime(text), std::forward<Args>(args)...);
}

} // namespace vt::runner::texts
