// The exceptions of the window toolkit and how the application shows them.
#pragma once

#include <exception>

#include "app/text.h"

namespace app {

// The toolkit's base kind: carries a message text.
class Exception : public std::exception {
 public:
  explicit Exception(WideText message) : message_(std::move(message)) {}
  const WideText& Message() const { return message_; }
  const char* what() const noexcept override { return "Kestrova exception"; }

 private:
  WideText message_;
};

// The abort kind: dropped by the loop without a word.
class EAbort : public Exception {
 public:
  EAbort() : Exception(WideText()) {}
};

// A list control that refused an item.
class EOutOfResources : public Exception {
 public:
  using Exception::Exception;
};

inline constexpr char kApplicationTitle[] = "KESTROVA FOR WINDOWS";

// The exception box's text: the message with "." appended when it is not
// empty and its last character compares greater than ".". Every character
// beyond ASCII, a double-byte one included, compares greater.
WideText ExceptionBoxText(const WideText& message);

// Shows a caught exception as the loop does: abort kind dropped, the base
// kind in the exception box, anything else as the base kind with an empty
// message.
void ShowCaughtException(const std::exception_ptr& caught);

}  // namespace app
