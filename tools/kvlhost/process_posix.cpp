// The runner's operating-system needs on Linux and other POSIX systems.
#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>

#include "process.h"

namespace kvlhost {

const char* const kPluginFileName = "liblinkscope.so";

std::string RunnerFolder() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof path) return std::string();
    const std::string exe(path, static_cast<size_t>(length));
    return exe.substr(0, exe.rfind('/') + 1);
}

bool SetProcessEnvironment(const std::string& name, const std::string& value) {
    return setenv(name.c_str(), value.c_str(), 1) == 0;
}

std::string LoadLibraryNow(const std::string& path) {
    if (dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL) != nullptr) return std::string();
    const char* reason = dlerror();
    return reason ? reason : "unknown loader error";
}

}  // namespace kvlhost
