// JSON text of a machine description, read into a document whose objects
// keep their members in file order.
#pragma once

#include <cstddef>
#include <string>

#include <nlohmann/json.hpp>

namespace linkscope::sim {

using Json = nlohmann::ordered_json;

// Parses `text` in time linear in its size. A syntax error is reported as
// "ORIGIN: line L, column C: problem", a name given twice in one object as
// "ORIGIN: PLACE: given twice"; both throw MachineFileError.
Json ParseJsonText(const std::string& text, const std::string& origin);

// `text` fit for a one-line message: control characters escaped, cut after
// `maxShown` characters.
std::string Printable(const std::string& text, std::size_t maxShown = 60);

}  // namespace linkscope::sim
