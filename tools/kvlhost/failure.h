// A run that cannot go on: the one-line reason and the exit code to end with.
#pragma once

#include <stdexcept>
#include <string>

namespace kvlhost {

enum ExitCode { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

class RunFailure : public std::runtime_error {
public:
    RunFailure(ExitCode code, const std::string& reason)
        : std::runtime_error(reason), code_(code) {}
    ExitCode Code() const { return code_; }

private:
    ExitCode code_;
};

}  // namespace kvlhost
