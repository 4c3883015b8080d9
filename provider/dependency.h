// The two references of a dependency association ("Dependent", then
// "Antecedent"), as the port-to-endpoint and device firmware sections set
// them.
#pragma once

#include "provider/instance_builder.h"

namespace linkscope::provider {

struct Dependency {
    const TCIMValue* dependent;
    const TCIMValue* antecedent;
};

inline const PropertyRow<Dependency> kDependencyProperties[] = {
    {"Dependent", [](const Dependency& link) { return *link.dependent; }},
    {"Antecedent", [](const Dependency& link) { return *link.antecedent; }},
};

}  // namespace linkscope::provider
