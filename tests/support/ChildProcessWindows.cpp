// Child processes on Windows: CreateProcess with an inherited pipe and file,
// in a process group of its own so that a Ctrl+Break reaches only the child.

#include "core/platform/WindowsCommandLine.h"
#include "support/ChildProcess.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <io.h>
#include <windows.h>

namespace mvr::test {

ChildProcess::ChildProcess(const std::string& program, std::vector<std::string> arguments,
                           const std::string& stderrFile) {
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    EXPECT_TRUE(CreatePipe(&readEnd, &writeEnd, &inherited, 0));
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE errorFile =
        CreateFileA(stderrFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(errorFile, INVALID_HANDLE_VALUE) << stderrFile;
    HANDLE noInput = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 &inherited, OPEN_EXISTING, 0, nullptr);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = noInput;
    startup.hStdOutput = writeEnd;
    startup.hStdError = errorFile;
    PROCESS_INFORMATION info{};
    arguments.insert(arguments.begin(), program);
    std::string commandLine = JoinWindowsCommandLine(arguments);
    const BOOL started =
        CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                       CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &info);
    EXPECT_TRUE(started) << program << ": error " << GetLastError();
    CloseHandle(writeEnd);
    CloseHandle(errorFile);
    CloseHandle(noInput);
    if (started) {
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        processId_ = info.dwProcessId;
    }
    // Read in text mode: the child's CR LF line ends arrive as LF.
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(readEnd), _O_RDONLY | _O_TEXT);
    stdout_ = _fdopen(fd, "r");
}

ChildProcess::~ChildProcess() {
    if (process_ != nullptr) {
        Kill();
        Wait();
    }
    if (stdout_ != nullptr) {
        fclose(stdout_);
    }
}

bool ChildProcess::Stop() {
    return process_ != nullptr && GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, processId_) != 0;
}

void ChildProcess::Kill() {
    if (process_ != nullptr && TerminateProcess(process_, kWindowsKilledExitCode)) {
        killed_ = true;
    }
}

int ChildProcess::Wait() {
    if (process_ == nullptr) {
        return -1;
    }
    WaitForSingleObject(process_, INFINITE);
    DWORD code = 0;
    const bool exited = GetExitCodeProcess(process_, &code) != 0;
    CloseHandle(process_);
    process_ = nullptr;
    return exited && !killed_ && code != kWindowsKilledExitCode ? static_cast<int>(code) : -1;
}

} // namespace mvr::test
