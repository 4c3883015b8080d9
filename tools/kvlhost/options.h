// The runner's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kvlhost {

enum class OutputFormat { kJson, kMof };

struct Options {
    std::string machineFile;           // empty: the machine the runner is on
    std::vector<std::string> classes;  // empty: every served class
    OutputFormat format = OutputFormat::kJson;
    bool excludeIp = false;
    int logLevel = 1;                  // echo log entries up to this level
    std::string pluginPath;            // empty: the plug-in beside the runner
};

// Fills `options` from the command line. Returns an exit code when the run
// ends here: 0 after printing the help, 2 after a one-line reason on stderr
// for bad usage. Returns nothing when the run goes on.
std::optional<int> ParseOptions(int argc, char** argv, Options& options);

}  // namespace kvlhost
