// The system's modal error dialogs.
#pragma once

#include <string_view>

#include "os/win32_types.h"

namespace app {

// Caption "エラー", the error icon, the text, one OK button that is both the
// default and the cancel button, centred on the screen, the program's other
// windows disabled while it is open.
void ShowErrorDialog(std::string_view text);

// The window that owns the dialogs: the main window while it is shown, and
// none before (start-up) or after.
void SetDialogOwner(HWND window);
HWND DialogOwner();

enum class ShownCode {
  LastErrorAfterLookup,  // the last error, read again once the text was fetched
  CallersCode,           // the code the caller holds
};

// The system's own message for `code`, then "(Code:NNNNNNNN)".
void ShowSystemError(DWORD code, ShownCode shown = ShownCode::LastErrorAfterLookup);

}  // namespace app
