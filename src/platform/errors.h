#pragma once

#include <stdexcept>
#include <string>

// A failure the windows may trap, with the runtime's error number and description.
class RuntimeError : public std::runtime_error {
  public:
    RuntimeError(int number, const std::string& description)
        : std::runtime_error(description), Number(number), Description(description) {}

    int Number;
    std::string Description;
};

// Thrown by a test runtime's End(): the program stops here, no window unloads.
// Deliberately not a std::exception, so that no error handler of a window catches it.
struct ProgramEnded {
    int status = 0;
};

// The runtime's error numbers that the windows and the services name.
namespace errnum {
constexpr int Overflow = 6;
constexpr int TypeMismatch = 13;
constexpr int FileNotFound = 53;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccess = 75;
} // namespace errnum
