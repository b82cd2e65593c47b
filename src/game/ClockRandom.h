#pragma once

#include "GameTypes.h"

#include <random>

namespace korvanda {

// Reseeds from the clock at full resolution mixed with the system's entropy, so that two
// games started within one clock tick still draw independent secrets and a secret cannot
// be predicted from the time of day.
class ClockRandom final : public RandomSource {
public:
    void reseed() override;
    float draw() override;

private:
    std::random_device entropy_;
    std::mt19937 engine_;
};

} // namespace korvanda
