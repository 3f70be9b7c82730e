#include "io/InterruptedSaves.h"

#include <array>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
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

constexpr std::array kInterruptions{SIGINT, SIGTERM, SIGHUP};

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

void installInterruptedSaveCleanup() {
    struct sigaction action {};
    action.sa_handler = removeTemporariesAndEnd;
    sigemptyset(&action.sa_mask);
    for (int signal : kInterruptions)
        sigaddset(&action.sa_mask, signal);
    for (int signal : kInterruptions)
        ::sigaction(signal, &action, nullptr);
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace tarnwick
