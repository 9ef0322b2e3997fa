#include "simulatorprocess.h"

#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace unitsim::test {

namespace {

std::string simulatorPath()
{
    const char* path = std::getenv("VAREN_UNITSIM");
    if (!path || !*path)
        throw std::runtime_error("VAREN_UNITSIM is not set");
    return path;
}

} // namespace

SimulatorProcess::SimulatorProcess(const std::vector<std::string>& arguments)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);

    const std::string program = simulatorPath();
    std::vector<char*> argv = { const_cast<char*>(program.c_str()) };
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    output = pipeEnds[0];
    if (error != 0) {
        close(output);
        throw std::runtime_error("cannot start " + program);
    }
}

SimulatorProcess::~SimulatorProcess()
{
    if (!status) {
        kill(pid, SIGKILL);
        int ignored;
        waitpid(pid, &ignored, 0);
    }
    close(output);
}

std::string SimulatorProcess::readLine()
{
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    char c;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd fd = { output, POLLIN, 0 };
        if (poll(&fd, 1, 100) <= 0)
            continue;
        if (read(output, &c, 1) != 1 || c == '\n')
            return line;
        line += c;
    }
    return line;
}

std::optional<int> SimulatorProcess::stop(int signal)
{
    if (!status)
        kill(pid, signal);
    return waitForExit();
}

std::optional<int> SimulatorProcess::waitForExit()
{
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!status && std::chrono::steady_clock::now() < deadline) {
        int raw;
        if (waitpid(pid, &raw, WNOHANG) == pid)
            status = raw;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (status && WIFEXITED(*status))
        return WEXITSTATUS(*status);
    return std::nullopt;
}

} // namespace unitsim::test
