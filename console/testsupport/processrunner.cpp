// Runs a program with pipes or on a pseudo-terminal: input, captured output, exit code, time limit.
#include "console/testsupport/processrunner.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vt::console::testing {
namespace {

struct Child {
    pid_t pid = -1;
    int in = -1;  // what we write
    int out = -1; // what we read (stdout, or the terminal)
    int err = -1; // stderr (pipes only)
};

std::vector<std::string> environmentOf(const ProcessLaunch& launch) {
    std::map<std::string, std::string> vars;
    for (char** e = environ; *e; ++e) {
        std::string entry(*e);
        std::size_t eq = entry.find('=');
        if (eq != std::string::npos)
            vars[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    for (const auto& name : launch.unset)
        vars.erase(name);
    for (const auto& [k, v] : launch.env)
        vars[k] = v;
    std::vector<std::string> out;
    for (const auto& [k, v] : vars)
        out.push_back(k + "=" + v);
    return out;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> p;
    for (auto& s : strings)
        p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

Child start(const ProcessLaunch& launch, bool onTerminal) {
    std::vector<std::string> envStrings = environmentOf(launch);
    std::vector<std::string> argStrings{launch.program};
    argStrings.insert(argStrings.end(), launch.args.begin(), launch.args.end());
    auto envp = pointers(envStrings);
    auto argv = pointers(argStrings);

    Child child;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    std::vector<int> childSide;
    if (onTerminal) {
        int master, slave;
        if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
            throw std::runtime_error("openpty failed");
        fcntl(master, F_SETFD, FD_CLOEXEC);
        fcntl(slave, F_SETFD, FD_CLOEXEC);
        for (int fd = 0; fd < 3; ++fd)
            posix_spawn_file_actions_adddup2(&actions, slave, fd);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
        child.in = master;
        child.out = master;
        childSide = {slave};
    } else {
        int in[2], out[2], err[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        child.in = in[1];
        child.out = out[0];
        child.err = err[0];
        childSide = {in[0], out[1], err[1]};
    }
    int rc =
        posix_spawn(&child.pid, launch.program.c_str(), &actions, &attr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    for (int fd : childSide)
        close(fd);
    if (rc != 0)
        throw std::runtime_error("cannot start " + launch.program + ": " + std::strerror(rc));
    return child;
}

// Feeds input and steps, collects output until the child closes it or the time runs out.
ProcessResult talk(const ProcessLaunch& launch, Child child, const std::string& input,
                   const std::vector<Step>& steps, bool onTerminal) {
    std::signal(SIGPIPE, SIG_IGN);
    ProcessResult result;
    std::string pending = input;
    std::size_t stepIndex = 0;
    std::size_t searchFrom = 0;
    bool inputOpen = true;
    auto closeInput = [&] {
        if (!onTerminal && child.in >= 0) {
            close(child.in);
            child.in = -1;
        }
        inputOpen = false;
    };
    auto advance = [&] {
        while (stepIndex < steps.size() && pending.empty()) {
            const Step& step = steps[stepIndex];
            std::size_t at = result.output.find(step.expect, searchFrom);
            if (at == std::string::npos)
                return;
            searchFrom = at + step.expect.size();
            if (step.action)
                step.action();
            pending = step.send;
            ++stepIndex;
            result.stepsDone = stepIndex;
        }
        if (stepIndex == steps.size() && pending.empty() && inputOpen)
            closeInput();
    };
    advance();

    bool outOpen = true, errOpen = child.err >= 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(launch.timeoutSeconds);
    while (outOpen || errOpen) {
        pollfd fds[3];
        int count = 0;
        int outIndex = -1, errIndex = -1, inIndex = -1;
        if (outOpen) {
            outIndex = count;
            fds[count++] = {child.out, POLLIN, 0};
        }
        if (errOpen) {
            errIndex = count;
            fds[count++] = {child.err, POLLIN, 0};
        }
        if (!pending.empty() && child.in >= 0) {
            if (onTerminal && outIndex >= 0) {
                fds[outIndex].events |= POLLOUT;
                inIndex = outIndex;
            } else {
                inIndex = count;
                fds[count++] = {child.in, POLLOUT, 0};
            }
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) {
            kill(child.pid, SIGKILL);
            result.timedOut = true;
            break;
        }
        if (poll(fds, static_cast<nfds_t>(count), static_cast<int>(left)) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (inIndex >= 0 && (fds[inIndex].revents & POLLOUT)) {
            ssize_t n = write(child.in, pending.data(), pending.size());
            if (n > 0)
                pending.erase(0, static_cast<std::size_t>(n));
            else if (n < 0 && errno != EINTR && errno != EAGAIN)
                pending.clear();
            advance();
        }
        for (int index : {outIndex, errIndex}) {
            if (index < 0 || (fds[index].revents & (POLLIN | POLLHUP | POLLERR)) == 0)
                continue;
            char buf[8192];
            ssize_t n = read(fds[index].fd, buf, sizeof buf);
            std::string& target = index == outIndex ? result.output : result.errors;
            if (n > 0) {
                target.append(buf, static_cast<std::size_t>(n));
                if (index == outIndex)
                    advance();
            } else if (n == 0 || errno != EINTR) {
                (index == outIndex ? outOpen : errOpen) = false;
            }
        }
    }
    if (child.in >= 0 && child.in != child.out)
        close(child.in);
    close(child.out);
    if (child.err >= 0)
        close(child.err);
    int status = 0;
    while (waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!result.timedOut && WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    return result;
}

} // namespace

ProcessResult runProcess(const ProcessLaunch& launch, const std::string& input) {
    return talk(launch, start(launch, false), input, {}, false);
}

ProcessResult runConversation(const ProcessLaunch& launch, const std::vector<Step>& steps,
                              bool onTerminal) {
    return talk(launch, start(launch, onTerminal), {}, steps, onTerminal);
}

} // namespace vt::console::testing
