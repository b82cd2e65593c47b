#pragma once

#include "game/GameTypes.h"

#include <array>
#include <deque>

// Draws the values it is given, in order; once they run out, always 0 (red).
class ScriptedRandom final : public korvanda::RandomSource {
public:
    int reseeds = 0;
    std::deque<float> values;

    void reseed() override { ++reseeds; }
    float draw() override {
        if (values.empty())
            return 0;
        const float value = values.front();
        values.pop_front();
        return value;
    }

    // Queues the draws that make the next game's secret these colour codes, columns 1 to 4.
    void queueSecret(const std::array<int, 4>& codes) {
        for (const int code : codes)
            values.push_back((static_cast<float>(code) - 0.5F) / korvanda::ColorCount);
    }
};
