#pragma once

// A program of this project run as a child process, for tests of the
// executables: stdout on a pipe to read line by line, stderr into a file,
// the environment of the test process.

#include <cstdio>
#include <string>
#include <vector>

namespace mvr::test {

// The exit code of a program killed on Windows, where a kill is
// TerminateProcess with this code: Wait() takes it for a kill, and a program
// that kills itself as a kill from outside would ends with it too.
inline constexpr unsigned kWindowsKilledExitCode = 0xDEAD;

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
    // Asks the program to stop as a user does: SIGTERM on POSIX systems,
    // Ctrl+Break in its console on Windows. False when that cannot be
    // delivered: on Windows the test must share a console with the child,
    // which a test started without one (under wine, by ctest) does not.
    bool Stop();
    // Ends the program at once, without a chance to clean up.
    void Kill();
    // The exit status, or -1 when the program did not exit normally.
    int Wait();

private:
#ifdef _WIN32
    void* process_ = nullptr;
    unsigned long processId_ = 0;
    bool killed_ = false;
#else
    int pid_ = 0;
#endif
    std::FILE* stdout_ = nullptr;
};

// The whole content of a (small) text file; empty when it cannot be read.
std::string FileText(const std::string& path);

} // namespace mvr::test
