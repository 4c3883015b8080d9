// A stand-in for the WMI locator, for tests only: an in-process COM server
// that a test registers under the locator's class id in a throwaway Wine
// prefix. It serves the teaming provider's namespace from the
// `teamingProvider` section of the machine file that
// LINKSCOPE_STANDIN_MACHINE names, through the project's own simulation.
// Only connecting and running queries are served; it is not a WMI service
// and holds nothing of any vendor's provider.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <new>

#include "platform/sim/machine_file.h"
#include "platform/sim/sim_wmi.h"
#include "tests/wine/standin_wmi/com_object.h"
#include "tests/wine/standin_wmi/wbem_objects.h"

namespace standin_wmi {

std::atomic<long>& LiveObjects() {
    static std::atomic<long> count{0};
    return count;
}

std::atomic<long>& ServerLocks() {
    static std::atomic<long> count{0};
    return count;
}

std::string Narrow(const wchar_t* text) {
    std::string narrow;
    for (; *text != L'\0'; ++text) {
        const auto unit = static_cast<unsigned long>(*text);
        narrow.push_back(unit < 0x100 ? static_cast<char>(unit) : '?');
    }
    return narrow;
}

namespace {

using linkscope::platform::WmiConnection;
using linkscope::platform::WmiLocator;

constexpr CLSID kLocatorClass = {0x4590F811, 0x1D3A, 0x11D0, {0x89, 0x1F, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};

// The flags the calls know; a call with any other bit is refused as
// WBEM_E_INVALID_PARAMETER.
constexpr LONG kKnownQueryFlags = WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_PROTOTYPE |
                                  WBEM_FLAG_ENSURE_LOCATABLE | WBEM_FLAG_DIRECT_READ |
                                  WBEM_FLAG_USE_AMENDED_QUALIFIERS;
constexpr LONG kKnownConnectFlags = WBEM_FLAG_CONNECT_USE_MAX_WAIT;

// The simulated WMI of the machine file, read on first use; null, after a
// line on standard error saying why, when it cannot be read.
linkscope::sim::SimWmi* Simulation() {
    static const std::unique_ptr<linkscope::sim::SimWmi> wmi = []() -> std::unique_ptr<linkscope::sim::SimWmi> {
        const char* path = std::getenv("LINKSCOPE_STANDIN_MACHINE");
        if (path == nullptr) {
            std::fputs("standin_wmi: LINKSCOPE_STANDIN_MACHINE names no machine file\n", stderr);
            return nullptr;
        }
        try {
            return std::make_unique<linkscope::sim::SimWmi>(linkscope::sim::LoadMachineFile(path));
        } catch (const linkscope::sim::MachineFileError& error) {
            std::fprintf(stderr, "standin_wmi: %s\n", error.what());
            return nullptr;
        }
    }();
    return wmi.get();
}

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
            *answer = NewEnumerator(std::move(found.objects), Reference<IUnknown>(this));
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
            const auto created = Adopt<IWbemLocator>(new Locator(std::move(locator)));
            return created->QueryInterface(interfaceId, object);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        ServerLocks() += lock ? 1 : -1;
        return S_OK;
    }
};

}  // namespace
}  // namespace standin_wmi

STDAPI DllGetClassObject(REFCLSID classId, REFIID interfaceId, LPVOID* object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (classId != standin_wmi::kLocatorClass) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) standin_wmi::Factory;
    if (factory == nullptr) return E_OUTOFMEMORY;
    const auto owned = standin_wmi::Adopt<IClassFactory>(factory);
    return owned->QueryInterface(interfaceId, object);
}

STDAPI DllCanUnloadNow() {
    return standin_wmi::LiveObjects() == 0 && standin_wmi::ServerLocks() == 0 ? S_OK : S_FALSE;
}
