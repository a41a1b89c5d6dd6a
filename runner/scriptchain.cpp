// The scripts of an update: collected from files and folders, and ordered by their versions.
#include "runner/scriptchain.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

#include "platform/asciitext.h"
#include "platform/codepage.h"
#include "runner/runfailure.h"
#include "runner/runnertexts.h"
#include "script/inifile.h"

namespace vt::runner {
namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(FailureCause cause, const std::string& text) {
    throw RunFailure(cause, text);
}

// A file name as text of the ANSI code page (file names are UTF-8 bytes).
std::string shown(const std::string& path) {
    return platform::utf8ToAnsi(path);
}

ChainScript readScript(const std::string& path) {
    try {
        return ChainScript{path, script::RsqlScript(path).header()};
    } catch (const script::IniError& e) {
        fail(FailureCause::Script, texts::fill(texts::kCannotReadPath, shown(path), e.what()));
    }
}

std::vector<std::string> scriptsInFolder(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::path& p = it->path();
        std::error_code typeError;
        if (p.extension() == texts::kScriptExtension && it->is_regular_file(typeError))
            files.push_back(p.string());
    }
    if (error)
        fail(FailureCause::Script, texts::fill(texts::kCannotReadPath, shown(folder),
                                               platform::utf8ToAnsi(error.message())));
    if (files.empty())
        fail(FailureCause::Script, texts::fill(texts::kNoScriptsIn, shown(folder)));
    std::sort(files.begin(), files.end());
    return files;
}

std::string fileName(const ChainScript& s) {
    return shown(fs::path(s.path).filename().string());
}

} // namespace

std::vector<ChainScript> collectScripts(const std::vector<std::string>& paths) {
    std::vector<ChainScript> scripts;
    for (const std::string& path : paths) {
        std::error_code error;
        if (fs::is_directory(path, error)) {
            for (const std::string& file : scriptsInFolder(path))
                scripts.push_back(readScript(file));
        } else if (fs::is_regular_file(path, error)) {
            scripts.push_back(readScript(path));
        } else {
            fail(FailureCause::Script, texts::fill(texts::kNoSuchPath, shown(path)));
        }
    }
    return scripts;
}

bool meantFor(const script::RsqlHeader& header, const std::string& databaseCode) {
    const std::string& code = header.code;
    return databaseCode.empty() || code == script::kEverything ||
           platform::equalsNoCase(code, databaseCode);
}

void checkScriptFormat(const ChainScript& script) {
    const std::string& version = script.header.formatVersion;
    try {
        if (script::parseFormatVersion(version) > script::kMaxFormatVersion)
            fail(FailureCause::Script,
                 texts::fill(texts::kUnsupportedFormat, shown(script.path), version));
    } catch (const script::FormatVersionError&) {
        fail(FailureCause::Script, texts::fill(texts::kBadFormat, shown(script.path), version));
    }
}

ScriptChain::ScriptChain(std::vector<ChainScript> scripts) {
    std::map<std::string, std::size_t> byOldVersion; // versioned scripts by where they start
    std::vector<ChainScript> versioned;
    for (ChainScript& s : scripts) {
        if (!s.versioned()) {
            m_unversioned.push_back(std::move(s));
            continue;
        }
        auto [at, inserted] = byOldVersion.emplace(s.header.oldVersion, versioned.size());
        if (!inserted)
            fail(FailureCause::Version, texts::fill(texts::kFork, fileName(versioned[at->second]),
                                                    fileName(s), s.header.oldVersion));
        versioned.push_back(std::move(s));
    }
    if (versioned.empty())
        return;

    // The pieces of the chain start where no other script ends.
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < versioned.size(); ++i) {
        const bool reached = std::any_of(versioned.begin(), versioned.end(), [&](const auto& o) {
            return o.header.newVersion == versioned[i].header.oldVersion;
        });
        if (!reached)
            starts.push_back(i);
    }
    if (starts.empty())
        fail(FailureCause::Version, texts::fill(texts::kCycle, versioned[0].header.oldVersion));

    std::vector<bool> taken(versioned.size(), false);
    auto follow = [&](std::size_t i) {
        std::vector<std::size_t> piece;
        while (!taken[i]) {
            taken[i] = true;
            piece.push_back(i);
            auto next = byOldVersion.find(versioned[i].header.newVersion);
            if (next == byOldVersion.end())
                break;
            i = next->second;
        }
        return piece;
    };
    std::vector<std::vector<std::size_t>> pieces;
    for (std::size_t start : starts)
        pieces.push_back(follow(start));
    if (pieces.size() > 1) {
        // Name the hole in file order: the end of the first piece, the start of the next one.
        std::sort(pieces.begin(), pieces.end());
        const ChainScript& end = versioned[pieces[0].back()];
        const ChainScript& next = versioned[pieces[1].front()];
        fail(FailureCause::Version, texts::fill(texts::kHole, end.header.newVersion,
                                                next.header.oldVersion, fileName(next)));
    }
    for (std::size_t i = 0; i < versioned.size(); ++i) {
        if (!taken[i]) // a loop beside the chain
            fail(FailureCause::Version, texts::fill(texts::kCycle, versioned[i].header.oldVersion));
    }
    for (std::size_t i : pieces[0])
        m_ordered.push_back(std::move(versioned[i]));
}

std::optional<std::size_t> ScriptChain::startFor(const std::string& databaseVersion) const {
    if (m_ordered.empty())
        return 0;
    for (std::size_t i = 0; i < m_ordered.size(); ++i) {
        if (m_ordered[i].header.oldVersion == databaseVersion)
            return i;
    }
    if (m_ordered.back().header.newVersion == databaseVersion)
        return m_ordered.size();
    if (databaseVersion.empty())
        return 0;
    return std::nullopt;
}

} // namespace vt::runner
