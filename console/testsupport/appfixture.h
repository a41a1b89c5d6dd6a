// A test fixture that runs the console runner in memory with the scriptable fake plug-in.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "console/commandline.h"
#include "console/consoleapp.h"
#include "console/memoryterminal.h"
#include "console/testsupport/rsqlfixture.h"
#include "platform/codepage.h"
#include "script/rsqlwriter.h"

namespace vt::console::testing {

// What one in-memory run left behind.
struct Outcome {
    int code = 0;
    std::string output;
    std::vector<std::string> calls; // the fake plug-in's call log
    std::size_t unreadLines = 0;    // input lines the run did not read
};

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name :
             {"VT_FAKE_ALIASES", "VT_FAKE_INIT_ERROR", "VT_FAKE_CONNECT", "VT_FAKE_CONNECT_ERROR",
              "VT_FAKE_FIRST", "VT_FAKE_LAST", "VT_FAKE_DBCODE", "VT_FAKE_DBVERSION",
              "VT_FAKE_CHECK_ERROR", "VT_FAKE_MAKE_ERROR", "VT_FAKE_FAIL", "VT_FAKE_UPDATE_ERROR",
              "VT_FAKE_COMMAND_1", "VT_FAKE_COMMAND_2", "VT_FAKE_COMMAND_3", "VT_FAKE_CAUSE",
              "VT_FAKE_CHECKS"})
            unsetenv(name);
        setenv("VT_FAKE_LOG", logFile().c_str(), 1);
        setenv("VT_CONFIG_DIR", dir.path().c_str(), 1);
        setenv("LC_ALL", "C.UTF-8", 1);
        platform::setAnsiCodePage(platform::AnsiCodePage::Cp1251);
        writeFile(configFile(), std::string("[Plugin]\r\nfake=") + VT_FAKE_PLUGIN +
                                    "\r\nnoupdate=" + VT_FAKE_PLUGIN_NOUPDATE +
                                    "\r\nnoexec=" + VT_FAKE_PLUGIN_NOEXEC + "\r\n");
        script::RsqlContent content = scriptContent("SHOP", "", "1.0", {"a", "b", "c"});
        content.user = "owner";
        content.comments = {"First comment", "Second comment"};
        scriptPath = writeScript("upd.rsql", content);
    }

    std::string logFile() const { return dir.file("calls.log"); }
    std::string configFile() const { return dir.file("vtconsole.ini"); }

    std::string writeScript(const std::string& name, const script::RsqlContent& content) {
        std::string path = dir.file(name);
        script::writeRsqlScript(path, content);
        return path;
    }

    Outcome run(std::vector<std::string> args, const std::string& input = {},
                std::optional<std::string> password = std::nullopt, bool colours = false) {
        MemoryTerminal terminal(input);
        terminal.setRecordColours(colours);
        ConsoleEnvironment env{"/opt/vantrel/vtconsole", configFile(), password};
        ConsoleApp app(terminal, env);
        Outcome outcome;
        outcome.code = app.run(CommandLine(std::move(args)));
        outcome.output = terminal.output();
        outcome.calls = readLines(logFile());
        outcome.unreadLines = terminal.pendingLines();
        return outcome;
    }

    // A run of the default script with the fake plug-in, the alias and the password given.
    Outcome runFake(std::vector<std::string> extra, const std::string& input = {}) {
        std::vector<std::string> args{"r",      scriptPath, "-p",    "fake",
                                      "-alias", "ALPHA",    "-pass", "pw"};
        args.insert(args.end(), extra.begin(), extra.end());
        return run(args, input);
    }

    TempDir dir;
    std::string scriptPath;
};

// The calls of a log that name the given function.
inline std::vector<std::string> callsOf(const std::vector<std::string>& calls,
                                        const std::string& function) {
    std::vector<std::string> out;
    for (const auto& c : calls)
        if (c.rfind(function, 0) == 0)
            out.push_back(c);
    return out;
}

} // namespace vt::console::testing
