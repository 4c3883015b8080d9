// What the runner needs from the operating system: its own folder, the
// process environment and run-time loading of a library. One source file
// per system answers it (process_posix.cpp, process_win32.cpp).
#pragma once

#include <string>

namespace kvlhost {

// The file name of the plug-in library on this system.
extern const char* const kPluginFileName;

// The folder that holds the running executable, with a trailing separator;
// empty when the system will not tell.
std::string RunnerFolder();

// Sets a variable of this process's environment, where a library loaded
// later reads it. Returns false when the system refuses.
bool SetProcessEnvironment(const std::string& name, const std::string& value);

// Loads the library at `path` with every symbol resolved now, which runs
// its attach step. The library stays loaded for the life of the process.
// Returns an empty string on success, else the loader's reason.
std::string LoadLibraryNow(const std::string& path);

}  // namespace kvlhost
