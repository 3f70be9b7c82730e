#pragma once

#include <cstdio>

namespace tarnwick {

// While one lives, what C libraries print to stdio's stderr is kept from the user: libxlsxwriter
// reports its failures there, naming files the user never chose; the caller raises its own
// error instead. stderr is a process-wide stream, so it is swapped for /dev/null by the first
// that is made and given back by the last that ends, whatever thread each lives on. Other
// threads' messages through stdio's stderr in that time (Qt's warnings among them) are lost
// too; std::cerr keeps the stream it was made with and still reaches the user.
class QuietStderr {
public:
    QuietStderr();
    ~QuietStderr();
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;
};

} // namespace tarnwick
