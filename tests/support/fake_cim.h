// Test support: hand-made host objects that record what the query handler
// does with them, and can be told to fail.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <boost/make_shared.hpp>

#include "kvl/interfaces.h"
#include "kvl/values.h"

namespace linkscope::testing {

using NQRXKVL20::ICIMClass;
using NQRXKVL20::ICIMInstance;
using NQRXKVL20::ICIMNamespace;
using NQRXKVL20::ICIMProperty;
using NQRXKVL20::TCIMPropertyMap;
using NQRXKVL20::TCIMReference;
using NQRXKVL20::TCIMValue;

struct CommittedInstance {
    std::string className;
    std::vector<std::pair<std::string, TCIMValue>> properties;
};

// Everything committed through fake classes, in commit order.
struct CommitLog {
    std::vector<CommittedInstance> instances;
    // SetProperty throws once this many properties were set (-1: never).
    int setPropertiesBeforeFailure = -1;
};

class FakeInstance : public ICIMInstance {
public:
    FakeInstance(std::string className, CommitLog& log) : log_(log) { pending_.className = std::move(className); }
    void Commit(TCIMPropertyMap) override { log_.instances.push_back(pending_); }
    TCIMReference GetReference(TCIMPropertyMap) override { return TCIMReference(); }
    boost::shared_ptr<ICIMProperty> GetProperty(const std::string&, TCIMPropertyMap) override { return {}; }
    void SetProperty(const std::string& name, const TCIMValue& value, TCIMPropertyMap) override {
        if (log_.setPropertiesBeforeFailure-- == 0) {
            throw NQRXKVL20::TKVLException(NQRXKVL20::kKVLStatusTypeMismatch, name);
        }
        pending_.properties.emplace_back(name, value);
    }

private:
    CommitLog& log_;
    CommittedInstance pending_;
};

class FakeClass : public ICIMClass {
public:
    FakeClass(std::string name, CommitLog& log) : name_(std::move(name)), log_(log) {}
    const std::string& GetName(TCIMPropertyMap) override {
        ++nameRequests;
        return name_;
    }
    boost::shared_ptr<ICIMInstance> CreateInstance(TCIMPropertyMap) override {
        return boost::make_shared<FakeInstance>(name_, log_);
    }
    void EnumerateInstances(const NQRXKVL20::TInstanceCallback&, bool, TCIMPropertyMap) override {}

    int nameRequests = 0;

private:
    std::string name_;
    CommitLog& log_;
};

// A namespace whose class look-ups are counted, and fail when told to.
class FakeNamespace : public ICIMNamespace {
public:
    explicit FakeNamespace(CommitLog& log) : log_(log) {}
    boost::shared_ptr<ICIMClass> GetClass(const std::string& name, TCIMPropertyMap) override {
        lookups.push_back(name);
        if (failLookups) throw std::runtime_error("lookup refused");
        return boost::make_shared<FakeClass>(name, log_);
    }

    std::vector<std::string> lookups;
    bool failLookups = false;

private:
    CommitLog& log_;
};

}  // namespace linkscope::testing
