#include "platform/win32/win32_device_setup.h"

#include <array>
#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "platform/win32/os_resources.h"
#include "platform/win32/windows_api.h"

namespace linkscope::win32 {
namespace {

constexpr std::size_t kPropertyBufferSize = 1024;

// A text property of one device; absent when the database cannot give it
// or it does not fit the buffer. The text ends at its NUL or at the end of
// the bytes written.
std::optional<std::string> TextProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
    std::array<char, kPropertyBufferSize> buffer{};
    DWORD type = 0;
    DWORD written = 0;
    if (!SetupDiGetDeviceRegistryPropertyA(set, &device, property, &type, reinterpret_cast<PBYTE>(buffer.data()),
                                           static_cast<DWORD>(buffer.size()), &written)) {
        return std::nullopt;
    }
    const std::size_t length = std::min<std::size_t>(written, buffer.size());
    const char* text = buffer.data();
    const void* nul = std::memchr(text, 0, length);
    return std::string(text, nul ? static_cast<const char*>(nul) : text + length);
}

}  // namespace

platform::PresentDevicesAnswer Win32DeviceSetup::GetPresentDevices() {
    platform::PresentDevicesAnswer answer;
    const DeviceInfoSet set(SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
    if (!set) {
        answer.ok = false;
        return answer;
    }
    for (DWORD index = 0;; ++index) {
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        if (!SetupDiEnumDeviceInfo(set.Get(), index, &device)) break;
        platform::DeviceRecord record;
        record.className = TextProperty(set.Get(), device, SPDRP_CLASS);
        record.classGuid = TextProperty(set.Get(), device, SPDRP_CLASSGUID);
        record.driverKey = TextProperty(set.Get(), device, SPDRP_DRIVER);
        answer.devices.push_back(std::move(record));
    }
    return answer;
}

}  // namespace linkscope::win32
