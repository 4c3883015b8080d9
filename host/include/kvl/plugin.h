// What a plug-in implements and where it registers.
#pragma once

#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "kvl/export.h"
#include "kvl/interfaces.h"

namespace NQRXKVL20 {

class KVL_INTERFACE IPluginCallbacks {
public:
    virtual ~IPluginCallbacks() {}
    virtual int GetReserved() = 0;
    virtual std::string GetName() = 0;
    virtual std::string GetVersion() = 0;
    virtual std::string GetInterfaceVersion() = 0;
    virtual void Destroy() = 0;
    virtual void Collect() = 0;
    virtual void Cleanup() = 0;
};

class KVL_INTERFACE IPluginBasicQueryCallbacks {
public:
    virtual ~IPluginBasicQueryCallbacks() {}
    virtual void QueryInstances(boost::shared_ptr<ICIMNamespace> ns,
                                const std::vector<boost::shared_ptr<ICIMClass> >& classes) = 0;
};

}  // namespace NQRXKVL20
