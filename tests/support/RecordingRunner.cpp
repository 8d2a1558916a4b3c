#include "support/RecordingRunner.h"

namespace mvr::test {

CommandOutput Succeeded(std::string out) {
    CommandOutput output;
    output.started = true;
    output.exitStatus = 0;
    output.out = std::move(out);
    return output;
}

CommandOutput FailedWith(int exitStatus, std::string err) {
    CommandOutput output;
    output.started = true;
    output.exitStatus = exitStatus;
    output.err = std::move(err);
    return output;
}

std::vector<std::string> RecordingRunner::CommandLinesOf(const std::string& program) const {
    std::vector<std::string> lines;
    for (const std::string& line : lines_) {
        if (line.starts_with(program + " ")) {
            lines.push_back(line);
        }
    }
    return lines;
}

CommandOutput RecordingRunner::Execute(const std::string& program,
                                       const std::vector<std::string>& arguments,
                                       std::string_view input) {
    std::string line = program;
    for (const std::string& argument : arguments) {
        line += " " + argument;
    }
    lines_.push_back(line);
    const auto handler = handlers_.find(program);
    return handler == handlers_.end() ? Succeeded() : handler->second(arguments, input);
}

} // namespace mvr::test
