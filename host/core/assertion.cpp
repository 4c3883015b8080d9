// The handler Boost calls for a failed BOOST_ASSERT (defined for the whole
// build with BOOST_ENABLE_ASSERT_HANDLER). Dereferencing an empty host
// pointer lands here: the failure is logged at level 1 and thrown as a
// TKVLException, so the caller reports it instead of crashing.
#include <string>

#include <boost/assert.hpp>

#include "kvl/export.h"
#include "kvl/root.h"
#include "kvl/values.h"

namespace {

[[noreturn]] void Fail(const std::string& where) {
    NQRXKVL20::TRootObject::CoreLogger().Log(1, "Assertion failed: " + where);
    throw NQRXKVL20::TKVLException(NQRXKVL20::kKVLStatusAssertionFailed, where);
}

std::string Where(const char* expr, const char* function, const char* file, long line) {
    return std::string(expr) + " in " + function + " at " + file + ":" + std::to_string(line);
}

}  // namespace

namespace boost {

KVL_DLL_EXPORT void assertion_failed(char const* expr, char const* function, char const* file,
                                     long line) {
    Fail(Where(expr, function, file, line));
}

KVL_DLL_EXPORT void assertion_failed_msg(char const* expr, char const* msg, char const* function,
                                         char const* file, long line) {
    Fail(Where(expr, function, file, line) + " (" + msg + ")");
}

}  // namespace boost
