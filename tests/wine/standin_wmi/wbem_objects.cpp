#include "tests/wine/standin_wmi/wbem_objects.h"

#include <new>
#include <string>
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
            variant.vt = VT_NULL;
            type = CIM_EMPTY;
            return WBEM_S_NO_ERROR;
        case WmiValue::Kind::kText: {
            std::wstring units;
            for (const char byte : value.text) units.push_back(static_cast<unsigned char>(byte));
            variant.bstrVal = SysAllocStringLen(units.data(), static_cast<UINT>(units.size()));
            if (variant.bstrVal == nullptr) return WBEM_E_OUT_OF_MEMORY;
            variant.vt = VT_BSTR;
            type = CIM_STRING;
            return WBEM_S_NO_ERROR;
        }
        case WmiValue::Kind::kInt32:
            variant.vt = VT_I4;
            variant.lVal = static_cast<LONG>(value.integer);
            type = CIM_SINT32;
            return WBEM_S_NO_ERROR;
        case WmiValue::Kind::kOtherInteger:
            variant.vt = VT_I8;
            variant.llVal = value.integer;
            type = CIM_SINT64;
            return WBEM_S_NO_ERROR;
        case WmiValue::Kind::kOther:
            variant.vt = VT_BOOL;
            variant.boolVal = VARIANT_TRUE;
            type = CIM_BOOLEAN;
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

    HRESULT STDMETHODCALLTYPE GetQualifierSet(IWbemQualifierSet**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE Put(LPCWSTR, LONG, VARIANT*, CIMTYPE) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE Delete(LPCWSTR) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetNames(LPCWSTR, LONG, VARIANT*, SAFEARRAY**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE BeginEnumeration(LONG) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE Next(LONG, BSTR*, VARIANT*, CIMTYPE*, LONG*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE EndEnumeration() override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetPropertyQualifierSet(LPCWSTR, IWbemQualifierSet**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE Clone(IWbemClassObject**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetObjectText(LONG, BSTR*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE SpawnDerivedClass(LONG, IWbemClassObject**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE SpawnInstance(LONG, IWbemClassObject**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE CompareTo(LONG, IWbemClassObject*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetPropertyOrigin(LPCWSTR, BSTR*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE InheritsFrom(LPCWSTR) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetMethod(LPCWSTR, LONG, IWbemClassObject**, IWbemClassObject**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE PutMethod(LPCWSTR, LONG, IWbemClassObject*, IWbemClassObject*) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DeleteMethod(LPCWSTR) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE BeginMethodEnumeration(LONG) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE NextMethod(LONG, BSTR*, IWbemClassObject**, IWbemClassObject**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE EndMethodEnumeration() override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetMethodQualifierSet(LPCWSTR, IWbemQualifierSet**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE GetMethodOrigin(LPCWSTR, BSTR*) override { return WBEM_E_NOT_SUPPORTED; }

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
                found.push_back(Reference<IWbemClassObject>::Adopt(
                    new ClassObject(std::move(next), Reference<IUnknown>::Share(source_.Get()))));
            }
            for (Reference<IWbemClassObject>& object : found) objects[(*returned)++] = object.Detach();
        } catch (const std::bad_alloc&) {
            return WBEM_E_OUT_OF_MEMORY;
        }
        return *returned == count ? WBEM_S_NO_ERROR : WBEM_S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE Reset() override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE NextAsync(ULONG, IWbemObjectSink*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE Clone(IEnumWbemClassObject**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE Skip(LONG, ULONG) override { return WBEM_E_NOT_SUPPORTED; }

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
