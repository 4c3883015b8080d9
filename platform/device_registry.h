// The device database and the registry below HKEY_LOCAL_MACHINE, as the
// device registry lookup and the speed/duplex reader need them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/result_codes.h"

namespace linkscope::platform {

// Access masks the collectors open keys with.
inline constexpr std::uint32_t kKeyQueryValue = 1;
inline constexpr std::uint32_t kKeyRead = 131097;
inline constexpr std::uint32_t kKeyAllAccess = 983103;

// The network adapters' setup class, and where the registry keeps the
// class keys of devices and the device interfaces of interface classes.
inline constexpr char kNetClassName[] = "Net";
inline constexpr char kNetClassGuid[] = "{4D36E972-E325-11CE-BFC1-08002BE10318}";
inline constexpr char kClassRoot[] = "SYSTEM\\CurrentControlSet\\Control\\Class";
inline constexpr char kDeviceClassesRoot[] = "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses";

// Registry value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// One present device. A property the device database could not give (or
// that did not fit the caller's 1024-byte buffer) is absent.
struct DeviceRecord {
    std::optional<std::string> className;  // setup class name, e.g. "Net"
    std::optional<std::string> classGuid;  // kNetClassGuid for a network adapter
    std::optional<std::string> driverKey;  // "{class guid}\0007"
};

struct PresentDevicesAnswer {
    bool ok = true;  // false: the device list could not be had at all
    std::vector<DeviceRecord> devices;
};

class DeviceSetupApi {
public:
    virtual ~DeviceSetupApi() = default;
    // Every present device of every class, in the device database's order.
    virtual PresentDevicesAnswer GetPresentDevices() = 0;
};

using RegKey = std::uint64_t;  // opaque; valid only between OpenKey and CloseKey

struct RegValue {
    ResultCode result = kSuccess;  // kMoreData: `needed` bytes would fit it
    std::uint32_t type = kRegNone;
    std::vector<std::uint8_t> data;  // at most the buffer size given
    std::uint32_t needed = 0;
};

struct RegEnumValue {
    ResultCode result = kSuccess;  // kNoMoreItems past the last value
    std::string name;
    RegValue value;
};

class RegistryApi {
public:
    virtual ~RegistryApi() = default;
    // `path` is relative to HKEY_LOCAL_MACHINE, parts joined by "\".
    virtual ResultCode OpenKey(const std::string& path, std::uint32_t access, RegKey* key) = 0;
    virtual void CloseKey(RegKey key) = 0;
    virtual ResultCode QueryInfoKey(RegKey key, std::uint32_t* subkeys, std::uint32_t* values) = 0;
    // Name of the subkey at `index`, at most `maxNameChars` characters.
    virtual ResultCode EnumKey(RegKey key, std::uint32_t index, std::uint32_t maxNameChars,
                               std::string* name) = 0;
    // Reads value `name` into a buffer of `bufferSize` bytes.
    virtual RegValue QueryValue(RegKey key, const std::string& name, std::uint32_t bufferSize) = 0;
    // Name (at most `maxNameChars`) and data (at most `bufferSize` bytes)
    // of the value at `index`.
    virtual RegEnumValue EnumValue(RegKey key, std::uint32_t index, std::uint32_t maxNameChars,
                                   std::uint32_t bufferSize) = 0;
    // Opens the key at `path`, creating it and any missing parent first.
    virtual ResultCode CreateKey(const std::string& path, std::uint32_t access, RegKey* key) = 0;
    // Adds or replaces the value `name` of an open key.
    virtual ResultCode SetValue(RegKey key, const std::string& name, std::uint32_t type,
                                const std::vector<std::uint8_t>& data) = 0;
};

}  // namespace linkscope::platform
