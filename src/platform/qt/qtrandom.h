#pragma once

#include "platform/services.h"

#include <random>

class QtRandom : public RandomSource {
  public:
    float Rnd() override;
    void Randomize() override;
    std::vector<float> Upcoming(int count) const override;

  private:
    static float fromBits(std::mt19937::result_type bits);
    std::mt19937 m_engine{327680};
};
