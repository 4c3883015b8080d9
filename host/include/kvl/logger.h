// The host's core logger: keeps every message with its level.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "kvl/export.h"
#include "kvl/interfaces.h"

namespace NQRXKVL20 {

struct TLogEntry {
    int level;
    std::string text;
};

class KVLCORE_API TCoreLogger : public ILogger {
public:
    typedef std::function<void(int level, const std::string& text)> TEcho;

    void Log(int level, const std::string& text) override;

    const std::vector<TLogEntry>& Entries() const { return entries_; }
    void Clear() { entries_.clear(); }
    // Called for every message as it is logged (for a live view on stderr).
    void SetEcho(TEcho echo) { echo_ = std::move(echo); }

private:
    std::vector<TLogEntry> entries_;
    TEcho echo_;
};

}  // namespace NQRXKVL20
