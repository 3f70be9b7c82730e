#include "io/QuietStderr.h"

#include <mutex>

namespace tarnwick {
namespace {

std::mutex guard;
int holders = 0;
FILE* saved = nullptr;
FILE* sink = nullptr;

} // namespace

QuietStderr::QuietStderr() {
    const std::lock_guard lock(guard);
    if (holders++ > 0)
        return;
    sink = std::fopen("/dev/null", "w");
    if (sink) {
        saved = stderr;
        stderr = sink;
    }
}

QuietStderr::~QuietStderr() {
    const std::lock_guard lock(guard);
    if (--holders > 0 || !sink)
        return;
    stderr = saved;
    std::fclose(sink);
    sink = nullptr;
}

} // namespace tarnwick
