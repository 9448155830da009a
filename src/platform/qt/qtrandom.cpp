#include "qtrandom.h"

#include <QtGlobal>

#include <chrono>
#include <unistd.h>

float QtRandom::fromBits(std::mt19937::result_type bits) {
    // 24 random bits: every value is exactly representable and below 1.
    return static_cast<float>(bits >> 8) * (1.0f / 16777216.0f);
}

float QtRandom::Rnd() {
    return fromBits(m_engine());
}

std::vector<float> QtRandom::Upcoming(int count) const {
    std::mt19937 ahead = m_engine;
    std::vector<float> values;
    for (int i = 0; i < count; ++i)
        values.push_back(fromBits(ahead()));
    return values;
}

void QtRandom::Randomize() {
    // A test hook: benchmarks and tests that must see the same life every time name the seed.
    bool fixed = false;
    const unsigned seed = qEnvironmentVariableIntValue("PIMBOLET_SEED", &fixed);
    m_engine.seed(
        fixed ? seed
              : static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                                      getpid()));
}
