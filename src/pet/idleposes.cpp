#include "idleposes.h"

namespace {
constexpr IdlePoses kFront{0, 22, 21, 22};
constexpr IdlePoses kRight{27, 23, 21, 21};
constexpr IdlePoses kLeft{31, 23, 21, 21};
} // namespace

const IdlePoses* IdlePoses::Of(const std::string& state) {
    if (state == "facing front") return &kFront;
    if (state == "facing right") return &kRight;
    if (state == "facing left") return &kLeft;
    return nullptr;
}
