#pragma once
// The one base of the program's own exceptions: it carries only a message, in the
// ANSI code page, which the application's error handling shows as it is.
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
  public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};
