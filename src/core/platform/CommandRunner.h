#pragma once

// Runs system tools (a scheduler's, say) as programs of their own: each
// argument travels as a word of its own and never through a shell, so that a
// path or a list name reaches the tool exactly as given. The interface is the
// seam through which tests see what would be run without changing the machine.

#include <string>
#include <string_view>
#include <vector>

namespace mvr {

// What a program that ran to its end left behind.
struct CommandOutput {
    bool started = false; // false: it could not be started (not installed, not allowed)
    int exitStatus = -1;  // -1 when it did not exit by itself (a signal ended it)
    std::string out;
    std::string err; // its error output; when not started, why not
    bool Succeeded() const { return started && exitStatus == 0; }
};

class CCommandRunner {
public:
    virtual ~CCommandRunner() = default;

    // Runs `program` (looked up on the PATH) with `arguments`, feeds `input` to
    // its standard input and waits until it has ended.
    CommandOutput Run(const std::string& program, const std::vector<std::string>& arguments,
                      std::string_view input = {}) {
        return Execute(program, arguments, input);
    }

private:
    virtual CommandOutput Execute(const std::string& program,
                                  const std::vector<std::string>& arguments,
                                  std::string_view input) = 0;
};

} // namespace mvr
