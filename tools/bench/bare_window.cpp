// The yardstick for kestrova.exe's start-up: a plain Win32 window with the
// same controls from ui/layout.h, made from the stock classes with no
// handlers, no glyphs and no owner drawing. Like kestrova.exe it fills the
// drive list and the platform panel before it shows itself. Quit closes it.
#include <windows.h>

#include <cstdio>
#include <string>

#include "ui/layout.h"

namespace {

constexpr char kBareCaption[] = "Kestrova Bare Window";
HWND controls[ui::idLblHomePage - ui::idNxpClient + 1];

HWND& Control(ui::ControlId id) { return controls[id - ui::idNxpClient]; }

struct StockControl {
  const char* windowClass;
  DWORD style;
};

StockControl StockFor(ui::ControlKind kind) {
  switch (kind) {
    case ui::ControlKind::ClientPanel: return {"BarePanel", 0};
    case ui::ControlKind::GroupBox: return {"BUTTON", BS_GROUPBOX};
    case ui::ControlKind::BevelPanel: return {"STATIC", SS_SUNKEN | SS_CENTER};
    case ui::ControlKind::DriveSelector:
      return {"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP};
    case ui::ControlKind::Edit: return {"EDIT", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP};
    case ui::ControlKind::GlyphButton: return {"BUTTON", BS_PUSHBUTTON | WS_TABSTOP};
    default: return {"STATIC", 0};
  }
}

void ListDrives(HWND combo) {
  const DWORD present = GetLogicalDrives();
  for (char letter = 'a'; letter <= 'z'; ++letter) {
    if ((present & (1u << (letter - 'a'))) == 0) continue;
    const char item[] = {letter, ':', '\0'};
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
}

std::string PlatformText() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
  GetVersionExA(&version);
  char text[40];
  std::snprintf(text, sizeof(text), "WindowsNT%lu.%lu", version.dwMajorVersion,
                version.dwMinorVersion);
  return text;
}

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_COMMAND && LOWORD(w) == ui::idBbnQuit) {
    DestroyWindow(window);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, w, l);
}

// The buttons sit on the client panel: their clicks go up to the window.
LRESULT CALLBACK PanelProc(HWND panel, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_COMMAND) return SendMessageA(GetParent(panel), message, w, l);
  return DefWindowProcA(panel, message, w, l);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = BareProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = "BareMain";
  RegisterClassA(&windowClass);
  windowClass.lpfnWndProc = PanelProc;
  windowClass.lpszClassName = "BarePanel";
  RegisterClassA(&windowClass);

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame = {0, 0, ui::kClientWidth, ui::kClientHeight};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  HWND main = CreateWindowExA(0, "BareMain", kBareCaption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr,
                              nullptr, instance, nullptr);
  HFONT font = CreateFontA(ui::kFontHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                           0, "Tahoma");
  for (const ui::ControlLayout& c : ui::kMainLayout) {
    const StockControl stock = StockFor(c.kind);
    HWND parent = c.parent == ui::idNone ? main : Control(c.parent);
    const int height = c.kind == ui::ControlKind::DriveSelector ? 200 : c.rect.height;
    Control(c.id) = CreateWindowExA(0, stock.windowClass, c.caption != nullptr ? c.caption : "",
                                    WS_CHILD | WS_VISIBLE | stock.style, c.rect.left, c.rect.top,
                                    c.rect.width, height, parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance,
                                    nullptr);
    SendMessageA(Control(c.id), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  SendMessageA(Control(ui::idEdtNVSN), EM_LIMITTEXT, ui::kEntryMaxLength, 0);
  ListDrives(Control(ui::idDrvcbDrive));
  SetWindowTextA(Control(ui::idPnlPlatform), PlatformText().c_str());
  ShowWindow(main, show);
  UpdateWindow(main);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  DeleteObject(font);
  return 0;
}
