#pragma once

// A command runner that runs nothing: it records every command and answers
// from handlers that the test gives per program (the fake scheduler tools),
// so that no test touches the machine's real crontab, units or tasks.

#include "core/platform/CommandRunner.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace mvr::test {

CommandOutput Succeeded(std::string out = {});
CommandOutput FailedWith(int exitStatus, std::string err);

class RecordingRunner final : public CCommandRunner {
public:
    using Handler = std::function<CommandOutput(const std::vector<std::string>& arguments,
                                                std::string_view input)>;

    // Answers every run of `program`; runs of other programs succeed silently.
    void Handle(const std::string& program, Handler handler) {
        handlers_[program] = std::move(handler);
    }

    // Each run as one line: "systemctl --user daemon-reload".
    const std::vector<std::string>& CommandLines() const { return lines_; }
    // The lines of one program's runs.
    std::vector<std::string> CommandLinesOf(const std::string& program) const;
    void Forget() { lines_.clear(); }

private:
    CommandOutput Execute(const std::string& program, const std::vector<std::string>& arguments,
                          std::string_view input) override;

    std::map<std::string, Handler> handlers_;
    std::vector<std::string> lines_;
};

} // namespace mvr::test
