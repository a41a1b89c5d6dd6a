// vtutils_run: runs one rSQL script through a plug-in the way a silent runner does; the kill
// test starts it as a child process and kills it.
//
//   vtutils_run LIBRARY SCRIPT ALIAS USER PASSWORD [STOP_AFTER[:PAUSE_MS]]
//   vtutils_run LIBRARY --last-error
//
// With STOP_AFTER k the process kills itself (SIGKILL) right after command k has returned; with
// k:ms it sleeps ms milliseconds there instead (holding the database's run lock) and goes on.
// Prints one line: "completed", "refused: <message>" or "failed <step>: <message>".
// Exit code: 0 completed, 3 refused by the version check, 4 any other failure, 2 bad usage.
// With --last-error it only loads the plug-in and prints GetLastVTError, a blank and
// GetLastVTErrorMessage: the state of a freshly loaded plug-in.
#include "plugin/testkit/vtutilsapi.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <thread>

using vt::plugin::testkit::VtUtilsApi;

namespace {

int failed(const VtUtilsApi& api, const char* step) {
    std::printf("failed %s: %s\n", step, api.lastMessage().c_str());
    api.piDone();
    return 4;
}

int run(int argc, char** argv) {
    if (argc == 3 && std::string(argv[2]) == "--last-error") {
        VtUtilsApi api(argv[1]);
        std::printf("%d %s\n", api.GetLastVTError(), api.lastMessage().c_str());
        return 0;
    }
    if (argc < 6) {
        std::fprintf(stderr, "usage: vtutils_run LIBRARY SCRIPT ALIAS USER PASSWORD [STOP]\n");
        return 2;
    }
    char* pause = nullptr;
    const long stopAfter = argc > 6 ? std::strtol(argv[6], &pause, 10) : 0;
    const long pauseMs = pause && *pause == ':' ? std::strtol(pause + 1, nullptr, 10) : 0;
    VtUtilsApi api(argv[1]);
    api.piInit(argv[2], "");
    if (api.GetLastVTError() != 0)
        return failed(api, "piInit");
    const int connected = api.dbConnect(argv[3], argv[4], argv[5]);
    if (connected < 0)
        return failed(api, "dbConnect");
    int first = 1, last = 0;
    const char* code = "";
    const char* version = "";
    if (api.CheckDataBaseParams(&first, &last, &code, &version, connected == 1 ? 1 : 0) != 0) {
        std::printf("refused: %s\n", api.lastMessage().c_str());
        api.piDone();
        return 3;
    }
    for (int n = first; n <= last; ++n) {
        const std::string command = api.MakeSQLCommand(n);
        if (api.ExecrSQL(command.c_str()) != 0)
            return failed(api, "ExecrSQL");
        if (n == stopAfter && pauseMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
        else if (n == stopAfter)
            std::raise(SIGKILL);
    }
    if (api.UpDateVersion() != 0)
        return failed(api, "UpDateVersion");
    if (api.piDone() != 0)
        return failed(api, "piDone");
    std::printf("completed\n");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::printf("failed load: %s\n", e.what());
        return 4;
    }
}
