// The framework's base exception: a message in cp1251, shown as it stands.
#pragma once

#include <stdexcept>
#include <string>

class TException : public std::runtime_error {
 public:
  explicit TException(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// The one handling of an exception at a boundary it may not pass (the
// window procedure, the message loop's handlers, a thread's body, the entry
// sequence): the application object's message box with the exception's
// text, and the program goes on. Called inside a catch block; a worker
// thread calls it inside a hand-over.
void ShowHandlerException();
