// The stand-in's query results: a forward-only enumerator over the objects
// of one simulated answer, and the objects, whose properties are read as
// VARIANTs.
#pragma once

#include <memory>

#include "platform/wmi.h"
#include "tests/wine/standin_wmi/com_object.h"

namespace standin_wmi {

// An enumerator with one reference, handing out the objects of `objects`
// in order. `source` (the connection that answered) stays alive as long
// as the enumerator or any object it handed out.
IEnumWbemClassObject* NewEnumerator(std::unique_ptr<linkscope::platform::WmiEnumerator> objects,
                                    Reference<IUnknown> source);

}  // namespace standin_wmi
