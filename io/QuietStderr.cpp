#include "io/QuietStderr.h"

namespace tarnwick {

QuietStderr::QuietStderr() : saved_(stderr), sink_(std::fopen("/dev/null", "w")) {
    if (sink_)
        stderr = sink_;
}

QuietStderr::~QuietStderr() {
    if (sink_) {
        stderr = saved_;
        std::fclose(sink_);
    }
}

} // namespace tarnwick
