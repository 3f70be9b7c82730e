#pragma once

// Uniform whole numbers below a bound, the same for a seed on every standard library (unlike
// std::uniform_int_distribution), so that a seeded permutation test repeats exactly.

#include <cstdint>
#include <random>

namespace tarnwick {

// Lemire's multiply-and-reject on 32 random bits ("Fast random integer generation in an
// interval", ACM TOMACS 29, 2019), each 64-bit output of the generator giving two such words.
// A shuffle asks for bounds r, r - 1, r - 2, ...: while r (r - 1) fits in 32 bits, one word
// gives two draws, by the batched form of the method (Brackett-Rozinsky & Lemire, "Batched
// ranged random integer generation", Software: Practice and Experience, 2025).
class UniformDraws {
public:
    explicit UniformDraws(std::mt19937_64& random) : random_(&random) {}

    // A number from 0 to range - 1 (range > 0), each as likely.
    std::uint32_t below(std::uint32_t range) {
        if (range == pendingRange_) {
            pendingRange_ = 0;
            return pending_;
        }
        if (range < 3 || range > kLargestBatched)
            return single(range);
        const std::uint32_t next = range - 1;
        const std::uint32_t both = range * next;
        while (true) {
            const std::uint64_t first = std::uint64_t{bits()} * range;
            const std::uint64_t second = (first & 0xFFFFFFFFu) * next;
            const auto low = static_cast<std::uint32_t>(second);
            if (low < both && low < static_cast<std::uint32_t>(-both) % both)
                continue;
            pending_ = static_cast<std::uint32_t>(second >> 32);
            pendingRange_ = next;
            return static_cast<std::uint32_t>(first >> 32);
        }
    }

private:
    static constexpr std::uint32_t kLargestBatched = 65536; // 65536 * 65535 < 2^32

    std::uint32_t single(std::uint32_t range) {
        std::uint64_t product = std::uint64_t{bits()} * range;
        auto low = static_cast<std::uint32_t>(product);
        if (low < range) {
            const std::uint32_t floor = static_cast<std::uint32_t>(-range) % range;
            while (low < floor) {
                product = std::uint64_t{bits()} * range;
                low = static_cast<std::uint32_t>(product);
            }
        }
        return static_cast<std::uint32_t>(product >> 32);
    }

    std::uint32_t bits() {
        if (haveSecond_) {
            haveSecond_ = false;
            return static_cast<std::uint32_t>(kept_ >> 32);
        }
        kept_ = (*random_)();
        haveSecond_ = true;
        return static_cast<std::uint32_t>(kept_);
    }

    std::mt19937_64* random_;
    std::uint64_t kept_ = 0;
    bool haveSecond_ = false;
    std::uint32_t pending_ = 0;
    std::uint32_t pendingRange_ = 0; // none
};

} // namespace tarnwick
