// WMI through COM on a Windows machine.
#pragma once

#include "platform/wmi.h"

namespace linkscope::win32 {

class Win32Wmi final : public platform::WmiApi {
public:
    void InitializeCom() override;
    void UninitializeCom() override;
    std::unique_ptr<platform::WmiLocator> CreateLocator() override;
};

}  // namespace linkscope::win32
