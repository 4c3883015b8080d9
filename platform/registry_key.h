// An open registry key that closes itself.
#pragma once

#include <cstdint>
#include <utility>

#include "platform/device_registry.h"

namespace linkscope::platform {

class RegistryKey {
public:
    RegistryKey(RegistryApi& api, const std::string& path, std::uint32_t access) : api_(&api) {
        result_ = api.OpenKey(path, access, &key_);
        open_ = result_ == kSuccess;
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() { Close(); }

    bool IsOpen() const { return open_; }
    ResultCode OpenResult() const { return result_; }
    RegKey Handle() const { return key_; }
    RegistryApi& Api() const { return *api_; }
    void Close() {
        if (open_) api_->CloseKey(key_);
        open_ = false;
    }

private:
    RegistryApi* api_;
    RegKey key_ = 0;
    ResultCode result_ = kSuccess;
    bool open_ = false;
};

}  // namespace linkscope::platform
