#include "platform/win32/win32_registry.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/windows_api.h"

namespace linkscope::win32 {
namespace {

platform::RegKey HandleOf(HKEY key) { return static_cast<platform::RegKey>(reinterpret_cast<std::uintptr_t>(key)); }

// A name the system wrote into `buffer` with `length` characters reported:
// it ends at the reported length, its NUL or the buffer's end.
std::string NameText(const std::vector<char>& buffer, DWORD length) {
    const std::size_t end = std::min<std::size_t>(length, buffer.size());
    const void* nul = std::memchr(buffer.data(), 0, end);
    return std::string(buffer.data(), nul ? static_cast<const char*>(nul) : buffer.data() + end);
}

// The value's bytes as read: on success the reported size, never more
// than the buffer; on "more data" nothing, with the size it needs.
platform::RegValue ValueOf(LSTATUS status, DWORD type, std::vector<std::uint8_t>& data, DWORD reported) {
    platform::RegValue value;
    value.result = static_cast<platform::ResultCode>(status);
    value.type = type;
    value.needed = reported;
    if (status == ERROR_SUCCESS) {
        data.resize(std::min<std::size_t>(reported, data.size()));
        value.data = std::move(data);
    }
    return value;
}

}  // namespace

HKEY Win32Registry::Find(platform::RegKey key) const {
    const auto it = open_.find(key);
    return it == open_.end() ? nullptr : it->second.get();
}

platform::ResultCode Win32Registry::OpenKey(const std::string& path, std::uint32_t access, platform::RegKey* key) {
    HKEY opened = nullptr;
    const LSTATUS status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &opened);
    if (status != ERROR_SUCCESS) return static_cast<platform::ResultCode>(status);
    *key = HandleOf(opened);
    open_[*key] = UniqueRegKey(opened);
    return platform::kSuccess;
}

platform::ResultCode Win32Registry::CreateKey(const std::string& path, std::uint32_t access, platform::RegKey* key) {
    HKEY created = nullptr;
    const LSTATUS status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           access, nullptr, &created, nullptr);
    if (status != ERROR_SUCCESS) return static_cast<platform::ResultCode>(status);
    *key = HandleOf(created);
    open_[*key] = UniqueRegKey(created);
    return platform::kSuccess;
}

platform::ResultCode Win32Registry::SetValue(platform::RegKey key, const std::string& name, std::uint32_t type,
                                             const std::vector<std::uint8_t>& data) {
    const HKEY open = Find(key);
    if (open == nullptr) return platform::kInvalidHandle;
    return static_cast<platform::ResultCode>(
        RegSetValueExA(open, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size())));
}

void Win32Registry::CloseKey(platform::RegKey key) { open_.erase(key); }

platform::ResultCode Win32Registry::QueryInfoKey(platform::RegKey key, std::uint32_t* subkeys,
                                                 std::uint32_t* values) {
    const HKEY open = Find(key);
    if (open == nullptr) return platform::kInvalidHandle;
    DWORD subkeyCount = 0;
    DWORD valueCount = 0;
    const LSTATUS status = RegQueryInfoKeyA(open, nullptr, nullptr, nullptr, &subkeyCount, nullptr, nullptr,
                                            &valueCount, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) return static_cast<platform::ResultCode>(status);
    if (subkeys != nullptr) *subkeys = subkeyCount;
    if (values != nullptr) *values = valueCount;
    return platform::kSuccess;
}

platform::ResultCode Win32Registry::EnumKey(platform::RegKey key, std::uint32_t index, std::uint32_t maxNameChars,
                                            std::string* name) {
    const HKEY open = Find(key);
    if (open == nullptr) return platform::kInvalidHandle;
    std::vector<char> buffer(static_cast<std::size_t>(maxNameChars) + 1, '\0');
    DWORD length = static_cast<DWORD>(buffer.size());
    const LSTATUS status = RegEnumKeyExA(open, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) return static_cast<platform::ResultCode>(status);
    *name = NameText(buffer, length);
    return platform::kSuccess;
}

platform::RegValue Win32Registry::QueryValue(platform::RegKey key, const std::string& name,
                                             std::uint32_t bufferSize) {
    const HKEY open = Find(key);
    if (open == nullptr) return {platform::kInvalidHandle, platform::kRegNone, {}, 0};
    std::vector<std::uint8_t> data(bufferSize);
    DWORD type = REG_NONE;
    DWORD size = bufferSize;
    const LSTATUS status = RegQueryValueExA(open, name.c_str(), nullptr, &type, data.data(), &size);
    return ValueOf(status, type, data, size);
}

platform::RegEnumValue Win32Registry::EnumValue(platform::RegKey key, std::uint32_t index,
                                                std::uint32_t maxNameChars, std::uint32_t bufferSize) {
    platform::RegEnumValue entry;
    const HKEY open = Find(key);
    if (open == nullptr) {
        entry.result = entry.value.result = platform::kInvalidHandle;
        return entry;
    }
    std::vector<char> nameBuffer(static_cast<std::size_t>(maxNameChars) + 1, '\0');
    DWORD nameLength = static_cast<DWORD>(nameBuffer.size());
    std::vector<std::uint8_t> data(bufferSize);
    DWORD type = REG_NONE;
    DWORD size = bufferSize;
    const LSTATUS status =
        RegEnumValueA(open, index, nameBuffer.data(), &nameLength, nullptr, &type, data.data(), &size);
    entry.value = ValueOf(status, type, data, size);
    entry.result = entry.value.result;
    if (status == ERROR_SUCCESS) entry.name = NameText(nameBuffer, nameLength);
    return entry;
}

}  // namespace linkscope::win32
