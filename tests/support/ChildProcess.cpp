#include "support/ChildProcess.h"

#ifndef _WIN32

#include "core/platform/FileSystem.h"

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
    EXPECT_EQ(posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
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

std::string ChildProcess::ReadLine() {
    char line[256] = {};
    return fgets(line, sizeof line, stdout_) != nullptr ? std::string(line) : std::string();
}

std::string ChildProcess::ReadAll() {
    std::string text;
    char chunk[4096];
    std::size_t got = 0;
    while ((got = fread(chunk, 1, sizeof chunk, stdout_)) > 0) {
        text.append(chunk, got);
    }
    return text;
}

void ChildProcess::Signal(int signal) {
    if (pid_ > 0) {
        kill(pid_, signal);
    }
}

int ChildProcess::Wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string FileText(const std::string& path) {
    const auto bytes = ReadWholeFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

} // namespace mvr::test

#endif
