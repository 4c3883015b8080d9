#include "tests/wine/standin_wmi/wbem_objects.h"

#include <new>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace standin_wmi {
namespace {

using linkscope::platform::WmiValue;

// A VARIANT being filled, cleared unless it is handed to the caller.
class OwnedVariant {
public:
    OwnedVariant() { VariantInit(&variant_); }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;
    ~OwnedVariant() { VariantClear(&variant_); }
    VARIANT& Get() { return variant_; }
    // The caller's VARIANT takes the value (and the duty to clear it).
    void MoveTo(VARIANT* target) {
        *target = variant_;
        VariantInit(&variant_);
    }

private:
    VARIANT variant_;
};

// A property's value as it is handed over: a text as a BSTR (each byte
// the code unit of the same value), a 32-bit integer as VT_I4, any other
// integer as VT_I8, the one kind that holds every integer the simulation
// can give, no value as VT_NULL, and a value of any other kind as the
// boolean true. `type` is the matching CIM type; a property without value
// has none, as the stand-in knows no class definitions.
HRESULT Convert(const WmiValue& value, VARIANT& variant, CIMTYPE& type) {
    switch (value.kind) {
        case WmiValue::Kind::kNull:
            std::tie(variant.vt, type) = std::pair(VT_NULL, CIM_EMPTY);
            return WBEM_S_NO_ERROR;
        case WmiValue::Kind::kText: {
            std::wstring units;
            for (const char byte : value.text) units.push_back(static_cast<unsigned char>(byte));
            variant.bstrVal = SysAllocStringLen(units.data(), static_cast<UINT>(units.size()));
            if (variant.bstrVal == nullptr) return WBEM_E_OUT_OF_MEMORY;
            std::tie(variant.vt, type) = std::pair(VT_BSTR, CIM_STRING);
            return WBEM_S_NO_ERROR;
        }
        case WmiValue::Kind::kInt32:
            variant.lVal = static_cast<LONG>(value.integer);
            std::tie(variant.vt, type) = std::pair(VT_I4, CIM_SINT32);
            return WBEM_S_NO_ERROR;
        case WmiValue::Kind::kOtherInteger:
            variant.llVal = value.integer;
            std::tie(variant.vt, type) = std::pair(VT_I8, CIM_SINT64);
            return WBEM_S_NO_ERROR;
        case WmiValue::Kind::kOther:
            variant.boolVal = VARIANT_TRUE;
            std::tie(variant.vt, type) = std::pair(VT_BOOL, CIM_BOOLEAN);
            return WBEM_S_NO_ERROR;
    }
    return WBEM_E_FAILED;
}

// One object of an answer. Only Get is served; an object of this
// provider is never changed, copied or asked for its definition.
class ClassObject final : public ComObject<IWbemClassObject> {
public:
    ClassObject(std::unique_ptr<linkscope::platform::WmiObject> object, Reference<IUnknown> source)
        : object_(std::move(object)), source_(std::move(source)) {}

    // A property the simulation does not hold reads as null, not as
    // WBEM_E_NOT_FOUND: without class definitions the two cannot be told
    // apart, and a reader of optional properties treats them alike.
    HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG flags, VARIANT* value, CIMTYPE* type, LONG* flavor) override {
        if (name == nullptr || flags != 0) return WBEM_E_INVALID_PARAMETER;
        try {
            const std::string property = Narrow(name);
            OwnedVariant converted;
            CIMTYPE convertedType = CIM_EMPTY;
            const HRESULT result = Convert(object_->Get(property), converted.Get(), convertedType);
            if (FAILED(result)) return result;
            if (value != nullptr) converted.MoveTo(value);
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
    std::unique_ptr<linkscope::platform::WmiObject> object_;
    Reference<IUnknown> source_;
};

// Forward only: the objects are handed out once, in order, and the
// enumerator cannot be reset, skipped or copied.
class Enumerator final : public ComObject<IEnumWbemClassObject> {
public:
    Enumerator(std::unique_ptr<linkscope::platform::WmiEnumerator> objects, Reference<IUnknown> source)
        : objects_(std::move(objects)), source_(std::move(source)) {}

    // All objects are at hand, so no call waits and every timeout is
    // alike; the answer is WBEM_S_FALSE when fewer than `count` are left.
    HRESULT STDMETHODCALLTYPE Next(LONG timeout, ULONG count, IWbemClassObject** objects, ULONG* returned) override {
        if (objects == nullptr || returned == nullptr) return WBEM_E_INVALID_PARAMETER;
        if (timeout < 0 && timeout != static_cast<LONG>(WBEM_INFINITE)) return WBEM_E_INVALID_PARAMETER;
        *returned = 0;
        try {
            std::vector<Reference<IWbemClassObject>> found;
            while (found.size() < count) {
                std::unique_ptr<linkscope::platform::WmiObject> next = objects_->Next();
                if (!next) break;
                found.push_back(Adopt<IWbemClassObject>(new ClassObject(std::move(next), source_)));
            }
            for (Reference<IWbemClassObject>& object : found) objects[(*returned)++] = object.Detach();
        } catch (const std::bad_alloc&) {
            return WBEM_E_OUT_OF_MEMORY;
        }
        return *returned == count ? WBEM_S_NO_ERROR : WBEM_S_FALSE;
    }

    UNSUPPORTED(Reset)
    UNSUPPORTED(NextAsync, ULONG, IWbemObjectSink*)
    UNSUPPORTED(Clone, IEnumWbemClassObject**)
    UNSUPPORTED(Skip, LONG, ULONG)

private:
    std::unique_ptr<linkscope::platform::WmiEnumerator> objects_;
    Reference<IUnknown> source_;
};

}  // namespace

IEnumWbemClassObject* NewEnumerator(std::unique_ptr<linkscope::platform::WmiEnumerator> objects,
                                    Reference<IUnknown> source) {
    return new Enumerator(std::move(objects), std::move(source));
}

}  // namespace standin_wmi
