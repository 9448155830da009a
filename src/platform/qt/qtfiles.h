#pragma once

#include "platform/services.h"

class QtFiles : public FileSystem {
  public:
    bool Exists(const std::string& path) override;
    void Kill(const std::string& path) override;
    void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) override;
    std::vector<std::string> ReadLines(const std::string& path) override;
};
