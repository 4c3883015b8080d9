// Symbol visibility of the two host libraries. Each library defines its
// KVL*_BUILDING macro while it is compiled; users of the headers import.
#pragma once

#if defined(_WIN32)
#  define KVL_DLL_EXPORT __declspec(dllexport)
#  define KVL_DLL_IMPORT __declspec(dllimport)
#else
#  define KVL_DLL_EXPORT __attribute__((visibility("default")))
#  define KVL_DLL_IMPORT __attribute__((visibility("default")))
#endif

#if defined(KVLCORE_BUILDING)
#  define KVLCORE_API KVL_DLL_EXPORT
#else
#  define KVLCORE_API KVL_DLL_IMPORT
#endif

#if defined(KVLHUB_BUILDING)
#  define KVLHUB_API KVL_DLL_EXPORT
#else
#  define KVLHUB_API KVL_DLL_IMPORT
#endif

// Interfaces are header-only; their type information must be visible to
// every module so that dynamic casts work across library boundaries.
#if defined(_WIN32)
#  define KVL_INTERFACE
#else
#  define KVL_INTERFACE __attribute__((visibility("default")))
#endif
