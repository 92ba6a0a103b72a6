#pragma once

#include <stdexcept>
#include <string>

// An error the user is shown: it carries the exact text of the message box.
class EBoardError : public std::runtime_error {
 public:
  explicit EBoardError(const std::string& message) : std::runtime_error(message) {}
};

// The board's integer arithmetic divided by zero or overflowed a division. Hit tests answer
// false to it and drawing gives up on the element; anywhere else it reaches the user.
class EArithFault : public EBoardError {
 public:
  EArithFault() : EBoardError("Division par zéro") {}
};
