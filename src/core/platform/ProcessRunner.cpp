#include "core/platform/ProcessRunner.h"

#include <system_error>

#ifdef _WIN32
#include "core/platform/NativePath.h"
#include "core/platform/WindowsCommandLine.h"

#include <algorithm>
#include <thread>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace mvr {

namespace {

std::string SystemErrorText(int code) {
    return std::system_category().message(code);
}

#ifdef _WIN32

// One end of a pipe, closed when it goes.
class CHandle {
public:
    CHandle() = default;
    ~CHandle() { Close(); }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    HANDLE* Out() { return &handle_; }
    HANDLE Get() const { return handle_; }
    void Close() {
        if (handle_ != nullptr) {
            CloseHandle(handle_);
            handle_ = nullptr;
        }
    }

private:
    HANDLE handle_ = nullptr;
};

// A pipe whose child end is inherited and whose own end is not.
bool MakePipe(CHandle& childEnd, CHandle& ownEnd, bool childReads) {
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &inherited, 0)) {
        return false;
    }
    *childEnd.Out() = childReads ? read : write;
    *ownEnd.Out() = childReads ? write : read;
    return SetHandleInformation(ownEnd.Get(), HANDLE_FLAG_INHERIT, 0) != 0;
}

void ReadAll(HANDLE from, std::string& into) {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(from, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        into.append(buffer, got);
    }
}

void WriteAll(HANDLE to, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        if (!WriteFile(to, bytes.data(), chunk, &written, nullptr)) {
            return; // the child stopped reading
        }
        bytes.remove_prefix(written);
    }
}

#else

// One end of a pipe, closed when it goes.
class CFd {
public:
    CFd() = default;
    ~CFd() { Close(); }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    int* Out() { return &fd_; }
    int Get() const { return fd_; }
    bool Open() const { return fd_ >= 0; }
    void Close() {
        if (fd_ >= 0) {
            close(fd_);
            fd_ = -1;
        }
    }

private:
    int fd_ = -1;
};

// Both ends close on exec: the child gets only the copies on its standard streams.
bool MakePipe(CFd& read, CFd& write) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        return false;
    }
    *read.Out() = ends[0];
    *write.Out() = ends[1];
    return true;
}

// Writing to a child that has stopped reading raises SIGPIPE, which would end
// this process. While this lives the signal is blocked for the calling thread,
// and one raised meanwhile is taken away before it is unblocked.
class CSigpipeBlock {
public:
    CSigpipeBlock() {
        sigemptyset(&pipeSignal_);
        sigaddset(&pipeSignal_, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        wasPending_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipeSignal_, &previous_);
    }
    ~CSigpipeBlock() {
        sigset_t pending;
        sigpending(&pending);
        if (!wasPending_ && sigismember(&pending, SIGPIPE) == 1) {
            const timespec noWait{0, 0};
            sigtimedwait(&pipeSignal_, nullptr, &noWait);
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    CSigpipeBlock(const CSigpipeBlock&) = delete;
    CSigpipeBlock& operator=(const CSigpipeBlock&) = delete;

private:
    sigset_t pipeSignal_;
    sigset_t previous_;
    bool wasPending_ = false;
};

// Feeds the input and collects both outputs at the same time, so that a child
// that writes much before it reads everything cannot block the exchange.
class CPipeExchange {
public:
    CPipeExchange(CFd& input, CFd& out, CFd& err, CommandOutput& output)
        : input_(input), out_(out), err_(err), output_(output) {}

    void Run(std::string_view bytes) {
        pending_ = bytes;
        if (pending_.empty()) {
            input_.Close();
        } else {
            fcntl(input_.Get(), F_SETFL, fcntl(input_.Get(), F_GETFL) | O_NONBLOCK);
        }
        CSigpipeBlock block;
        while (input_.Open() || out_.Open() || err_.Open()) {
            Poll();
        }
    }

private:
    void Poll() {
        pollfd fds[3] = {
            {input_.Get(), POLLOUT, 0}, {out_.Get(), POLLIN, 0}, {err_.Get(), POLLIN, 0}};
        if (poll(fds, 3, -1) < 0) {
            if (errno != EINTR) {
                input_.Close();
                out_.Close();
                err_.Close();
            }
            return;
        }
        if (fds[0].revents != 0) {
            Feed();
        }
        if (fds[1].revents != 0) {
            Collect(out_, output_.out);
        }
        if (fds[2].revents != 0) {
            Collect(err_, output_.err);
        }
    }

    void Feed() {
        const ssize_t written = write(input_.Get(), pending_.data(), pending_.size());
        if (written < 0 && (errno == EAGAIN || errno == EINTR)) {
            return;
        }
        if (written <= 0) {
            input_.Close(); // the child stopped reading; its exit status tells the rest
            return;
        }
        pending_.remove_prefix(static_cast<std::size_t>(written));
        if (pending_.empty()) {
            input_.Close();
        }
    }

    static void Collect(CFd& from, std::string& into) {
        char buffer[4096];
        const ssize_t got = read(from.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            return;
        }
        if (got <= 0) {
            from.Close();
            return;
        }
        into.append(buffer, static_cast<std::size_t>(got));
    }

    CFd& input_;
    CFd& out_;
    CFd& err_;
    CommandOutput& output_;
    std::string_view pending_;
};

int WaitForExit(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#endif

} // namespace

#ifdef _WIN32

CommandOutput CProcessRunner::Execute(const std::string& program,
                                      const std::vector<std::string>& arguments,
                                      std::string_view input) {
    CommandOutput output;
    CHandle childIn, ownIn, childOut, ownOut, childErr, ownErr;
    if (!MakePipe(childIn, ownIn, true) || !MakePipe(childOut, ownOut, false) ||
        !MakePipe(childErr, ownErr, false)) {
        output.err = SystemErrorText(static_cast<int>(GetLastError()));
        return output;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childIn.Get();
    startup.hStdOutput = childOut.Get();
    startup.hStdError = childErr.Get();
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::wstring commandLine = WideText(JoinWindowsCommandLine(words));
    PROCESS_INFORMATION process{};
    // No application name: the system looks the program up as a command line would.
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &process)) {
        output.err = SystemErrorText(static_cast<int>(GetLastError()));
        return output;
    }
    output.started = true;
    CloseHandle(process.hThread);
    childIn.Close();
    childOut.Close();
    childErr.Close();
    std::thread feeder([&] {
        WriteAll(ownIn.Get(), input);
        ownIn.Close();
    });
    std::thread errors([&] { ReadAll(ownErr.Get(), output.err); });
    ReadAll(ownOut.Get(), output.out);
    feeder.join();
    errors.join();
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code)) {
        output.exitStatus = static_cast<int>(code);
    }
    CloseHandle(process.hProcess);
    return output;
}

#else

CommandOutput CProcessRunner::Execute(const std::string& program,
                                      const std::vector<std::string>& arguments,
                                      std::string_view input) {
    CommandOutput output;
    CFd inRead, inWrite, outRead, outWrite, errRead, errWrite;
    if (!MakePipe(inRead, inWrite) || !MakePipe(outRead, outWrite) ||
        !MakePipe(errRead, errWrite)) {
        output.err = SystemErrorText(errno);
        return output;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inRead.Get(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outWrite.Get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errWrite.Get(), STDERR_FILENO);
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned =
        posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        output.err = SystemErrorText(spawned);
        return output;
    }
    output.started = true;
    inRead.Close();
    outWrite.Close();
    errWrite.Close();
    CPipeExchange(inWrite, outRead, errRead, output).Run(input);
    output.exitStatus = WaitForExit(pid);
    return output;
}

#endif

} // namespace mvr
