#include "unitsimprocess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testsupport {

namespace {

std::string simulatorPath()
{
    const char* path = std::getenv("VAREN_UNITSIM");
    if (!path || !*path)
        throw std::runtime_error("VAREN_UNITSIM is not set");
    return path;
}

// Reads the simulator's first line ("ready COM<n> <pty>") within a generous bound.
std::string readReadyLine(int fd)
{
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p { fd, POLLIN, 0 };
        if (poll(&p, 1, 200) <= 0)
            continue;
        char c;
        const ssize_t n = read(fd, &c, 1);
        if (n <= 0)
            break;
        if (c == '\n')
            return line;
        line += c;
    }
    throw std::runtime_error("unit simulator did not report ready: '" + line + "'");
}

} // namespace

std::vector<std::string> simArguments(
    const std::string& board, int comNumber, std::vector<std::string> extra)
{
    std::vector<std::string> args { "--board", board, "--com", std::to_string(comNumber) };
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

UnitSimProcess::UnitSimProcess(const std::vector<std::string>& arguments)
{
    const std::string program = simulatorPath();
    int fds[2];
    if (pipe(fds) != 0)
        throw std::runtime_error("pipe failed");
    pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        std::vector<char*> argv { const_cast<char*>(program.c_str()) };
        for (const auto& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(fds[1]);
    output = fds[0];
    try {
        const std::string ready = readReadyLine(output);
        pty = ready.substr(ready.rfind(' ') + 1);
    } catch (...) {
        stop(SIGKILL);
        close(output);
        throw;
    }
}

UnitSimProcess::~UnitSimProcess()
{
    stop(SIGTERM);
    if (output >= 0)
        close(output);
}

int UnitSimProcess::stop(int signal)
{
    if (pid <= 0)
        return 0;
    kill(pid, signal);
    int status = 0;
    for (int waited = 0; waited < 100; ++waited) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            pid = -1;
            return status;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    pid = -1;
    return status;
}

} // namespace testsupport
