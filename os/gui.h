// The window toolkit's door to the operating system (Windows build only):
// every user-interface call, with Win32's names and arguments, in one table.
// The window is tested end to end under Wine, so there is no simulated
// counterpart; the calls the portable code makes are in os/api.h.
#pragma once

#ifndef _WIN32
#error "os/gui.h is part of the Windows build only"
#endif

#include "os/win32_types.h"

#include <uxtheme.h>

#define KESTROVA_GUI_CALLS(X)                                                              \
  X(InitCommonControlsEx) X(RegisterClassExA) X(CreateWindowExA) X(DestroyWindow)          \
  X(DefWindowProcA) X(CallWindowProcA) X(SetWindowLongPtrA) X(GetWindowLongPtrA)          \
  X(GetMessageA) X(TranslateMessage) X(DispatchMessageA) X(PostQuitMessage)               \
  X(SendMessageA) X(PostMessageA) X(SetWindowTextA) X(GetWindowTextA)                     \
  X(GetWindowTextLengthA) X(ShowWindow) X(UpdateWindow) X(SetWindowPos) X(MoveWindow)     \
  X(GetWindowRect) X(GetClientRect) X(AdjustWindowRectEx) X(InvalidateRect)               \
  X(GetSystemMetrics) X(GetSysColorBrush) X(RedrawWindow)                                 \
  X(SetFocus) X(GetFocus) X(EnableWindow) X(IsWindowEnabled)                              \
  X(GetParent) X(IsChild) X(GetClassLongPtrA) X(SetViewportOrgEx) X(MapWindowPoints) X(GetDlgCtrlID) X(GetKeyState) X(SetPropA) X(RemovePropA) X(LoadIconA) X(LoadImageA)      \
  X(LoadCursorA) X(LoadBitmapA) X(GetDC) X(ReleaseDC) X(BeginPaint) X(EndPaint)           \
  X(GetDeviceCaps) X(CreateFontA) X(SelectObject) X(DeleteObject) X(GetObjectA)           \
  X(GetTextMetricsA) X(GetTextExtentPoint32A) X(DrawTextA) X(SetTextColor) X(SetBkColor)  \
  X(SetBkMode) X(CreateSolidBrush) X(FillRect) X(CreatePen) X(MoveToEx) X(LineTo)         \
  X(DrawEdge) X(DrawFrameControl) X(DrawFocusRect) X(FrameRect) X(CreateCompatibleDC)     \
  X(DeleteDC) X(CreateCompatibleBitmap) X(CreateBitmap) X(BitBlt) X(GetPixel)             \
  X(OffsetRect) X(InflateRect) X(SetRect) X(GetStockObject) X(MulDiv) X(PeekMessageA)     \
  X(GetTickCount)

// The theme service exists from Windows XP on: looked up at run time, each
// entry null where it is missing.
#define KESTROVA_THEME_CALLS(X) X(OpenThemeData) X(CloseThemeData) X(DrawThemeBackground)

namespace os {

struct GuiApi {
// `::name` names the platform's function: it cannot be parenthesized.
#define KESTROVA_DECLARE_GUI_CALL(name) decltype(&::name) name;  // NOLINT(bugprone-macro-parentheses)
  KESTROVA_GUI_CALLS(KESTROVA_DECLARE_GUI_CALL)
  KESTROVA_THEME_CALLS(KESTROVA_DECLARE_GUI_CALL)
#undef KESTROVA_DECLARE_GUI_CALL
};

const GuiApi& Gui();

}  // namespace os
