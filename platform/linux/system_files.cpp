#include "platform/linux/system_files.h"

#include <cerrno>
#include <memory>

#include "platform/linux/os_headers.h"
#include "platform/linux/unique_fd.h"

namespace linkscope::live {
namespace {

struct FolderCloser {
    void operator()(DIR* folder) const { ::closedir(folder); }
};

}  // namespace

std::optional<std::string> ReadTextFile(const std::string& path, std::size_t maxBytes) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.IsOpen()) return std::nullopt;
    std::string text;
    char chunk[4096];
    while (text.size() < maxBytes) {
        const ssize_t got = ::read(fd.Get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        text.append(chunk, static_cast<std::size_t>(got));
    }
    if (text.size() > maxBytes) text.resize(maxBytes);
    return text;
}

bool PathExists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

std::vector<std::string> ListFolder(const std::string& path) {
    std::vector<std::string> names;
    const std::unique_ptr<DIR, FolderCloser> folder(::opendir(path.c_str()));
    if (!folder) return names;
    while (const dirent* entry = ::readdir(folder.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    return names;
}

}  // namespace linkscope::live
