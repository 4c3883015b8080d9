// The registry of a Windows machine below HKEY_LOCAL_MACHINE.
#pragma once

#include <unordered_map>
#include <vector>

#include "platform/device_registry.h"
#include "platform/win32/os_resources.h"

namespace linkscope::win32 {

// Keys handed out by OpenKey stay owned here until CloseKey; whatever is
// still open when the object goes is closed then. A handle this object did
// not hand out is answered with ERROR_INVALID_HANDLE, never passed on.
class Win32Registry final : public platform::RegistryApi {
public:
    platform::ResultCode OpenKey(const std::string& path, std::uint32_t access, platform::RegKey* key) override;
    void CloseKey(platform::RegKey key) override;
    platform::ResultCode QueryInfoKey(platform::RegKey key, std::uint32_t* subkeys, std::uint32_t* values) override;
    platform::ResultCode EnumKey(platform::RegKey key, std::uint32_t index, std::uint32_t maxNameChars,
                                 std::string* name) override;
    platform::RegValue QueryValue(platform::RegKey key, const std::string& name, std::uint32_t bufferSize) override;
    platform::RegEnumValue EnumValue(platform::RegKey key, std::uint32_t index, std::uint32_t maxNameChars,
                                     std::uint32_t bufferSize) override;
    platform::ResultCode CreateKey(const std::string& path, std::uint32_t access, platform::RegKey* key) override;
    platform::ResultCode SetValue(platform::RegKey key, const std::string& name, std::uint32_t type,
                                  const std::vector<std::uint8_t>& data) override;

private:
    HKEY Find(platform::RegKey key) const;

    std::unordered_map<platform::RegKey, UniqueRegKey> open_;
};

}  // namespace linkscope::win32
