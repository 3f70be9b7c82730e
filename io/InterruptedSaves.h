#pragma once

#include <csignal>
#include <string>

namespace tarnwick {

// Temporary files that saves are writing. A save interrupted by a signal that ends the process
// (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1...; not the faults, and not SIGKILL,
// which nothing can catch) removes them before the process ends, so nothing is left beside the
// files it was to replace.

// Returns a registration for unregisterTemporaryFile, or -1 when too many saves run at once (the
// file then stays on an interruption, as before).
int registerTemporaryFile(const std::string& path);
void unregisterTemporaryFile(int registration);

// While it lives, the signals that remove temporary files wait on this thread, so that a file is
// made and registered as one step.
class InterruptionsHeld {
public:
    InterruptionsHeld();
    ~InterruptionsHeld();
    InterruptionsHeld(const InterruptionsHeld&) = delete;
    InterruptionsHeld& operator=(const InterruptionsHeld&) = delete;

private:
    sigset_t saved_;
};

// Installs the handlers that remove the registered files and then end the process by the same
// signal, and ignores SIGXFSZ, so that a file grown beyond the size limit fails its write (and
// is removed as any failed save) instead of ending the process. Call once at start.
void installInterruptedSaveCleanup();

} // namespace tarnwick
