// Loading a machine description file into a simulated platform.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/platform.h"

namespace linkscope::sim {

// A machine description that cannot be used. what() is one line naming the
// file and the field: "machines/x.json: adapters[2].mac: expected a string".
class MachineFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Machine;

// The largest machine description read.
inline constexpr std::size_t kMaxMachineFileBytes = std::size_t{64} << 20;
// The path that stands for standard input, and the name messages give it.
inline constexpr char kStandardInputPath[] = "-";
inline constexpr char kStandardInputName[] = "standard input";

// How messages name the description at `path`.
std::string MachineOrigin(const std::string& path);
// The whole text at `path` (a file, a pipe, a device; "-": standard input).
// Reading stops as soon as it passes kMaxMachineFileBytes, so that an
// endless source is refused too. Throws MachineFileError.
std::string ReadMachineText(const std::string& path);
// Reads and checks the description at `path`; throws MachineFileError.
std::shared_ptr<const Machine> LoadMachineFile(const std::string& path);
// Same, from JSON text; `origin` names the source in messages.
std::shared_ptr<const Machine> ParseMachine(const std::string& text, const std::string& origin);

// A platform that answers every call from `machine`.
std::unique_ptr<platform::Platform> MakeSimulatedPlatform(std::shared_ptr<const Machine> machine);
// Same, with environment variables replaced or added (names compare
// case-insensitively, as the system's do).
std::unique_ptr<platform::Platform> MakeSimulatedPlatform(
    std::shared_ptr<const Machine> machine,
    std::map<std::string, std::string> environmentOverrides);

}  // namespace linkscope::sim
