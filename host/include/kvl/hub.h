// The plug-in manager and root object of the stand-in host: a small CIM
// object store that knows the classes' keys, builds object paths, asks the
// registered plug-ins for instances and keeps what they commit.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <boost/enable_shared_from_this.hpp>
#include <boost/container/small_vector.hpp>
#include <boost/shared_ptr.hpp>

#include "kvl/export.h"
#include "kvl/interfaces.h"
#include "kvl/logger.h"
#include "kvl/plugin.h"
#include "kvl/root.h"

namespace NQRXKVL20 {

class THubClass;
class THubInstance;

// A class's name and key property names (in name order), shared by the
// instances made of it. Only associations hold references.
struct KVLHUB_API THubClassShape {
    THubClassShape(const std::string& name, std::vector<std::string> keys, bool association);

    // A property name as the class's instances hold it: the one copy they
    // point at, whether it is a key, and its number among the class's names
    // (from 0, in the order first set), by which an instance tells in one
    // step whether it has the property already.
    struct TName {
        const std::string* text;
        bool key;
        std::size_t number;
    };
    // Instances of one class set the same few names, so each instance keeps
    // a pointer instead of a copy; they mostly set them in one order, so the
    // name the first instance set at `position` is tried before the table.
    TName PropertyName(const std::string& name, std::size_t position) const;

    std::string name;
    std::vector<std::string> keys;
    bool association = false;

private:
    struct TNameInfo {
        bool key;
        std::size_t number;
    };
    // Name → what the class knows of it. Grows only by the names instances
    // set; nodes keep their place, so pointers to the names stay valid.
    mutable std::unordered_map<std::string, TNameInfo> propertyNames_;
    // The names in the order the first instance set them.
    mutable std::vector<const std::pair<const std::string, TNameInfo>*> firstOrder_;
};

// A property of a store instance: its name, held by the class, and value.
struct THubProperty {
    const std::string* name;
    TCIMValue value;
};

class KVLHUB_API TPluginManagerNamespace
    : public ICIMNamespace,
      public boost::enable_shared_from_this<TPluginManagerNamespace> {
public:
    TPluginManagerNamespace();
    ~TPluginManagerNamespace() override;

    // Throws TKVLException with kKVLStatusInvalidClass for an unknown name,
    // and with the class's lookup status where one is set.
    boost::shared_ptr<ICIMClass> GetClass(const std::string& name, TCIMPropertyMap ctx) override;

    void RegisterPlugin(IPluginCallbacks* plugin);
    const std::vector<IPluginCallbacks*>& Plugins() const { return plugins_; }
    // Forgets every registered plug-in (the host owns none of them).
    void UnregisterAll() { plugins_.clear(); }

    // Adds a class, or replaces the keys of a known one. Object paths list
    // the keys in name order whatever the order given here.
    void DefineClass(const std::string& name, const std::vector<std::string>& keys,
                     bool association = false);
    bool HasClass(const std::string& name) const;
    // Makes GetClass of a known class throw TKVLException with `status`, as a
    // provider that fails to load its class would; kKVLStatusOk lets it
    // succeed again. Throws kKVLStatusInvalidClass for an unknown name.
    void SetLookupStatus(const std::string& name, TKVLStatusCode status);
    // Throws TKVLException with kKVLStatusInvalidClass for an unknown name.
    bool IsAssociation(const std::string& name) const;
    // Instances another provider of the host serves, handed out by
    // EnumerateInstances after the plug-ins' own.
    void AddStaticInstance(const std::string& className, const TCIMPropertyMap& properties);

    // Instances committed outside an enumeration, in commit order, while no
    // commit sink is set.
    const std::vector<boost::shared_ptr<THubInstance> >& Committed() const { return committed_; }
    void ClearCommitted() { committed_.clear(); }
    // Hands every instance committed outside an enumeration to `sink` as it
    // is committed, instead of keeping it: the store then holds none once
    // the plug-in lets go of it. An empty sink keeps them again.
    typedef std::function<void(const THubInstance&)> TCommitSink;
    void SetCommitSink(TCommitSink sink) { commitSink_ = std::move(sink); }

    // Used by the store's own classes and instances.
    // Hands a committed instance to the innermost enumeration under way,
    // else keeps it in Committed().
    void Deliver(const boost::shared_ptr<THubInstance>& instance);
    // Asks every registered plug-in for `cls`, routing their commits to
    // `callback`, then hands over the class's static instances. Needs the
    // namespace to be owned by a shared_ptr (plug-ins receive one).
    void Enumerate(THubClass& cls, const TInstanceCallback& callback);
    // The class's name and key property names (in name order). Replacing a
    // class's keys leaves the instances made before with the keys they were
    // made with.
    boost::shared_ptr<const THubClassShape> ShapeOf(const std::string& className) const;
    unsigned long long NextOrdinal() { return ++ordinal_; }
    // The last ordinal handed out; restoring it after a run whose instances
    // are gone makes the next run's keyless instances get the same paths.
    unsigned long long LastOrdinal() const { return ordinal_; }
    void RestoreOrdinal(unsigned long long last) { ordinal_ = last; }

private:
    struct ClassEntry {
        boost::shared_ptr<const THubClassShape> shape;
        boost::shared_ptr<THubClass> object;
        std::vector<TCIMPropertyMap> statics;
        TKVLStatusCode lookupStatus = kKVLStatusOk;
    };
    std::map<std::string, ClassEntry> classes_;
    std::vector<IPluginCallbacks*> plugins_;
    std::vector<boost::shared_ptr<THubInstance> > committed_;
    std::vector<const TInstanceCallback*> sinks_;
    TCommitSink commitSink_;
    unsigned long long ordinal_ = 0;
};

class KVLHUB_API THubClass : public ICIMClass,
                             public boost::enable_shared_from_this<THubClass> {
public:
    THubClass(TPluginManagerNamespace* ns, const std::string& name);
    const std::string& GetName(TCIMPropertyMap ctx) override;
    boost::shared_ptr<ICIMInstance> CreateInstance(TCIMPropertyMap ctx) override;
    void EnumerateInstances(const TInstanceCallback& callback, bool deep,
                            TCIMPropertyMap ctx) override;

private:
    friend class TPluginManagerNamespace;
    struct TSpares;

    TPluginManagerNamespace* ns_;
    std::string name_;
    boost::shared_ptr<const THubClassShape> shape_;  // the class table's, kept by DefineClass
    std::size_t propertyCount_ = 0;  // see THubInstance
    // Instances let go of, made new again by CreateInstance: a plug-in
    // builds one instance after another, each let go of once committed,
    // and a spare's values keep the memory the next one's need.
    boost::shared_ptr<TSpares> spares_;
};

// The properties of an instance, in the order they were first set.
struct THubProperties {
    const THubProperty* first;
    const THubProperty* last;
    const THubProperty* begin() const { return first; }
    const THubProperty* end() const { return last; }
    std::size_t size() const { return static_cast<std::size_t>(last - first); }
};

// Created by THubClass::CreateInstance; Commit needs the instance to be
// owned by a shared_ptr, as created instances are.
class KVLHUB_API THubInstance : public ICIMInstance,
                                public boost::enable_shared_from_this<THubInstance> {
public:
    // `propertyCount`, when given, is shared by the instances of one class:
    // the most properties one of them was given, so that the next reserves
    // room for its properties once.
    THubInstance(TPluginManagerNamespace* ns, const std::string& className,
                 std::size_t* propertyCount = nullptr);
    void Commit(TCIMPropertyMap ctx) override;
    TCIMReference GetReference(TCIMPropertyMap ctx) override;
    boost::shared_ptr<ICIMProperty> GetProperty(const std::string& name, TCIMPropertyMap ctx) override;
    void SetProperty(const std::string& name, const TCIMValue& value, TCIMPropertyMap ctx) override;

    const std::string& ClassName() const { return shape_->name; }
    THubProperties Properties() const { return {properties_.data(), properties_.data() + count_}; }
    // Replaces `path` by the object path (keys of the class table; for a
    // class without keys, every property set; else an ordinal); true when
    // the path names the instance by its ordinal.
    bool WritePath(std::string& path) const;
    // The number the store gave the instance when it was made.
    unsigned long long Ordinal() const { return ordinal_; }

private:
    friend class THubClass;
    using KeyValues = boost::container::small_vector<TPathKey, 8>;
    KeyValues SetKeys() const;
    // Makes an instance that was let go of a new, empty one of its class,
    // whose shape the class table now holds.
    void Renew(boost::shared_ptr<const THubClassShape> shape);

    TPluginManagerNamespace* ns_;
    boost::shared_ptr<const THubClassShape> shape_;
    std::size_t* propertyCount_;
    // The first count_ are the instance's properties; the rest are left
    // from an earlier life, whose values keep their memory for the next.
    std::vector<THubProperty> properties_;
    std::size_t count_ = 0;
    // Positions in properties_ of the properties that are keys, in the
    // order of their names (a key's name number is its place among the
    // class's keys in name order): an object path reads only these, not
    // every property of the instance.
    boost::container::small_vector<std::pair<std::size_t, std::size_t>, 4> keyPositions_;  // number, position
    // One bit per name number of the class: the property is in properties_.
    boost::container::small_vector<std::uint64_t, 1> setNames_;
    unsigned long long ordinal_ = 0;
};

}  // namespace NQRXKVL20
