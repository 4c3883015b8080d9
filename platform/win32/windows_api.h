// The one way into the Windows headers for this backend. It fixes the
// target version and the macros that trim windows.h before anything is
// included, and the order the headers need: winsock2.h before windows.h
// (which would otherwise pull in the old winsock.h), the IP Helper and
// SetupAPI, COM and WMI headers after it.
#pragma once

#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601  // Windows 7: the IP Helper structures of that version
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <setupapi.h>
#include <objbase.h>
#include <oleauto.h>
#include <wbemidl.h>
// clang-format on

// windows.h maps RegEnumValue to its A or W form, which would rename the
// platform API's struct of that name; this backend calls the A forms by name.
#undef RegEnumValue
