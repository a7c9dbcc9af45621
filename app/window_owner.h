// Windows whose every message goes to one object of the program.
#pragma once

#include "os/gui.h"

namespace app {

// The object a window belongs to: it arrives as CreateWindowExA's creation
// parameter and is kept in the window's user data from WM_NCCREATE on.
// Null for the few messages that come before that.
template <typename Owner>
Owner* WindowOwner(HWND hwnd, UINT message, LPARAM lParam) {
  const os::GuiApi& gui = os::Gui();
  if (message == WM_NCCREATE) {
    auto* owner = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    gui.SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    return owner;
  }
  return reinterpret_cast<Owner*>(gui.GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

}  // namespace app
