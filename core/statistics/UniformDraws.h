#pragma once

// Uniform whole numbers below a bound, the same for a seed on every standard library (unlike
// std::uniform_int_distribution), so that a seeded permutation test repeats exactly.

#include <cstdint>
#include <random>

namespace tarnwick {

// Lemire's multiply-and-reject on 32 random bits ("Fast random integer generation in an
// interval", ACM TOMACS 29, 2019); each 64-bit output of the generator gives two draws.
class UniformDraws {
public:
    explicit UniformDraws(std::mt19937_64& random) : random_(&random) {}

    // A number from 0 to range - 1 (range > 0), each as likely.
    std::uint32_t below(std::uint32_t range) {
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

private:
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
};

} // namespace tarnwick
