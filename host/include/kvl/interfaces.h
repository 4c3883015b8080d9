// The host's CIM object interfaces, in the slot order the host fixes.
#pragma once

#include <string>
#include <vector>

#include <boost/function.hpp>
#include <boost/shared_ptr.hpp>

#include "kvl/export.h"
#include "kvl/values.h"

namespace NQRXKVL20 {

class ICIMClass;
class ICIMInstance;
class ICIMProperty;

typedef boost::function<bool(boost::shared_ptr<ICIMInstance>)> TInstanceCallback;

class KVL_INTERFACE ICIMNamespace {
public:
    virtual ~ICIMNamespace() {}
    virtual boost::shared_ptr<ICIMClass> GetClass(const std::string& name, TCIMPropertyMap ctx) = 0;
};

class KVL_INTERFACE ICIMClass {
public:
    virtual ~ICIMClass() {}
    virtual const std::string& GetName(TCIMPropertyMap ctx) = 0;
    virtual boost::shared_ptr<ICIMInstance> CreateInstance(TCIMPropertyMap ctx) = 0;
    // Hands every instance of the class to `callback`, once each, before it
    // returns. `deep` is always true in this system.
    virtual void EnumerateInstances(const TInstanceCallback& callback, bool deep,
                                    TCIMPropertyMap ctx) = 0;
};

class KVL_INTERFACE ICIMInstance {
public:
    virtual ~ICIMInstance() {}
    virtual void Commit(TCIMPropertyMap ctx) = 0;
    virtual TCIMReference GetReference(TCIMPropertyMap ctx) = 0;
    // Empty pointer when the property was never set on this instance.
    virtual boost::shared_ptr<ICIMProperty> GetProperty(const std::string& name,
                                                        TCIMPropertyMap ctx) = 0;
    virtual void SetProperty(const std::string& name, const TCIMValue& value,
                             TCIMPropertyMap ctx) = 0;
};

class KVL_INTERFACE ICIMProperty {
public:
    virtual ~ICIMProperty() {}
    virtual const TCIMValue& GetValue(TCIMPropertyMap ctx) = 0;
};

class KVL_INTERFACE ILogger {
public:
    virtual ~ILogger() {}
    // Level 1: failures of basic calls; level 3: everything else.
    virtual void Log(int level, const std::string& text) = 0;
};

// The callback the host's enumeration is usually given: appends each
// instance to a caller-owned vector.
template <class T>
class TAddToVectorCallback {
public:
    explicit TAddToVectorCallback(std::vector<boost::shared_ptr<T> >* target) : target_(target) {}
    bool operator()(boost::shared_ptr<T> item) const {
        target_->push_back(item);
        return true;
    }

private:
    std::vector<boost::shared_ptr<T> >* target_;
};

}  // namespace NQRXKVL20
