// A stand-in for the WMI locator, for tests only: an in-process COM server
// registered under the locator's class id in a throwaway Wine prefix. It
// answers connections, queries and property reads from the
// `teamingProvider` section of the machine file that
// LINKSCOPE_STANDIN_MACHINE names, through the project's own simulation.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <new>
#include <string>
#include <tuple>
#include <utility>

#include "platform/sim/machine_file.h"
#include "platform/sim/sim_wmi.h"
#include "platform/win32/windows_api.h"
#include "platform/wmi.h"
// After the Windows headers, which it needs.
#include <wrl/client.h>

namespace {

using linkscope::platform::WmiConnection;
using linkscope::platform::WmiEnumerator;
using linkscope::platform::WmiLocator;
using linkscope::platform::WmiObject;
using linkscope::platform::WmiValue;
using Owner = Microsoft::WRL::ComPtr<IUnknown>;

// A method the stand-in does not serve.
#define UNSUPPORTED(method, ...) \
    HRESULT STDMETHODCALLTYPE method(__VA_ARGS__) override { return WBEM_E_NOT_SUPPORTED; }

constexpr CLSID kLocatorClass = {0x4590F811, 0x1D3A, 0x11D0, {0x89, 0x1F, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};

// Calls with any other flag are refused.
constexpr LONG kKnownQueryFlags = WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_PROTOTYPE |
                                  WBEM_FLAG_ENSURE_LOCATABLE | WBEM_FLAG_DIRECT_READ |
                                  WBEM_FLAG_USE_AMENDED_QUALIFIERS;
constexpr LONG kKnownConnectFlags = WBEM_FLAG_CONNECT_USE_MAX_WAIT;

// IUnknown for one interface. An object is created with one reference,
// which its creator hands out or releases; the last Release deletes it.
template <class Interface>
class ComObject : public Interface {
public:
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

    // Hands the caller `interfaceId` of a new object, whose creator's
    // reference is released.
    HRESULT HandOut(REFIID interfaceId, void** object) {
        const HRESULT result = QueryInterface(interfaceId, object);
        Release();
        return result;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

private:
    std::atomic<ULONG> references_{1};
};

// The simulation's single-byte text of a caller's text: each code unit
// below 256 becomes the byte of that value, any other '?', which matches
// nothing the simulation knows.
std::string Narrow(const wchar_t* text) {
    std::string narrow;
    for (; *text != L'\0'; ++text) {
        const auto unit = static_cast<unsigned long>(*text);
        narrow.push_back(unit < 0x100 ? static_cast<char>(unit) : '?');
    }
    return narrow;
}

// A property's value as handed over: a text as a BSTR of the same code
// units, a 32-bit integer as VT_I4, any other integer as VT_I8 (which holds
// every integer the simulation gives), no value as VT_NULL and any other
// kind as the boolean true; `type` is the matching CIM type. Nothing is
// allocated when it fails.
HRESULT Convert(const WmiValue& value, VARIANT& variant, CIMTYPE& type) {
    switch (value.kind) {
        case WmiValue::Kind::kNull:
            std::tie(variant.vt, type) = std::pair(VT_NULL, CIM_EMPTY);
            break;
        case WmiValue::Kind::kText: {
            std::wstring units;
            for (const char byte : value.text) units.push_back(static_cast<unsigned char>(byte));
            variant.bstrVal = SysAllocStringLen(units.data(), static_cast<UINT>(units.size()));
            if (variant.bstrVal == nullptr) return WBEM_E_OUT_OF_MEMORY;
            std::tie(variant.vt, type) = std::pair(VT_BSTR, CIM_STRING);
            break;
        }
        case WmiValue::Kind::kInt32:
            std::tie(variant.lVal, variant.vt, type) = std::tuple(static_cast<LONG>(value.integer), VT_I4, CIM_SINT32);
            break;
        case WmiValue::Kind::kOtherInteger:
            std::tie(variant.llVal, variant.vt, type) = std::tuple(value.integer, VT_I8, CIM_SINT64);
            break;
        case WmiValue::Kind::kOther:
            std::tie(variant.boolVal, variant.vt, type) = std::tuple(VARIANT_TRUE, VT_BOOL, CIM_BOOLEAN);
            break;
    }
    return WBEM_S_NO_ERROR;
}

// The simulated WMI of the machine file, read on first use; null, after a
// line on standard error saying why, when it cannot be read.
linkscope::sim::SimWmi* Simulation() {
    static const std::unique_ptr<linkscope::sim::SimWmi> wmi = []() -> std::unique_ptr<linkscope::sim::SimWmi> {
        const char* path = std::getenv("LINKSCOPE_STANDIN_MACHINE");
        try {
            if (path != nullptr) return std::make_unique<linkscope::sim::SimWmi>(linkscope::sim::LoadMachineFile(path));
            std::fputs("standin_wmi: LINKSCOPE_STANDIN_MACHINE names no machine file\n", stderr);
        } catch (const linkscope::sim::MachineFileError& error) {
            std::fprintf(stderr, "standin_wmi: %s\n", error.what());
        }
        return nullptr;
    }();
    return wmi.get();
}

// One object of an answer; only Get is served. `source`, the connection
// that answered, lives as long as the object.
class ClassObject final : public ComObject<IWbemClassObject> {
public:
    ClassObject(std::unique_ptr<WmiObject> object, Owner source)
        : object_(std::move(object)), source_(std::move(source)) {}

    // A property the simulation does not hold reads as null, not as
    // WBEM_E_NOT_FOUND: without class definitions the two cannot be told
    // apart, and a reader of optional properties treats them alike.
    HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG flags, VARIANT* value, CIMTYPE* type, LONG* flavor) override {
        if (name == nullptr || flags != 0) return WBEM_E_INVALID_PARAMETER;
        try {
            const std::string property = Narrow(name);
            VARIANT converted;
            VariantInit(&converted);
            CIMTYPE convertedType = CIM_EMPTY;
            const HRESULT result = Convert(object_->Get(property), converted, convertedType);
            if (FAILED(result)) return result;
            if (value != nullptr) *value = converted;  // the caller clears it
            else VariantClear(&converted);
            if (type != nullptr) *type = convertedType;
            if (flavor != nullptr) {
                *flavor = property.rfind("__", 0) == 0 ? WBEM_FLAVOR_ORIGIN_SYSTEM : WBEM_FLAVOR_ORIGIN_LOCAL;
            }
            return WBEM_S_NO_ERROR;
        } catch (const std::bad_alloc&) {
            return WBEM_E_OUT_OF_MEMORY;
        }
    }

    UNSUPPORTED(GetQualifierSet, IWbemQualifierSet**)
    UNSUPPORTED(Put, LPCWSTR, LONG, VARIANT*, CIMTYPE)
    UNSUPPORTED(Delete, LPCWSTR)
    UNSUPPORTED(GetNames, LPCWSTR, LONG, VARIANT*, SAFEARRAY**)
    UNSUPPORTED(BeginEnumeration, LONG)
    UNSUPPORTED(Next, LONG, BSTR*, VARIANT*, CIMTYPE*, LONG*)
    UNSUPPORTED(EndEnumeration)
    UNSUPPORTED(GetPropertyQualifierSet, LPCWSTR, IWbemQualifierSet**)
    UNSUPPORTED(Clone, IWbemClassObject**)
    UNSUPPORTED(GetObjectText, LONG, BSTR*)
    UNSUPPORTED(SpawnDerivedClass, LONG, IWbemClassObject**)
    UNSUPPORTED(SpawnInstance, LONG, IWbemClassObject**)
    UNSUPPORTED(CompareTo, LONG, IWbemClassObject*)
    UNSUPPORTED(GetPropertyOrigin, LPCWSTR, BSTR*)
    UNSUPPORTED(InheritsFrom, LPCWSTR)
    UNSUPPORTED(GetMethod, LPCWSTR, LONG, IWbemClassObject**, IWbemClassObject**)
    UNSUPPORTED(PutMethod, LPCWSTR, LONG, IWbemClassObject*, IWbemClassObject*)
    UNSUPPORTED(DeleteMethod, LPCWSTR)
    UNSUPPORTED(BeginMethodEnumeration, LONG)
    UNSUPPORTED(NextMethod, LONG, BSTR*, IWbemClassObject**, IWbemClassObject**)
    UNSUPPORTED(EndMethodEnumeration)
    UNSUPPORTED(GetMethodQualifierSet, LPCWSTR, IWbemQualifierSet**)
    UNSUPPORTED(GetMethodOrigin, LPCWSTR, BSTR*)

private:
    std::unique_ptr<WmiObject> object_;
    Owner source_;
};

// Forward only: the objects of one answer are handed out once, in order.
class Enumerator final : public ComObject<IEnumWbemClassObject> {
public:
    Enumerator(std::unique_ptr<WmiEnumerator> objects, Owner source)
        : objects_(std::move(objects)), source_(std::move(source)) {}

    // Nothing waits, so every valid timeout is alike; WBEM_S_FALSE when
    // fewer than `count` are left.
    HRESULT STDMETHODCALLTYPE Next(LONG timeout, ULONG count, IWbemClassObject** objects, ULONG* returned) override {
        if (objects == nullptr || returned == nullptr) return WBEM_E_INVALID_PARAMETER;
        if (timeout < 0 && timeout != static_cast<LONG>(WBEM_INFINITE)) return WBEM_E_INVALID_PARAMETER;
        *returned = 0;
        try {
            while (*returned < count) {
                std::unique_ptr<WmiObject> next = objects_->Next();
                if (!next) break;
                objects[*returned] = new ClassObject(std::move(next), source_);
                ++*returned;
            }
        } catch (const std::bad_alloc&) {
            while (*returned > 0) objects[--*returned]->Release();
            return WBEM_E_OUT_OF_MEMORY;
        }
        return *returned == count ? WBEM_S_NO_ERROR : WBEM_S_FALSE;
    }

    UNSUPPORTED(Reset)
    UNSUPPORTED(NextAsync, ULONG, IWbemObjectSink*)
    UNSUPPORTED(Clone, IEnumWbemClassObject**)
    UNSUPPORTED(Skip, LONG, ULONG)

private:
    std::unique_ptr<WmiEnumerator> objects_;
    Owner source_;
};

class Services final : public ComObject<IWbemServices> {
public:
    explicit Services(std::unique_ptr<WmiConnection> connection) : connection_(std::move(connection)) {}

    HRESULT STDMETHODCALLTYPE ExecQuery(const BSTR language, const BSTR query, LONG flags, IWbemContext*,
                                        IEnumWbemClassObject** answer) override {
        if (answer == nullptr) return WBEM_E_INVALID_PARAMETER;
        *answer = nullptr;
        if (language == nullptr || query == nullptr || (flags & ~kKnownQueryFlags) != 0) {
            return WBEM_E_INVALID_PARAMETER;
        }
        if (_wcsicmp(language, L"WQL") != 0) return WBEM_E_INVALID_QUERY_TYPE;
        try {
            linkscope::platform::WmiQueryAnswer found = connection_->ExecQuery(Narrow(query));
            if (found.result < 0) return found.result;
            if (!found.objects) return WBEM_E_FAILED;
            *answer = new Enumerator(std::move(found.objects), Owner(this));
            return found.result;
        } catch (const std::bad_alloc&) {
            return WBEM_E_OUT_OF_MEMORY;
        }
    }

    UNSUPPORTED(OpenNamespace, const BSTR, LONG, IWbemContext*, IWbemServices**, IWbemCallResult**)
    UNSUPPORTED(CancelAsyncCall, IWbemObjectSink*)
    UNSUPPORTED(QueryObjectSink, LONG, IWbemObjectSink**)
    UNSUPPORTED(GetObject, const BSTR, LONG, IWbemContext*, IWbemClassObject**, IWbemCallResult**)
    UNSUPPORTED(GetObjectAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
    UNSUPPORTED(PutClass, IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**)
    UNSUPPORTED(PutClassAsync, IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*)
    UNSUPPORTED(DeleteClass, const BSTR, LONG, IWbemContext*, IWbemCallResult**)
    UNSUPPORTED(DeleteClassAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
    UNSUPPORTED(CreateClassEnum, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**)
    UNSUPPORTED(CreateClassEnumAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
    UNSUPPORTED(PutInstance, IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**)
    UNSUPPORTED(PutInstanceAsync, IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*)
    UNSUPPORTED(DeleteInstance, const BSTR, LONG, IWbemContext*, IWbemCallResult**)
    UNSUPPORTED(DeleteInstanceAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
    UNSUPPORTED(CreateInstanceEnum, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**)
    UNSUPPORTED(CreateInstanceEnumAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
    UNSUPPORTED(ExecQueryAsync, const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
    UNSUPPORTED(ExecNotificationQuery, const BSTR, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**)
    UNSUPPORTED(ExecNotificationQueryAsync, const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
    UNSUPPORTED(ExecMethod, const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*, IWbemClassObject**,
                IWbemCallResult**)
    UNSUPPORTED(ExecMethodAsync, const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*, IWbemObjectSink*)

private:
    std::unique_ptr<WmiConnection> connection_;
};

// Connects to the namespaces of the simulation: user, password, locale,
// authority and context are not looked at, as on a local connection.
class Locator final : public ComObject<IWbemLocator> {
public:
    explicit Locator(std::unique_ptr<WmiLocator> locator) : locator_(std::move(locator)) {}

    HRESULT STDMETHODCALLTYPE ConnectServer(const BSTR resource, const BSTR, const BSTR, const BSTR, LONG flags,
                                            const BSTR, IWbemContext*, IWbemServices** services) override {
        if (services == nullptr) return WBEM_E_INVALID_PARAMETER;
        *services = nullptr;
        if (resource == nullptr || (flags & ~kKnownConnectFlags) != 0) return WBEM_E_INVALID_PARAMETER;
        try {
            linkscope::platform::WmiConnectAnswer connected = locator_->ConnectServer(Narrow(resource));
            if (connected.result != WBEM_S_NO_ERROR) return connected.result;
            if (!connected.connection) return WBEM_E_FAILED;
            *services = new Services(std::move(connected.connection));
            return WBEM_S_NO_ERROR;
        } catch (const std::bad_alloc&) {
            return WBEM_E_OUT_OF_MEMORY;
        }
    }

private:
    std::unique_ptr<WmiLocator> locator_;
};

class Factory final : public ComObject<IClassFactory> {
public:
    // Fails with E_FAIL when the machine file cannot be read, and as an
    // unregistered class when the machine has no WMI locator.
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID interfaceId, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        linkscope::sim::SimWmi* wmi = Simulation();
        if (wmi == nullptr) return E_FAIL;
        try {
            std::unique_ptr<WmiLocator> locator = wmi->CreateLocator();
            if (!locator) return REGDB_E_CLASSNOTREG;
            return (new Locator(std::move(locator)))->HandOut(interfaceId, object);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

}  // namespace

STDAPI DllGetClassObject(REFCLSID classId, REFIID interfaceId, LPVOID* object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (classId != kLocatorClass) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) Factory;
    return factory == nullptr ? E_OUTOFMEMORY : factory->HandOut(interfaceId, object);
}

// Stays loaded for the life of the test's process.
STDAPI DllCanUnloadNow() { return S_FALSE; }
