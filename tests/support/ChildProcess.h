#pragma once

// A program of this project run as a child process, for tests of the
// executables: stdout on a pipe to read line by line, stderr into a file,
// the environment of the test process. POSIX only.

#ifndef _WIN32

#include <cstdio>
#include <string>
#include <sys/types.h>
#include <vector>

namespace mvr::test {

class ChildProcess {
public:
    ChildProcess(const std::string& program, std::vector<std::string> arguments,
                 const std::string& stderrFile);
    // Kills a child that is still running.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line the program writes on stdout (empty at its end).
    std::string ReadLine();
    // Everything it writes on stdout until it closes it.
    std::string ReadAll();
    void Signal(int signal);
    // The exit status, or -1 when the program did not exit normally.
    int Wait();

private:
    pid_t pid_ = 0;
    std::FILE* stdout_ = nullptr;
};

// The whole content of a (small) text file; empty when it cannot be read.
std::string FileText(const std::string& path);

} // namespace mvr::test

#endif
