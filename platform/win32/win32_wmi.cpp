// Every interface pointer, BSTR and VARIANT has an owner here that releases
// it exactly once, whichever way a call returns.
#include "platform/win32/win32_wmi.h"

#include <utility>

#include "platform/win32/wide_text.h"
#include "platform/win32/windows_api.h"

namespace linkscope::win32 {
namespace {

// The WMI locator and the WMI status-code text object.
constexpr CLSID kLocatorClass = {0x4590F811, 0x1D3A, 0x11D0, {0x89, 0x1F, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
constexpr IID kLocatorInterface = {0xDC12A687, 0x737F, 0x11CF, {0x88, 0x4D, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
constexpr CLSID kStatusTextClass = {0xEB87E1BD, 0x3233, 0x11D2, {0xAE, 0xC9, 0x00, 0xC0, 0x4F, 0xB6, 0x88, 0x20}};
constexpr IID kStatusTextInterface = {0xEB87E1BC, 0x3233, 0x11D2, {0xAE, 0xC9, 0x00, 0xC0, 0x4F, 0xB6, 0x88, 0x20}};

constexpr long kConnectFlags = 0x80;  // WBEM_FLAG_CONNECT_USE_MAX_WAIT
constexpr long kQueryFlags = 0x30;    // WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_FORWARD_ONLY

// An owned interface pointer.
template <class Interface>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ~ComPtr() {
        if (pointer_) pointer_->Release();
    }
    Interface* operator->() const { return pointer_; }
    Interface* Get() const { return pointer_; }
    Interface** Out() { return &pointer_; }
    void** OutVoid() { return reinterpret_cast<void**>(&pointer_); }

private:
    Interface* pointer_ = nullptr;
};

class ScopedBstr {
public:
    explicit ScopedBstr(const std::string& text) {
        const std::wstring wide(text.begin(), text.end());
        bstr_ = SysAllocString(wide.c_str());
    }
    ScopedBstr() = default;
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    ~ScopedBstr() { SysFreeString(bstr_); }
    BSTR Get() const { return bstr_; }
    BSTR* Out() { return &bstr_; }

private:
    BSTR bstr_ = nullptr;
};

class ScopedVariant {
public:
    ScopedVariant() { VariantInit(&variant_); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    ~ScopedVariant() { VariantClear(&variant_); }
    VARIANT* Out() { return &variant_; }
    const VARIANT& Get() const { return variant_; }

private:
    VARIANT variant_;
};

// A wide text as the collectors store it, converted into a buffer of
// kWmiMaxText + 1 bytes.
std::string Narrow(BSTR text) { return NarrowAsPercentS(text, platform::kWmiMaxText); }

platform::WmiValue ValueOf(const VARIANT& variant) {
    platform::WmiValue value;
    using Kind = platform::WmiValue::Kind;
    switch (variant.vt) {
        case VT_EMPTY:
        case VT_NULL: break;
        case VT_BSTR:
            value.kind = Kind::kText;
            value.text = Narrow(variant.bstrVal);
            break;
        case VT_I4:
            value.kind = Kind::kInt32;
            value.integer = variant.lVal;
            break;
        case VT_I1: value = {Kind::kOtherInteger, {}, variant.cVal}; break;
        case VT_UI1: value = {Kind::kOtherInteger, {}, variant.bVal}; break;
        case VT_I2: value = {Kind::kOtherInteger, {}, variant.iVal}; break;
        case VT_UI2: value = {Kind::kOtherInteger, {}, variant.uiVal}; break;
        case VT_UI4: value = {Kind::kOtherInteger, {}, static_cast<std::int64_t>(variant.ulVal)}; break;
        case VT_INT: value = {Kind::kOtherInteger, {}, variant.intVal}; break;
        case VT_UINT: value = {Kind::kOtherInteger, {}, static_cast<std::int64_t>(variant.uintVal)}; break;
        case VT_I8: value = {Kind::kOtherInteger, {}, variant.llVal}; break;
        case VT_UI8: value = {Kind::kOtherInteger, {}, static_cast<std::int64_t>(variant.ullVal)}; break;
        default: value.kind = Kind::kOther; break;
    }
    return value;
}

class Win32Object final : public platform::WmiObject {
public:
    explicit Win32Object(ComPtr<IWbemClassObject> object) : object_(std::move(object)) {}

    platform::WmiValue Get(const std::string& property) override {
        const std::wstring name(property.begin(), property.end());
        ScopedVariant value;
        if (FAILED(object_->Get(name.c_str(), 0, value.Out(), nullptr, nullptr))) return {};
        return ValueOf(value.Get());
    }

private:
    ComPtr<IWbemClassObject> object_;
};

class Win32Enumerator final : public platform::WmiEnumerator {
public:
    explicit Win32Enumerator(ComPtr<IEnumWbemClassObject> enumerator) : enumerator_(std::move(enumerator)) {}

    std::unique_ptr<platform::WmiObject> Next() override {
        ComPtr<IWbemClassObject> object;
        ULONG returned = 0;
        enumerator_->Next(WBEM_INFINITE, 1, object.Out(), &returned);
        if (returned == 0 || object.Get() == nullptr) return nullptr;
        return std::make_unique<Win32Object>(std::move(object));
    }

private:
    ComPtr<IEnumWbemClassObject> enumerator_;
};

class Win32Connection final : public platform::WmiConnection {
public:
    explicit Win32Connection(ComPtr<IWbemServices> services) : services_(std::move(services)) {}

    platform::WmiQueryAnswer ExecQuery(const std::string& query) override {
        const ScopedBstr language("WQL");
        const ScopedBstr text(query);
        ComPtr<IEnumWbemClassObject> enumerator;
        const HRESULT result =
            services_->ExecQuery(language.Get(), text.Get(), kQueryFlags, nullptr, enumerator.Out());
        if (FAILED(result) || enumerator.Get() == nullptr) return {static_cast<platform::WmiResult>(result), nullptr};
        return {static_cast<platform::WmiResult>(result), std::make_unique<Win32Enumerator>(std::move(enumerator))};
    }

private:
    ComPtr<IWbemServices> services_;
};

// The system's text for a WMI result code, if it has one.
std::optional<std::string> StatusText(HRESULT code) {
    ComPtr<IWbemStatusCodeText> status;
    if (FAILED(CoCreateInstance(kStatusTextClass, nullptr, CLSCTX_INPROC_SERVER, kStatusTextInterface,
                                status.OutVoid())) ||
        status.Get() == nullptr) {
        return std::nullopt;
    }
    ScopedBstr text;
    if (FAILED(status->GetErrorCodeText(code, 0, 0, text.Out())) || text.Get() == nullptr) return std::nullopt;
    return Narrow(text.Get());
}

class Win32Locator final : public platform::WmiLocator {
public:
    explicit Win32Locator(ComPtr<IWbemLocator> locator) : locator_(std::move(locator)) {}

    platform::WmiConnectAnswer ConnectServer(const std::string& wmiNamespace) override {
        const ScopedBstr path(wmiNamespace);
        ComPtr<IWbemServices> services;
        const HRESULT result = locator_->ConnectServer(path.Get(), nullptr, nullptr, nullptr, kConnectFlags, nullptr,
                                                       nullptr, services.Out());
        if (result != WBEM_S_NO_ERROR || services.Get() == nullptr) {
            return {static_cast<platform::WmiResult>(result), nullptr, StatusText(result)};
        }
        CoSetProxyBlanket(services.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                          RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
        return {platform::kWmiOk, std::make_unique<Win32Connection>(std::move(services)), std::nullopt};
    }

private:
    ComPtr<IWbemLocator> locator_;
};

}  // namespace

void Win32Wmi::InitializeCom() { CoInitialize(nullptr); }

void Win32Wmi::UninitializeCom() { CoUninitialize(); }

std::unique_ptr<platform::WmiLocator> Win32Wmi::CreateLocator() {
    ComPtr<IWbemLocator> locator;
    if (FAILED(CoCreateInstance(kLocatorClass, nullptr, CLSCTX_INPROC_SERVER, kLocatorInterface, locator.OutVoid())) ||
        locator.Get() == nullptr) {
        return nullptr;
    }
    return std::make_unique<Win32Locator>(std::move(locator));
}

}  // namespace linkscope::win32
