#include "platform/process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace platform {

int startProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
    const std::filesystem::path& workingFolder)
{
    std::vector<std::string> owned;
    owned.reserve(arguments.size() + 1);
    owned.push_back(program.string());
    owned.insert(owned.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : owned) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) {
        return -1;
    }
    if (!workingFolder.empty() && posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str()) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return -1;
    }
    // The child starts with raise requests (SIGUSR1) held back until it
    // listens for them: unheld, one sent early would end it.
    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return -1;
    }
    sigset_t mask;
    pthread_sigmask(SIG_BLOCK, nullptr, &mask);
    sigaddset(&mask, SIGUSR1);
    posix_spawnattr_setsigmask(&attributes, &mask);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    pid_t child = -1;
    // glibc reports a failed exec (and a failed chdir) as the result.
    const int result = posix_spawn(&child, owned.front().c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return result == 0 ? static_cast<int>(child) : -1;
}

bool processEnded(int process)
{
    if (process <= 0) {
        return true;
    }
    int status = 0;
    const pid_t result = waitpid(process, &status, WNOHANG);
    return result == process || (result < 0 && errno == ECHILD);
}

void terminateProcess(int process, int graceMs)
{
    if (process <= 0 || processEnded(process)) {
        return;
    }
    kill(process, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(graceMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (processEnded(process)) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kill(process, SIGKILL);
    int status = 0;
    while (waitpid(process, &status, 0) < 0 && errno == EINTR) {}
}

} // namespace platform
