// What every object of the stand-in WMI locator shares: IUnknown over one
// interface, and an owner for the references one object keeps on another.
#pragma once

#include <atomic>
#include <string>

#include "platform/win32/windows_api.h"
// After the Windows headers, which it needs.
#include <wrl/client.h>

namespace standin_wmi {

// A method the stand-in does not serve.
#define UNSUPPORTED(method, ...) \
    HRESULT STDMETHODCALLTYPE method(__VA_ARGS__) override { return WBEM_E_NOT_SUPPORTED; }

// Objects alive and LockServer locks held; the server may be unloaded
// when both are zero.
std::atomic<long>& LiveObjects();
std::atomic<long>& ServerLocks();

// IUnknown for one interface. An object is created with one reference,
// which its creator hands out or releases; the last Release deletes it.
template <class Interface>
class ComObject : public Interface {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (interfaceId == __uuidof(IUnknown) || interfaceId == __uuidof(Interface)) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

protected:
    ComObject() { ++LiveObjects(); }
    virtual ~ComObject() { --LiveObjects(); }

private:
    std::atomic<ULONG> references_{1};
};

// One counted reference to a COM object, released exactly once.
template <class Interface>
using Reference = Microsoft::WRL::ComPtr<Interface>;

// Takes over the reference the caller holds.
template <class Interface>
Reference<Interface> Adopt(Interface* object) {
    Reference<Interface> reference;
    reference.Attach(object);
    return reference;
}

// A text from the caller, turned into the single-byte text the simulation
// holds: each code unit below 256 becomes the byte of the same value, the
// inverse of the conversion the collector applies to the texts it reads.
// Any other unit becomes '?', which matches no query, path or name the
// simulation knows.
std::string Narrow(const wchar_t* text);

}  // namespace standin_wmi
