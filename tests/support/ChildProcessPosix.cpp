// Child processes on POSIX systems: posix_spawn, a pipe and signals.

#include "support/ChildProcess.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace mvr::test {

ChildProcess::ChildProcess(const std::string& program, std::vector<std::string> arguments,
                           const std::string& stderrFile) {
    int pipeEnds[2];
    EXPECT_EQ(pipe(pipeEnds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, stderrFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    arguments.insert(arguments.begin(), program);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    EXPECT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    pid_ = pid;
    close(pipeEnds[1]);
    stdout_ = fdopen(pipeEnds[0], "r");
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        Wait();
    }
    if (stdout_ != nullptr) {
        fclose(stdout_);
    }
}

bool ChildProcess::Stop() {
    return pid_ > 0 && kill(pid_, SIGTERM) == 0;
}

void ChildProcess::Kill() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
    }
}

int ChildProcess::Wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace mvr::test
