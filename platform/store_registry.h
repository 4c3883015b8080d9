// The registry calls answered from a registry tree, with the system's
// result codes: a missing key or value is "file not found", an index past
// the end "no more items", a name or data larger than the caller's buffer
// "more data", a key's injected fault the code it was given. Access masks
// are not checked. Not thread-safe, like the collectors that use it.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/device_registry.h"
#include "platform/registry_store.h"

namespace linkscope::platform {

class StoreRegistry final : public RegistryApi {
public:
    using TreeSource = std::function<std::shared_ptr<const RegistryTree>()>;

    // Each OpenKey opens a key of the tree `current` gives at that moment;
    // keys already open stay on the tree they were opened in. Nothing can
    // be written: the tree is a view of something else.
    explicit StoreRegistry(TreeSource current) : current_(std::move(current)) {}
    // One store that CreateKey and SetValue write to.
    explicit StoreRegistry(std::shared_ptr<RegistryStore> writable)
        : current_([writable] { return writable; }), writable_(std::move(writable)) {}

    ResultCode OpenKey(const std::string& path, std::uint32_t access, RegKey* key) override;
    void CloseKey(RegKey key) override;
    ResultCode QueryInfoKey(RegKey key, std::uint32_t* subkeys, std::uint32_t* values) override;
    ResultCode EnumKey(RegKey key, std::uint32_t index, std::uint32_t maxNameChars, std::string* name) override;
    RegValue QueryValue(RegKey key, const std::string& name, std::uint32_t bufferSize) override;
    RegEnumValue EnumValue(RegKey key, std::uint32_t index, std::uint32_t maxNameChars,
                           std::uint32_t bufferSize) override;
    // Creates the key with any missing parent; a key whose opening fails
    // fails creation the same way.
    ResultCode CreateKey(const std::string& path, std::uint32_t access, RegKey* key) override;
    ResultCode SetValue(RegKey key, const std::string& name, std::uint32_t type,
                        const std::vector<std::uint8_t>& data) override;

private:
    struct OpenKeyState {
        RegKey handle;
        std::shared_ptr<const RegistryTree> tree;
        RegistryTree::KeyId key;
    };
    const OpenKeyState* Find(RegKey key) const;
    static auto HandleIs(RegKey key) {
        return [key](const OpenKeyState& state) { return state.handle == key; };
    }

    TreeSource current_;
    std::shared_ptr<RegistryStore> writable_;  // null for a view
    // Callers hold a few keys open at a time, and ask most for the one
    // opened last: a list searched from its end, with nothing to allocate
    // per key.
    std::vector<OpenKeyState> open_;
    RegKey nextHandle_ = 0x1000;
};

}  // namespace linkscope::platform
