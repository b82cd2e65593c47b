#include "ClockRandom.h"

#include <chrono>
#include <cstdint>

namespace korvanda {

void ClockRandom::reseed() {
    const auto now = static_cast<std::uint64_t>(
        std::chrono::system_clock::now().time_since_epoch() / std::chrono::nanoseconds(1));
    std::seed_seq seed{static_cast<std::uint32_t>(now), static_cast<std::uint32_t>(now >> 32),
                       entropy_(), entropy_()};
    engine_.seed(seed);
}

float ClockRandom::draw() {
    // The top 24 bits of a 32-bit draw fill a float's mantissa exactly, so every value is
    // representable, uniform and strictly below 1.
    constexpr float Scale = 0x1p-24F;
    return static_cast<float>(engine_() >> 8) * Scale;
}

} // namespace korvanda
