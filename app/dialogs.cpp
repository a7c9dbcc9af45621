#include "app/dialogs.h"

#include <cstdio>
#include <string>

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

#ifdef _WIN32
void ShowTaskDialog(const os::Win32Api& api, const WideText& text) {
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof(config);
  // Owned by the active window so that it is disabled meanwhile; without
  // TDF_POSITION_RELATIVE_TO_WINDOW the dialog is centred on the monitor.
  config.hwndParent = api.GetActiveWindow();
  config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
  config.dwCommonButtons = TDCBF_OK_BUTTON;
  config.pszWindowTitle = kErrorCaption;
  config.pszMainIcon = TD_ERROR_ICON;
  config.pszContent = text.c_str();
  config.nDefaultButton = IDOK;
  api.TaskDialogIndirect(&config, nullptr, nullptr, nullptr);
}
#else
void ShowTaskDialog(const os::Win32Api&, const WideText&) {}
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

void ShowErrorDialog(std::string_view text) {
  const os::Win32Api& api = os::Api();
  const WideText wide = ToWide(text);
  if (TaskDialogWanted(api)) {
    ShowTaskDialog(api, wide);
    return;
  }
  // No owner and task-modal: centred on the screen, and every window of the
  // program is disabled while it is open, during construction too.
  api.MessageBoxW(nullptr, wide.c_str(), kErrorCaption, MB_OK | MB_ICONERROR | MB_TASKMODAL);
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
