# Read after CMake's platform rules for the mingw-w64 cross build.
set(CMAKE_SHARED_LIBRARY_PREFIX "")
set(CMAKE_SHARED_MODULE_PREFIX "")
