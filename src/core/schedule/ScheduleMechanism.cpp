#include "core/schedule/ScheduleMechanism.h"

#include "core/platform/TextUtil.h"

namespace mvr {

namespace {

// The first line that says something: tools put their reason there.
std::string FirstLine(std::string_view text) {
    for (std::string_view line : TextLines(text)) {
        line = TrimBlanks(line);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (!line.empty()) {
            return std::string(line);
        }
    }
    return {};
}

} // namespace

std::string ToolFailureText(const std::string& program, const std::vector<std::string>& arguments,
                            const CommandOutput& output) {
    std::string command = program;
    for (const std::string& argument : arguments) {
        command += " " + argument;
    }
    if (!output.started) {
        return command + " could not be started (" + FirstLine(output.err) + ")";
    }
    std::string said = FirstLine(output.err);
    if (said.empty()) {
        said = FirstLine(output.out);
    }
    const std::string status = output.exitStatus < 0
                                   ? std::string("ended by a signal")
                                   : "exit status " + std::to_string(output.exitStatus);
    return command + " failed (" + status + (said.empty() ? "" : ": " + said) + ")";
}

bool RunTool(CCommandRunner& runner, const std::string& program,
             const std::vector<std::string>& arguments, std::string& error,
             std::string_view input) {
    const CommandOutput output = runner.Run(program, arguments, input);
    if (output.Succeeded()) {
        return true;
    }
    error = ToolFailureText(program, arguments, output);
    return false;
}

} // namespace mvr
