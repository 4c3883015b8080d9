// The device database of a Windows machine, through SetupAPI.
#pragma once

#include "platform/device_registry.h"

namespace linkscope::win32 {

class Win32DeviceSetup final : public platform::DeviceSetupApi {
public:
    // Every present device of every class; per device its class name,
    // class GUID and driver key, each read into a 1024-byte buffer.
    platform::PresentDevicesAnswer GetPresentDevices() override;
};

}  // namespace linkscope::win32
