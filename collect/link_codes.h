// Code tables of the operating system's interface data.
#pragma once

#include <cstdint>

namespace linkscope {

// CIM link technology of an interface type code; 0 (unknown) for types the
// table does not name, wireless among them.
std::int32_t LinkTechnologyOfInterfaceType(std::uint32_t type);

// CIM enabled state of an interface's operational status; 0 for codes the
// table does not name.
std::int32_t EnabledStateOfOperStatus(std::uint32_t status);

}  // namespace linkscope
