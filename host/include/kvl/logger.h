// The host's core logger: keeps every message with its level, unless told
// to only pass them on.
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
    static constexpr int kEveryLevel = 0x7fffffff;

    void Log(int level, const std::string& text) override;

    const std::vector<TLogEntry>& Entries() const { return entries_; }
    void Clear() { entries_.clear(); }
    // Called for every message up to `maxLevel` as it is logged (for a
    // live view on stderr).
    void SetEcho(TEcho echo, int maxLevel = kEveryLevel) {
        echo_ = std::move(echo);
        echoLevel_ = maxLevel;
    }
    const TEcho& Echo() const { return echo_; }
    int EchoLevel() const { return echoLevel_; }
    // Whether Entries() keeps the messages logged from now on (default
    // true). A process that only echoes them need not hold them all.
    void KeepEntries(bool keep) { keep_ = keep; }

private:
    std::vector<TLogEntry> entries_;
    TEcho echo_;
    int echoLevel_ = kEveryLevel;
    bool keep_ = true;
};

}  // namespace NQRXKVL20
