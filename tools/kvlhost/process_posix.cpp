// The runner's operating-system needs on Linux and other POSIX systems.
#include <dlfcn.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>

#include "library_image.h"
#include "process.h"

namespace kvlhost {

const char* const kPluginFileName = "liblinkscope.so";
const char* const kSimulatedPluginFileName = "liblinkscope_sim.so";

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

void UseBinaryStandardInput() {}

void PrepareHeap() {
#if defined(__GLIBC__)
    constexpr std::size_t kMiB = 1024 * 1024;
    // One heap for every thread, so that what the fetch's threads free
    // serves the main thread. Blocks up to 32 MB (the most the allocator
    // takes) come from it too, instead of from a mapping of their own that
    // is unmapped when freed: a list that grows by doubling leaves its
    // earlier blocks to later ones. The heap grows 64 MB at a time and is
    // given back only past 256 MB.
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(32 * kMiB));
    mallopt(M_TOP_PAD, static_cast<int>(64 * kMiB));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(256 * kMiB));
#if defined(MADV_HUGEPAGE)
    // A block larger than the heap's free top makes the heap grow by the
    // pad now. That stretch, past its first 4 MB, is then asked to be backed
    // by large pages, each of which takes one fault instead of 512; the
    // first 4 MB keep small pages, so that a small run's peak stays near
    // what it uses.
    if (void* const block = malloc(kMiB)) {
        const std::uintptr_t largePage = 2 * kMiB;
        const std::uintptr_t smallFirst = reinterpret_cast<std::uintptr_t>(block) + 4 * kMiB;
        const std::uintptr_t from = (smallFirst + largePage - 1) & ~(largePage - 1);
        const std::uintptr_t to = reinterpret_cast<std::uintptr_t>(sbrk(0));
        free(block);
        if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    }
#endif
#endif
}

std::string LibraryFileProblem(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return "cannot open the file";
    return ElfLibraryProblem(file, sizeof(void*) == 8);
}

void* LoadLibraryNow(const std::string& path, std::string& error) {
    if (void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return library;
    const char* reason = dlerror();
    error = reason ? reason : "unknown loader error";
    return nullptr;
}

void* LibraryFunction(void* library, const char* name) { return dlsym(library, name); }

}  // namespace kvlhost
