#include "io/InterruptedSaves.h"

#include <array>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <pthread.h>
#include <unistd.h>

namespace tarnwick {
namespace {

// A fixed table, so that the signal handler only reads memory that never moves and calls
// nothing but unlink, which is safe in a handler.
struct Slot {
    std::atomic<bool> taken{false};  // owned by a save
    std::atomic<bool> active{false}; // path is complete and may be removed
    char path[PATH_MAX]{};
};

std::array<Slot, 16> slots;

// Every signal whose default action ends the process and that a handler may catch, but those a
// fault raises (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP), which belong to the debugger
// and the sanitizers.
constexpr std::array kInterruptions{SIGHUP,  SIGINT,  SIGQUIT,   SIGTERM, SIGUSR1,
                                    SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGPIPE,
                                    SIGXCPU, SIGIO,   SIGPWR,    SIGSYS,  SIGSTKFLT};

void removeTemporariesAndEnd(int signal) {
    for (Slot& slot : slots)
        if (slot.active.load(std::memory_order_acquire))
            ::unlink(slot.path);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

int registerTemporaryFile(const std::string& path) {
    if (path.size() >= PATH_MAX)
        return -1;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        bool expected = false;
        if (!slots[i].taken.compare_exchange_strong(expected, true))
            continue;
        std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
        slots[i].active.store(true, std::memory_order_release);
        return static_cast<int>(i);
    }
    return -1;
}

void unregisterTemporaryFile(int registration) {
    if (registration < 0)
        return;
    Slot& slot = slots[static_cast<std::size_t>(registration)];
    slot.active.store(false, std::memory_order_release);
    slot.taken.store(false, std::memory_order_release);
}

InterruptionsHeld::InterruptionsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (int signal : kInterruptions)
        sigaddset(&held, signal);
    ::pthread_sigmask(SIG_BLOCK, &held, &saved_);
}

InterruptionsHeld::~InterruptionsHeld() {
    ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}

void installInterruptedSaveCleanup() {
    struct sigaction action {};
    action.sa_handler = removeTemporariesAndEnd;
    sigemptyset(&action.sa_mask);
    for (int signal : kInterruptions)
        sigaddset(&action.sa_mask, signal);
    for (int signal : kInterruptions) {
        // A signal ignored from the start (nohup, a shell's SIGPIPE policy) stays ignored.
        struct sigaction previous {};
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signal, &action, nullptr);
    }
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace tarnwick
