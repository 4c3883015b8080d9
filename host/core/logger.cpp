// The core logger and the root object's way to it.
#include "kvl/logger.h"
#include "kvl/root.h"

namespace NQRXKVL20 {

void TCoreLogger::Log(int level, const std::string& text) {
    if (keep_) entries_.push_back(TLogEntry{level, text});
    if (echo_ && level <= echoLevel_) echo_(level, text);
}

TCoreLogger& TRootObject::CoreLogger() {
    static TCoreLogger logger;
    return logger;
}

ILogger* TRootObject::GetCoreLogger() { return &CoreLogger(); }

}  // namespace NQRXKVL20
