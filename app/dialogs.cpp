#include "app/dialogs.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/text.h"
#include "os/api.h"
#include "platform/platform.h"

namespace app {
namespace {

const WCHAR kErrorCaption[] = KESTROVA_WIDE("エラー");

bool TaskDialogWanted(const os::Win32Api& api) {
  return api.TaskDialogIndirect != nullptr && api.IsAppThemed != nullptr && api.IsAppThemed() &&
         platform::GetMajorVersion() >= 6;
}

HWND dialogOwner = nullptr;

#ifdef _WIN32
// The program's windows, disabled while a dialog without an owner is open,
// as a task-modal message box disables them; enabled again afterwards.
class ThreadWindowsDisabled {
 public:
  explicit ThreadWindowsDisabled(const os::Win32Api& api) : api_(api) {
    std::vector<HWND> windows;
    api.EnumThreadWindows(api.GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(&windows));
    // EnableWindow answers whether it was disabled before.
    for (HWND window : windows)
      if (!api.EnableWindow(window, FALSE)) disabled_.push_back(window);
  }
  ~ThreadWindowsDisabled() {
    for (HWND window : disabled_) api_.EnableWindow(window, TRUE);
  }
  ThreadWindowsDisabled(const ThreadWindowsDisabled&) = delete;
  ThreadWindowsDisabled& operator=(const ThreadWindowsDisabled&) = delete;

 private:
  // Nothing may throw through the system's callback: out of memory, the
  // enumeration stops with the windows collected so far.
  static BOOL CALLBACK Collect(HWND window, LPARAM windows) noexcept {
    try {
      reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
      return TRUE;
    } catch (...) {
      return FALSE;
    }
  }

  const os::Win32Api& api_;
  std::vector<HWND> disabled_;
};

// False when the system could not show it.
bool ShowTaskDialog(const os::Win32Api& api, const WideText& text, HWND owner) {
  // Before the main window is shown the dialog has no owner, and the
  // program's windows are disabled here instead.
  std::optional<ThreadWindowsDisabled> disabled;
  if (owner == nullptr) disabled.emplace(api);
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof(config);
  // Owned by the main window so that it is disabled meanwhile; without
  // TDF_POSITION_RELATIVE_TO_WINDOW the dialog is centred on the monitor.
  config.hwndParent = owner;
  config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
  config.dwCommonButtons = TDCBF_OK_BUTTON;
  config.pszWindowTitle = kErrorCaption;
  config.pszMainIcon = TD_ERROR_ICON;
  config.pszContent = text.c_str();
  config.nDefaultButton = IDOK;
  return SUCCEEDED(api.TaskDialogIndirect(&config, nullptr, nullptr, nullptr));
}
#else
bool ShowTaskDialog(const os::Win32Api&, const WideText&, HWND) { return false; }
#endif

// The system's message text for `code` in the user's default language, or
// an empty text when it has none.
std::string SystemMessageText(DWORD code, bool* found) {
  const os::Win32Api& api = os::Api();
  LPSTR buffer = nullptr;
  const DWORD length = api.FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&buffer),
      0, nullptr);
  *found = length != 0 && buffer != nullptr;
  std::string text = *found ? std::string(buffer, length) : std::string();
  if (buffer != nullptr) api.LocalFree(buffer);
  return text;
}

}  // namespace

void SetDialogOwner(HWND window) { dialogOwner = window; }

HWND DialogOwner() { return dialogOwner; }

void ShowErrorDialog(std::string_view text) {
  const os::Win32Api& api = os::Api();
  const WideText wide = ToWide(text);
  if (TaskDialogWanted(api) && ShowTaskDialog(api, wide, dialogOwner)) return;
  // Centred on the screen. Owned by the main window once it is shown, which
  // Windows activates again before the box goes; before that, task-modal
  // with no owner, so every window of the program is disabled meanwhile.
  api.MessageBoxW(dialogOwner, wide.c_str(), kErrorCaption, MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

void ShowSystemError(DWORD code, ShownCode shown) {
  bool found = false;
  const std::string text = SystemMessageText(code, &found);
  // A failed look-up leaves its own error behind; the caller's code is the
  // one that means something then.
  const DWORD number = (shown == ShownCode::CallersCode || !found) ? code : os::Api().GetLastError();
  std::string message(text.size() + 32, '\0');
  const int length = std::snprintf(message.data(), message.size(), "%s\n(Code:%08d)\n",
                                   text.c_str(), static_cast<int>(number));
  message.resize(length > 0 ? static_cast<size_t>(length) : 0);
  ShowErrorDialog(message);
}

}  // namespace app
