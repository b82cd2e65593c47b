#pragma once

namespace korvanda {

// Where a new game's secret comes from.
class RandomSource {
public:
    virtual ~RandomSource() = default;

    // Called at the start of every game, before its draws.
    virtual void reseed() = 0;
    // A value uniform in [0, 1).
    virtual float draw() = 0;
};

} // namespace korvanda
