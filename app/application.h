// The application frame: start-up, the event loop and shutdown.
#pragma once

#include <exception>

#include "os/win32_types.h"

namespace app {

// An exception must never unwind through the system's callback frames: a
// window procedure keeps it here and the loop shows it once the message
// has been dispatched.
void KeepPendingException(std::exception_ptr caught);
std::exception_ptr TakePendingException();

template <typename Body>
LRESULT Guarded(Body body) noexcept {
  try {
    return body();
  } catch (...) {
    KeepPendingException(std::current_exception());
    return 0;
  }
}

// The program entry's work; always returns 0.
int RunApplication(HINSTANCE instance);

}  // namespace app
