// What the runner needs from the operating system: its own folder, the
// process environment, standard input and run-time loading of a library.
// One source file per system answers it (process_posix.cpp,
// process_win32.cpp).
#pragma once

#include <string>

namespace kvlhost {

// The file names of the plug-in library on this system: the product, and
// the one that collects from a machine description.
extern const char* const kPluginFileName;
extern const char* const kSimulatedPluginFileName;

// The folder that holds the running executable, with a trailing separator;
// empty when the system will not tell.
std::string RunnerFolder();

// Sets a variable of this process's environment, where a library loaded
// later reads it. Returns false when the system refuses.
bool SetProcessEnvironment(const std::string& name, const std::string& value);

// Makes standard input deliver its bytes unchanged.
void UseBinaryStandardInput();

// Sets the allocator up for one short run that builds a large model and
// then many instances: freed memory is kept for the run's later
// allocations instead of being handed back, and the heap is backed by large
// pages where the system offers them. Every page the system hands out costs
// a fault, which on a virtual machine costs as much as building several
// instances. Where the allocator cannot be told, does nothing.
void PrepareHeap();

// Checks that `path` holds a whole library of this system before the
// loader maps it: a loader faults on the parts of a cut file it maps past
// the end. Returns an empty string, or the reason the file is refused.
std::string LibraryFileProblem(const std::string& path);

// Loads the library at `path` with every symbol resolved now, which runs
// its attach step. The library stays loaded for the life of the process.
// Returns its handle, or nullptr with the loader's reason in `error`.
void* LoadLibraryNow(const std::string& path, std::string& error);

// The function that `library` exports under `name`, or nullptr.
void* LibraryFunction(void* library, const char* name);

}  // namespace kvlhost
