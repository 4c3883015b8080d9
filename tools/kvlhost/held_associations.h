// Association instances queried before the output starts, so that a writer
// can see their references early, and kept until their turn comes instead
// of being queried again: an association's query enumerates every instance
// at its ends, which costs more than the instances it makes.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "kvl/hub.h"
#include "kvl/logger.h"

namespace kvlhost {

// What it takes to commit an instance again: its class, its properties in
// the order they were set, and its ordinal counted from the start of its
// query. A reference value shares its path text with the plug-in's copy of
// the same reference. The messages logged during a query are kept with it,
// those the logger's echo passes.
class HeldAssociations {
public:
    // Holds what the query of the association `name` commits and logs from
    // now on; `lastOrdinal` is the store's last ordinal before the query.
    void Begin(const std::string& name, unsigned long long lastOrdinal);
    void Hold(const NQRXKVL20::THubInstance& instance);
    void HoldMessage(int level, const std::string& text);
    // Ends the query begun last; `lastOrdinal` is the store's last ordinal
    // after it.
    void End(unsigned long long lastOrdinal);

    bool Holds(const std::string& name) const;
    // Logs the query's messages and commits its instances again, built
    // through `manager`'s classes with the ordinals the query gave them,
    // counted from the store's last ordinal now; the store's ordinal then
    // stands where the query would have left it.
    void Replay(const std::string& name, NQRXKVL20::TPluginManagerNamespace& manager) const;

private:
    struct Property {
        const std::string* name;  // the class's copy, as the instance held it
        NQRXKVL20::TCIMValue value;
    };
    struct Instance {
        const std::string* className;
        unsigned long long ordinal;  // from the query's start
        std::size_t propertiesEnd;   // its properties end here in properties_
    };
    struct Query {
        std::string name;
        unsigned long long firstOrdinal = 0;
        unsigned long long ordinals = 0;  // how many the query handed out
        std::size_t instancesBegin = 0;
        std::size_t instancesEnd = 0;
        std::vector<NQRXKVL20::TLogEntry> messages;
    };

    // Deques grow by small blocks: a vector would copy its whole content,
    // and hold twice its size meanwhile, each time it fills.
    std::vector<Query> queries_;
    std::deque<Instance> instances_;
    std::deque<Property> properties_;
};

}  // namespace kvlhost
