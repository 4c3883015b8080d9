#include "provider/instance_builder.h"

namespace linkscope::provider {

TCIMValue StringArray(const std::vector<TCIMValue>& elements) {
    return TCIMValue(NQRXKVL20::TCIMType(NQRXKVL20::kCIMTypeStringArray), 0, elements);
}

TCIMValue StringArray(const std::vector<std::string>& elements) {
    std::vector<TCIMValue> values(elements.begin(), elements.end());
    return StringArray(values);
}

}  // namespace linkscope::provider
