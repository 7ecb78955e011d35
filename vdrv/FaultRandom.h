#pragma once
// The random draws of a module's faults: splitmix64, so a seed gives the same
// sequence on every platform and build (the standard distributions do not
// promise that), in eight bytes of state and without allocation.
#include <cstddef>
#include <cstdint>

namespace telvar5::vdrv {

class FaultRandom {
public:
    explicit FaultRandom(std::uint64_t seed) : state_(seed) {}

    void reseed(std::uint64_t seed) { state_ = seed; }

    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // True with probability p: never for 0, always for 1.
    bool chance(double p) { return static_cast<double>(next() >> 11) < p * 0x1p53; }

    void fill(std::uint8_t* bytes, std::size_t n)
    {
        for (std::size_t i = 0; i < n; i += 8) {
            std::uint64_t v = next();
            for (std::size_t k = i; k < n && k < i + 8; ++k, v >>= 8)
                bytes[k] = static_cast<std::uint8_t>(v);
        }
    }

private:
    std::uint64_t state_;
};

} // namespace telvar5::vdrv
