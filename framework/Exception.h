// The framework's base exception: a message in cp1251, shown as it stands.
#pragma once

#include <stdexcept>
#include <string>

class TException : public std::runtime_error {
 public:
  explicit TException(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};
