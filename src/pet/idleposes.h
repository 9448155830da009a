#pragma once

#include <cstdint>
#include <string>

// The poses of a pet standing still. Each tick draws a choice from 1 to Count: most show the
// plain pose, the others a pose of their own for that tick, some of them with a remark.
struct IdlePoses {
    // Choices up to this one show the plain pose.
    static constexpr int16_t kPlainChoices = 20;

    int16_t Plain;      // the plain pose's cell
    int16_t Count;      // choices are drawn from 1 to Count
    int16_t SpeaksFrom; // the choices from SpeaksFrom to SpeaksTo come with a remark
    int16_t SpeaksTo;

    // The poses of a standing state ("facing front", "facing right", "facing left"), or none.
    static const IdlePoses* Of(const std::string& state);

    bool IsPlain(int16_t choice) const { return choice <= kPlainChoices; }
    int16_t CellFor(int16_t choice) const {
        return IsPlain(choice) ? Plain : static_cast<int16_t>(Plain + choice - kPlainChoices);
    }
    bool Speaks(int16_t choice) const { return choice >= SpeaksFrom && choice <= SpeaksTo; }
};
