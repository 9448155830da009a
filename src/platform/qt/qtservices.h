#pragma once

#include "platform/services.h"

#include <memory>

// The real services on Qt 6 and Linux, bundled for main().
class QtPlatform {
  public:
    QtPlatform();
    ~QtPlatform();
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    Services& services();

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
