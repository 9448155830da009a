#pragma once

#include "platform/services.h"

class QtClock : public Clock {
  public:
    Date Now() override;
};
