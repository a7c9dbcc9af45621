#include "app/application.h"

#include "app/exceptions.h"
#include "os/gui.h"
#include "ui/main_window.h"

namespace app {
namespace {

void InitialiseApplication() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
  os::Gui().InitCommonControlsEx(&controls);
}

void ShowPendingException() {
  if (std::exception_ptr caught = TakePendingException()) ShowCaughtException(caught);
}

// A plain loop, not a dialog's: Escape must stay nobody's key. The window
// gets the keys it handles itself (Tab, Enter, Alt+Q) first.
void RunLoop(ui::TfrmMain& form) {
  const os::GuiApi& gui = os::Gui();
  MSG message;
  while (gui.GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (!Guarded([&] { return static_cast<LRESULT>(form.PreTranslateMessage(message)); })) {
      gui.TranslateMessage(&message);
      gui.DispatchMessageA(&message);
    }
    ShowPendingException();
  }
}

}  // namespace

int RunApplication(HINSTANCE instance) {
  try {
    InitialiseApplication();
    ui::TfrmMain form(instance);
    form.Show();
    if (std::exception_ptr caught = TakePendingException()) std::rethrow_exception(caught);
    RunLoop(form);
  } catch (...) {
    ShowCaughtException(std::current_exception());
  }
  return 0;
}

}  // namespace app
