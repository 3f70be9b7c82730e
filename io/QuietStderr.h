#pragma once

#include <cstdio>

namespace tarnwick {

// While it lives, what C libraries print to stdio's stderr is kept from the user: libxlsxwriter
// reports its failures there, naming files the user never chose; the caller raises its own
// error instead. Use on one thread at a time, around calls into such a library.
class QuietStderr {
public:
    QuietStderr();
    ~QuietStderr();
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    FILE* saved_;
    FILE* sink_;
};

} // namespace tarnwick
