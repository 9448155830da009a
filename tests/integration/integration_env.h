#pragma once

#include <string>

// Private folders made for this test run before the application object.
namespace itest {
const std::string& configHome(); // $XDG_CONFIG_HOME
const std::string& runtimeDir(); // $XDG_RUNTIME_DIR
} // namespace itest
