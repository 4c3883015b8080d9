// Status codes and the exception that carries them.
#include <string>

#include "kvl/values.h"

namespace NQRXKVL20 {

namespace {

struct StatusText {
    TKVLStatusCode code;
    const char* text;
};

const StatusText kStatusTexts[] = {
    {kKVLStatusOk, "Success"},
    {kKVLStatusFailed, "Failed"},
    {kKVLStatusInvalidParameter, "Invalid parameter"},
    {kKVLStatusNotFound, "Not found"},
    {kKVLStatusNotSupported, "Not supported"},
    {kKVLStatusNoSuchProperty, "No such property"},
    {kKVLStatusTypeMismatch, "Type mismatch"},
    {kKVLStatusInvalidClass, "Invalid class"},
    {kKVLStatusAssertionFailed, "Assertion failed"},
};

}  // namespace

// "Invalid class (15)"; a code outside the table reads "Unknown status (N)".
std::string TranslateStatusCode(TKVLStatusCode code) {
    const char* text = "Unknown status";
    for (const StatusText& entry : kStatusTexts) {
        if (entry.code == code) text = entry.text;
    }
    return std::string(text) + " (" + std::to_string(code) + ")";
}

TKVLException::TKVLException(TKVLStatusCode code, const std::string& detail)
    : code_(code), detail_(detail), text_(NQRXKVL20::TranslateStatusCode(code)) {
    if (!detail_.empty()) text_ += ": " + detail_;
}

std::string TKVLException::TranslateStatusCode() const { return text_; }

const char* TKVLException::what() const noexcept { return text_.c_str(); }

}  // namespace NQRXKVL20
