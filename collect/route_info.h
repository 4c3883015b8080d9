// The route table of the model. Nothing collects routes, so the list stays
// empty; it exists so that the model has one place for them.
#pragma once

#include <string>
#include <vector>

namespace linkscope {

struct RouteEntry {
    std::string destination;
    std::string mask;
    std::string nextHop;
};

class RouteInfo {
public:
    virtual ~RouteInfo() = default;
    void Collect() {}
    const std::vector<RouteEntry>& GetRoutes() const { return routes_; }

private:
    std::vector<RouteEntry> routes_;
};

}  // namespace linkscope
