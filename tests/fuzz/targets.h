// The fuzz targets, one per reader of untrusted bytes. Each is built into
// a libFuzzer binary of its own and replayed by the ordinary test suite on
// its committed corpus and regression inputs. A broken invariant is a
// message on stderr and an abort, which libFuzzer records as a crash with
// its input and the replay reports as a failed test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace linkscope::fuzz {

// A machine description file, whole: parsed, collected, every class
// queried, written as JSON and MOF.
void MachineFileTarget(const std::uint8_t* data, std::size_t size);
// The NIC management library's records, counts and results, changed byte
// by byte over the libraries of the project's machine files.
void NicLibraryTarget(const std::uint8_t* data, std::size_t size);
// The teaming provider's WMI objects and property values of any kind.
void TeamingProviderTarget(const std::uint8_t* data, std::size_t size);
// Registry values, subkeys and device-list entries read by the device
// registry lookup and the speed and duplex readers.
void DeviceRegistryTarget(const std::uint8_t* data, std::size_t size);
// Routing-netlink dump replies and the conversions of what they hold.
void NetlinkTarget(const std::uint8_t* data, std::size_t size);
// Resolver configuration, resolver link state and DHCP lease texts.
void ConfigTextTarget(const std::uint8_t* data, std::size_t size);
// Instances with values of any bytes written as JSON and MOF.
void OutputFormatsTarget(const std::uint8_t* data, std::size_t size);

// What the parsers read from an input of the netlink and the config text
// target, one line per record, for the replay to compare with its golden.
std::string DescribeNetlink(const std::uint8_t* data, std::size_t size);
std::string DescribeConfigText(const std::uint8_t* data, std::size_t size);

}  // namespace linkscope::fuzz
