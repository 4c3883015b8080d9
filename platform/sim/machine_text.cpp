// Reading the bytes of a machine description from a file, a pipe, a device
// or standard input.
#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

#include "platform/sim/machine_file.h"

namespace linkscope::sim {
namespace {

std::string SystemReason(int error) { return std::generic_category().message(error); }

std::string ReadAll(std::FILE* stream, const std::string& origin) {
    std::string text;
    char chunk[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, stream);
        if (got == 0) break;
        if (got > kMaxMachineFileBytes - text.size()) {
            throw MachineFileError(origin + ": more than 64 MiB, the most a machine description may hold");
        }
        text.append(chunk, got);
    }
    if (std::ferror(stream)) throw MachineFileError(origin + ": cannot read the file: " + SystemReason(errno));
    return text;
}

}  // namespace

std::string MachineOrigin(const std::string& path) {
    return path == kStandardInputPath ? kStandardInputName : path;
}

std::string ReadMachineText(const std::string& path) {
    const std::string origin = MachineOrigin(path);
    if (path == kStandardInputPath) return ReadAll(stdin, origin);
    errno = 0;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) throw MachineFileError(origin + ": cannot open the file: " + SystemReason(errno));
    return ReadAll(file.get(), origin);
}

std::shared_ptr<const Machine> LoadMachineFile(const std::string& path) {
    return ParseMachine(ReadMachineText(path), MachineOrigin(path));
}

}  // namespace linkscope::sim
