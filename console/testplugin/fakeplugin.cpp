// A scriptable stand-in for the rSQL plug-in, for the console runner's tests.
//
// Every call is appended as one line to the file named by VT_FAKE_LOG. Results come from the
// environment, read by piInit:
//   VT_FAKE_ALIASES       piInit's alias list (default "ALPHA;BETA;")
//   VT_FAKE_INIT_ERROR    piInit fails (-1) with this text
//   VT_FAKE_CONNECT       dbConnect's result: 0 (default), 1, -1 or -2
//   VT_FAKE_CONNECT_ERROR the text of a failing dbConnect
//   VT_FAKE_FIRST/LAST    the command range CheckDataBaseParams yields (default 1..3)
//   VT_FAKE_DBCODE/DBVERSION  its code and version outputs (default FAKE and 1.0)
//   VT_FAKE_CHECK_ERROR   CheckDataBaseParams fails (-3) with this text
//   VT_FAKE_CHECKS        "v,v!,..." the version output of each CheckDataBaseParams call in
//                         turn, counted in the call log (the last one repeats), instead of
//                         VT_FAKE_DBVERSION; a "!" makes that call fail (-3)
//   VT_FAKE_COMMAND_<n>   the text of command n (default "SELECT <n>" CR LF)
//   VT_FAKE_MAKE_ERROR    the number of a command whose MakeSQLCommand fails (-4)
//   VT_FAKE_FAIL          "n:k,..." command n fails k times (0: always) in ExecrSQL (-5)
//   VT_FAKE_UPDATE_ERROR  UpDateVersion fails (-6) with this text
//   VT_FAKE_CAUSE         the VtErrorCause GetLastVTErrorCause gives after a failure (default
//                         VT_CAUSE_OTHER)
// Built a second time with the nine required functions but UpDateVersion, and without the
// optional GetLastVTErrorCause (VT_FAKE_MINIMAL), and a third time without ExecrSQL
// (VT_FAKE_WITHOUT_EXECRSQL), and a fourth time without piInit (VT_FAKE_WITHOUT_PIINIT).
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "plugin/vtutils.h"

namespace {

struct State {
    std::string result;
    std::string error;
    int code = 0;
    std::string dbCode;
    std::string dbVersion;
    int lastMade = 0;
    std::map<int, int> failures; // command -> failures left (-1: always)
};
State g;

std::string env(const char* name, const char* fallback = nullptr) {
    const char* value = std::getenv(name);
    return value ? value : (fallback ? fallback : "");
}

bool hasEnv(const char* name) {
    return std::getenv(name) != nullptr;
}

void log(const std::string& line) {
    std::string file = env("VT_FAKE_LOG");
    if (file.empty())
        return;
    if (FILE* f = std::fopen(file.c_str(), "ab")) {
        std::fputs((line + "\n").c_str(), f);
        std::fclose(f);
    }
}

// How many lines of the call log start with the text.
int loggedCalls(const std::string& prefix) {
    int count = 0;
    if (FILE* f = std::fopen(env("VT_FAKE_LOG").c_str(), "rb")) {
        char line[4096];
        while (std::fgets(line, sizeof line, f))
            count += std::string(line).rfind(prefix, 0) == 0;
        std::fclose(f);
    }
    return count;
}

int fail(int code, const std::string& text) {
    g.code = code;
    g.error = text;
    return code;
}

[[maybe_unused]] std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

} // namespace

extern "C" {

#ifndef VT_FAKE_WITHOUT_PIINIT
const char* piInit(const char* scriptFile, const char* aliasConfigFile) {
    g = State{};
    log(std::string("piInit|") + scriptFile + "|" + aliasConfigFile);
    std::string failures = env("VT_FAKE_FAIL");
    for (std::size_t start = 0; start < failures.size();) {
        std::size_t end = failures.find(',', start);
        if (end == std::string::npos)
            end = failures.size();
        std::string item = failures.substr(start, end - start);
        std::size_t colon = item.find(':');
        int n = std::atoi(item.substr(0, colon).c_str());
        int k = colon == std::string::npos ? 0 : std::atoi(item.substr(colon + 1).c_str());
        g.failures[n] = k == 0 ? -1 : k;
        start = end + 1;
    }
    if (hasEnv("VT_FAKE_INIT_ERROR")) {
        fail(-1, env("VT_FAKE_INIT_ERROR"));
        return "";
    }
    g.result = env("VT_FAKE_ALIASES", "ALPHA;BETA;");
    return g.result.c_str();
}
#endif

int dbConnect(const char* alias, const char* user, const char* password) {
    g.code = 0;
    log(std::string("dbConnect|") + alias + "|" + user + "|" + password);
    int result = std::atoi(env("VT_FAKE_CONNECT", "0").c_str());
    if (result < 0)
        return fail(result, env("VT_FAKE_CONNECT_ERROR", "cannot connect"));
    return result;
}

int CheckDataBaseParams(int* first, int* last, const char** code, const char** version,
                        unsigned char create) {
    g.code = 0;
    const int checksBefore = loggedCalls("CheckDataBaseParams|");
    log("CheckDataBaseParams|" + std::to_string(*first) + "|" + std::to_string(create));
    g.dbCode = env("VT_FAKE_DBCODE", "FAKE");
    g.dbVersion = env("VT_FAKE_DBVERSION", "1.0");
    bool refuse = hasEnv("VT_FAKE_CHECK_ERROR");
    if (hasEnv("VT_FAKE_CHECKS")) {
        const std::string list = env("VT_FAKE_CHECKS") + ",";
        std::size_t start = 0;
        for (int k = 0; k < checksBefore && list.find(',', start) + 1 < list.size(); ++k)
            start = list.find(',', start) + 1;
        g.dbVersion = list.substr(start, list.find(',', start) - start);
        refuse = !g.dbVersion.empty() && g.dbVersion.back() == '!';
        if (refuse)
            g.dbVersion.pop_back();
    }
    if (*code)
        *code = g.dbCode.c_str();
    if (*version)
        *version = g.dbVersion.c_str();
    if (refuse)
        return fail(-3, env("VT_FAKE_CHECK_ERROR", "version check refused"));
    *first = std::atoi(env("VT_FAKE_FIRST", "1").c_str());
    *last = std::atoi(env("VT_FAKE_LAST", "3").c_str());
    return 0;
}

const char* MakeSQLCommand(int n) {
    g.code = 0;
    g.result.clear();
    log("MakeSQLCommand|" + std::to_string(n));
    if (env("VT_FAKE_MAKE_ERROR") == std::to_string(n)) {
        fail(-4, "cannot build command " + std::to_string(n));
        return "";
    }
    g.lastMade = n;
    std::string name = "VT_FAKE_COMMAND_" + std::to_string(n);
    g.result = hasEnv(name.c_str()) ? env(name.c_str()) : "SELECT " + std::to_string(n) + "\r\n";
    return g.result.c_str();
}

#ifndef VT_FAKE_WITHOUT_EXECRSQL
int ExecrSQL(const char* command) {
    g.code = 0;
    log("ExecrSQL|" + escaped(command));
    auto it = g.failures.find(g.lastMade);
    if (it != g.failures.end() && it->second != 0) {
        if (it->second > 0)
            --it->second;
        return fail(-5, "failure of command " + std::to_string(g.lastMade));
    }
    return 0;
}
#endif

#ifndef VT_FAKE_MINIMAL
int UpDateVersion(void) {
    g.code = 0;
    log("UpDateVersion");
    if (hasEnv("VT_FAKE_UPDATE_ERROR"))
        return fail(-6, env("VT_FAKE_UPDATE_ERROR"));
    return 0;
}
#endif

int piDone(void) {
    g.code = 0;
    log("piDone");
    return 0;
}

int GetLastVTError(void) {
    return g.code;
}

const char* GetLastVTErrorMessage(void) {
    return g.error.empty()
               ? "\xCD\xE5\xE8\xE7\xE2\xE5\xF1\xF2\xED\xE0\xFF \xEE\xF8\xE8\xE1\xEA\xE0 DLL"
               : g.error.c_str();
}

#ifndef VT_FAKE_MINIMAL
int GetLastVTErrorCause(void) {
    return g.code == 0 ? VT_CAUSE_NONE : std::atoi(env("VT_FAKE_CAUSE", "8").c_str());
}
#endif

} // extern "C"
