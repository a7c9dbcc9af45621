#include "ui/main_window.h"

#include <cstdlib>
#include <utility>

#include "app/application.h"
#include "app/dialogs.h"
#include "app/text.h"
#include "app/window_owner.h"
#include "os/api.h"
#include "os/test_hooks.h"
#include "platform/platform.h"
#include "ui/controls.h"
#include "ui/scaling.h"

namespace ui {
namespace {

constexpr char kWindowClass[] = "TfrmMain";
constexpr char kFontName[] = "Tahoma";
// Read by the test inspector: what the density rule chose.
constexpr char kFontHeightProp[] = "KestrovaFontHeight";
constexpr char kDpiProp[] = "KestrovaDpi";
constexpr ControlId kFocusOrder[] = {idDrvcbDrive, idEdtNVSN, idBbnOK, idBbnQuit};

// The free-text lines: the project, where to read about it, and the real
// compiler this build came from.
constexpr char kCreditLine[] = "Kestrova - volume serial number tool";
constexpr char kHomePageLine[] = "(see README.md in the Kestrova sources)";
constexpr char kCompilerLine[] = "MinGW-w64 GCC " __VERSION__;

const char* FreeText(ControlId id) {
  switch (id) {
    case idLblCredit: return kCreditLine;
    case idLblHomePage: return kHomePageLine;
    case idSttCompiler: return kCompilerLine;
    default: return "";
  }
}

struct ControlStyle {
  const char* className;
  DWORD style;
  DWORD exStyle;
};

ControlStyle StyleOf(ControlKind kind) {
  constexpr DWORD child = WS_CHILD | WS_VISIBLE;
  switch (kind) {
    case ControlKind::ClientPanel:  // made by TNxPanel itself
    case ControlKind::GroupBox: return {kGroupBoxClass, child, 0};
    case ControlKind::Label: return {kLabelClass, child | SS_NOPREFIX, 0};
    case ControlKind::StaticText:
      // Made after the home-page line, whose bottom row it overlaps: the
      // clipping leaves that row to the line, as it has always shown.
      return {kLabelClass, child | SS_NOPREFIX | WS_CLIPSIBLINGS, 0};
    case ControlKind::BevelPanel: return {kBevelPanelClass, child, 0};
    case ControlKind::DriveSelector:
      return {"COMBOBOX",
              child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED |
                  CBS_HASSTRINGS,
              0};
    case ControlKind::Edit:
      return {"EDIT", child | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE};
    case ControlKind::GlyphButton: return {"BUTTON", child | WS_TABSTOP | BS_OWNERDRAW, 0};
  }
  return {kLabelClass, child | SS_NOPREFIX, 0};
}

// Alt+Q: a system character q whose context bit (29) says Alt was down.
// With no control focused every key comes as a system key, without that bit.
bool IsAltQ(const MSG& message) {
  constexpr LPARAM kAltDown = LPARAM{1} << 29;
  return message.message == WM_SYSCHAR && (message.lParam & kAltDown) != 0 &&
         (message.wParam == 'q' || message.wParam == 'Q');
}

SIZE TextExtent(HFONT font, const char* text) {
  const os::GuiApi& gui = os::Gui();
  HDC dc = gui.GetDC(nullptr);
  HGDIOBJ old = gui.SelectObject(dc, font);
  SIZE size{};
  gui.GetTextExtentPoint32A(dc, text, static_cast<int>(std::char_traits<char>::length(text)), &size);
  TEXTMETRICA metrics{};
  gui.GetTextMetricsA(dc, &metrics);
  gui.SelectObject(dc, old);
  gui.ReleaseDC(nullptr, dc);
  return {size.cx, metrics.tmHeight};
}

}  // namespace

TfrmMain::TfrmMain(HINSTANCE instance) : instance_(instance), drvcbDrive_(instance) {
  const os::GuiApi& gui = os::Gui();
  const os::Win32Api& api = os::Api();
  RegisterControlClasses(instance, api.IsAppThemed != nullptr && api.IsAppThemed());

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hIcon = gui.LoadIconA(instance, "MAINICON");
  wc.hIconSm = static_cast<HICON>(gui.LoadImageA(instance, "MAINICON", IMAGE_ICON,
                                                 gui.GetSystemMetrics(SM_CXSMICON),
                                                 gui.GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = gui.LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = gui.GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kWindowClass;
  gui.RegisterClassExA(&wc);

  glyphOK_ = gui.LoadBitmapA(instance, "BBOK");
  glyphClose_ = gui.LoadBitmapA(instance, "BBCLOSE");

  ApplyScreenDensity();
  RECT outer = {0, 0, ScaleLength(kClientWidth, zeroHeight_), ScaleLength(kClientHeight, zeroHeight_)};
  gui.AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
  hwnd_ = gui.CreateWindowExA(0, kWindowClass, kWindowCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top,
                              nullptr, nullptr, instance, this);
  try {
    CompleteWindow();
  } catch (...) {
    ReleaseWindow();
    throw;
  }
}

void TfrmMain::CompleteWindow() {
  const os::GuiApi& gui = os::Gui();
  gui.SetPropA(hwnd_, kFontHeightProp,
               reinterpret_cast<HANDLE>(static_cast<INT_PTR>(ScaledFontHeight(dpi_))));
  gui.SetPropA(hwnd_, kDpiProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(dpi_)));
  CreateControls();

  char path[MAX_PATH + 1] = {};
  os::Api().GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (app::ContainsDoubleBackslash(path)) {
    app::ShowErrorDialog("Can not execute me from a network drive!");
    std::exit(0);
  }
  SetText(idPnlPlatform, platform::GetPlatformName());
}

TfrmMain::~TfrmMain() { ReleaseWindow(); }

void TfrmMain::ReleaseWindow() {
  const os::GuiApi& gui = os::Gui();
  // The window and its subclassed controls point at this object, so they go
  // first: an exception that escaped the first showing ends here, and the
  // exception box would otherwise disable and activate them.
  if (hwnd_ != nullptr) {
    tearingDown_ = true;
    gui.DestroyWindow(hwnd_);
  }
  test_hooks::ObjectGone(this);
  if (font_) gui.DeleteObject(std::exchange(font_, nullptr));
  if (glyphOK_) gui.DeleteObject(std::exchange(glyphOK_, nullptr));
  if (glyphClose_) gui.DeleteObject(std::exchange(glyphClose_, nullptr));
}

void TfrmMain::ApplyScreenDensity() {
  const os::GuiApi& gui = os::Gui();
  HDC dc = gui.GetDC(nullptr);
  dpi_ = gui.GetDeviceCaps(dc, LOGPIXELSY);
  gui.ReleaseDC(nullptr, dc);
  font_ = gui.CreateFontA(ScaledFontHeight(dpi_), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                          DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kFontName);
  if (dpi_ != 96) zeroHeight_ = static_cast<int>(TextExtent(font_, "0").cy);
}

void TfrmMain::CreateControls() {
  for (const ControlLayout& layout : kMainLayout) controls_[layout.id] = CreateControl(layout);
  for (ControlId id : kFocusOrder) SubclassFocusable(Control(id));
  os::Gui().SendMessageA(Control(idEdtNVSN), EM_LIMITTEXT, kEntryMaxLength, 0);
  drvcbDrive_.Attach(Control(idDrvcbDrive), font_);
  os::Gui().EnableWindow(Control(idBbnOK), FALSE);
}

HWND TfrmMain::CreateControl(const ControlLayout& layout) {
  const os::GuiApi& gui = os::Gui();
  const ControlStyle style = StyleOf(layout.kind);
  const char* caption = layout.caption ? layout.caption : FreeText(layout.id);
  Rect rect = ScaleRect(layout.rect, zeroHeight_);
  if (layout.kind == ControlKind::Label) {
    // Labels size themselves to their caption from their left edge.
    const SIZE extent = TextExtent(font_, caption);
    rect.width = extent.cx;
    rect.height = extent.cy;
  }
  int height = rect.height;
  if (layout.kind == ControlKind::DriveSelector) height += 8 * rect.height;  // room to drop down
  if (layout.kind == ControlKind::ClientPanel) {
    // Fills the client area; its children keep their places.
    nxpClient_ = std::make_unique<components::TNxPanel>(hwnd_, layout.id, rect.left, rect.top,
                                                        rect.width, rect.height, instance_);
    gui.SendMessageA(nxpClient_->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return nxpClient_->Handle();
  }
  HWND parent = layout.parent == idNone ? hwnd_ : Control(layout.parent);
  HWND control = gui.CreateWindowExA(style.exStyle, style.className, caption, style.style,
                                     rect.left, rect.top, rect.width, height, parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)),
                                     instance_, nullptr);
  if (layout.kind == ControlKind::Label || layout.kind == ControlKind::StaticText)
    SubclassLabel(control);
  gui.SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return control;
}

void TfrmMain::SubclassFocusable(HWND control) {
  const os::GuiApi& gui = os::Gui();
  originalProcs_[control] = reinterpret_cast<WNDPROC>(
      gui.SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlProc)));
  gui.SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void TfrmMain::Show() {
  drvcbDrive_.CreateWnd();
  handlers_.FormShow();
  CenterOnScreen();
  const os::GuiApi& gui = os::Gui();
  gui.ShowWindow(hwnd_, SW_SHOWNORMAL);
  gui.UpdateWindow(hwnd_);
  shown_ = true;
  // From now on the dialogs are the window's own, so that Windows gives the
  // activation back to it as each closes.
  app::SetDialogOwner(hwnd_);
  if (activeControl_) gui.SetFocus(activeControl_);
}

void TfrmMain::CenterOnScreen() {
  const os::GuiApi& gui = os::Gui();
  RECT outer;
  gui.GetWindowRect(hwnd_, &outer);
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  int left = (gui.GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  int top = (gui.GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  left = left < gui.GetSystemMetrics(SM_XVIRTUALSCREEN) ? gui.GetSystemMetrics(SM_XVIRTUALSCREEN) : left;
  top = top < gui.GetSystemMetrics(SM_YVIRTUALSCREEN) ? gui.GetSystemMetrics(SM_YVIRTUALSCREEN) : top;
  gui.SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Controls as the handlers see them

void TfrmMain::RepeatClose() {
  if (hwnd_ != nullptr) os::Gui().PostMessageA(hwnd_, WM_CLOSE, 0, 0);
}

void TfrmMain::SetCaption(ControlId id, const std::string& text) { SetText(id, text); }

void TfrmMain::SetText(ControlId id, const std::string& text) {
  // Setting the text a control already shows changes nothing and raises nothing.
  if (ControlText(id) == text) return;
  os::Gui().SetWindowTextA(Control(id), text.c_str());
}

void TfrmMain::SetOKEnabled(bool enabled) {
  const os::GuiApi& gui = os::Gui();
  HWND ok = Control(idBbnOK);
  const bool okHadFocus = gui.GetFocus() == ok || activeControl_ == ok;
  gui.EnableWindow(ok, enabled ? TRUE : FALSE);
  // A disabled control loses the focus to nothing, and activation will not
  // hand it back: the keyboard would reach no control until a click. The
  // selector takes it, as after a write.
  if (!enabled && okHadFocus) {
    activeControl_ = Control(idDrvcbDrive);
    if (shown_) gui.SetFocus(activeControl_);
  }
}

std::string TfrmMain::Caption(ControlId id) const { return ControlText(id); }

std::string TfrmMain::ControlText(ControlId id) const {
  const os::GuiApi& gui = os::Gui();
  HWND control = Control(id);
  std::string text(static_cast<size_t>(gui.GetWindowTextLengthA(control)) + 1, '\0');
  text.resize(static_cast<size_t>(gui.GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

// ---- Focus

void TfrmMain::FocusControl(ControlId id) {
  if (shown_)
    os::Gui().SetFocus(Control(id));
  else
    activeControl_ = Control(id);
}

// Runs as a control of the window gets the focus, before it reacts: the
// control that had it is told it was left, then the new one that it was
// entered. The new control is recorded first, so that a dialog shown by an
// exit handler gives the focus back to it.
void TfrmMain::OnControlFocus(HWND control) {
  HWND previous = activeControl_;
  activeControl_ = control;
  if (previous == control) return;
  os::Gui().InvalidateRect(Control(idBbnOK), nullptr, FALSE);
  os::Gui().InvalidateRect(Control(idBbnQuit), nullptr, FALSE);
  if (previous == Control(idDrvcbDrive)) handlers_.drvcbDriveExit();
  if (control == Control(idEdtNVSN)) handlers_.edtNVSNChange();
}

// A mouse press on a button takes the focus first; the press goes on only
// if the button still has the focus after the exit handler ran.
bool TfrmMain::PressButtonAfterFocus(HWND button) {
  const os::GuiApi& gui = os::Gui();
  if (gui.GetFocus() == button) return true;
  gui.SetFocus(button);
  if (gui.GetFocus() != button || !gui.IsWindowEnabled(button)) return false;
  if (gui.GetKeyState(VK_LBUTTON) < 0) return true;
  // A dialog of the exit handler took the release: the click follows now.
  ClickButton(button);
  return false;
}

void TfrmMain::ClickButton(HWND button) {
  const os::GuiApi& gui = os::Gui();
  if (!gui.IsWindowEnabled(button)) return;
  if (button == Control(idBbnOK)) handlers_.bbnOKClick();
  if (button == Control(idBbnQuit)) gui.SendMessageA(hwnd_, WM_CLOSE, 0, 0);
}

void TfrmMain::MoveFocus(bool forward) {
  const os::GuiApi& gui = os::Gui();
  const int count = static_cast<int>(sizeof(kFocusOrder) / sizeof(kFocusOrder[0]));
  int current = 0;
  for (int i = 0; i < count; ++i)
    if (Control(kFocusOrder[i]) == gui.GetFocus()) current = i;
  for (int step = 1; step <= count; ++step) {
    const int next = (current + (forward ? step : count - step)) % count;
    HWND candidate = Control(kFocusOrder[next]);
    if (gui.IsWindowEnabled(candidate) && gui.IsWindowVisible(candidate)) {
      gui.SetFocus(candidate);
      return;
    }
  }
}

bool TfrmMain::PreTranslateMessage(const MSG& message) {
  const os::GuiApi& gui = os::Gui();
  if (message.hwnd != hwnd_ && !gui.IsChild(hwnd_, message.hwnd)) return false;
  if (IsAltQ(message)) {
    ClickButton(Control(idBbnQuit));  // the accelerator does not move the focus
    return true;
  }
  if (message.message != WM_KEYDOWN) return false;
  HWND focus = gui.GetFocus();
  if (message.wParam == VK_TAB) {
    MoveFocus(gui.GetKeyState(VK_SHIFT) >= 0);
    return true;
  }
  if (message.wParam == VK_RETURN) {
    if (focus == Control(idBbnOK) || focus == Control(idBbnQuit)) {
      ClickButton(focus);  // a focused button takes Enter itself
      return true;
    }
    if (focus == Control(idDrvcbDrive) && gui.SendMessageA(focus, CB_GETDROPPEDSTATE, 0, 0))
      return false;  // the open list takes it
    ClickButton(Control(idBbnOK));  // the default button
    return true;
  }
  return false;
}

// ---- Messages

void TfrmMain::OnCommand(WPARAM wParam, LPARAM) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (id == idEdtNVSN && code == EN_CHANGE) handlers_.edtNVSNChange();
  if (id == idDrvcbDrive && code == CBN_SELCHANGE) drvcbDrive_.selector().UserSelected();
  if (code == BN_CLICKED && (id == idBbnOK || id == idBbnQuit)) ClickButton(Control(static_cast<ControlId>(id)));
}

LRESULT TfrmMain::OnMeasureItem(MEASUREITEMSTRUCT& item) {
  // Asked while the selector's window is being made, before it is attached.
  if (item.CtlType == ODT_COMBOBOX) item.itemHeight = DriveComboWindow::ItemHeightFor(font_);
  return TRUE;
}

LRESULT TfrmMain::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlType == ODT_COMBOBOX) {
    drvcbDrive_.DrawItem(item);
    return TRUE;
  }
  if (item.CtlType != ODT_BUTTON) return FALSE;
  const bool isOK = item.hwndItem == Control(idBbnOK);
  const HWND focus = os::Gui().GetFocus();
  // Enter presses OK unless the focus is on the other button, which then
  // takes the default frame itself.
  const bool defaultFrame = isOK ? focus != Control(idBbnQuit) : focus == item.hwndItem;
  DrawGlyphButton(item, {isOK ? glyphOK_ : glyphClose_, defaultFrame});
  return TRUE;
}

LRESULT TfrmMain::WindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const os::GuiApi& gui = os::Gui();
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && activeControl_ && gui.IsWindowEnabled(activeControl_)) {
        gui.SetFocus(activeControl_);
        return 0;
      }
      break;
    case WM_SETFOCUS:
      if (activeControl_ && gui.IsWindowEnabled(activeControl_)) gui.SetFocus(activeControl_);
      return 0;
    case WM_SIZE:
      if (controls_.count(idNxpClient))
        gui.MoveWindow(Control(idNxpClient), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_DRAWITEM:
      return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_MEASUREITEM:
      return OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_CLOSE:
      if (handlers_.CanCloseNow()) gui.DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      app::SetDialogOwner(nullptr);
      gui.RemovePropA(hwnd_, kFontHeightProp);
      gui.RemovePropA(hwnd_, kDpiProp);
      // Not when torn down: a queued quit would end the exception box's
      // loop at once, before the user saw it.
      if (!tearingDown_) gui.PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY: {
      HWND gone = hwnd_;
      hwnd_ = nullptr;
      return gui.DefWindowProcA(gone, message, wParam, lParam);
    }
    default:
      break;
  }
  return gui.DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT TfrmMain::ControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  const os::GuiApi& gui = os::Gui();
  const WNDPROC original = originalProcs_.at(control);
  switch (message) {
    case WM_SETFOCUS:
      OnControlFocus(control);
      // A handler that moved the focus on has already had the control told
      // it lost it: passed on now, the focus would stick to it (OK's state
      // and focus rectangle beside the real focus).
      if (gui.GetFocus() != control) return 0;
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if ((control == Control(idBbnOK) || control == Control(idBbnQuit)) &&
          !PressButtonAfterFocus(control))
        return 0;
      break;
    case WM_KEYDOWN:
      if (control == Control(idEdtNVSN)) handlers_.edtNVSNKeyDown();
      break;
    case WM_CHAR:
      if (control == Control(idDrvcbDrive) && drvcbDrive_.OnChar(static_cast<unsigned char>(wParam)))
        return 0;
      break;
    default:
      break;
  }
  return gui.CallWindowProcA(original, control, message, wParam, lParam);
}

LRESULT CALLBACK TfrmMain::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* form = app::WindowOwner<TfrmMain>(hwnd, message, lParam);
  if (form == nullptr || test_hooks::ReachesGoneObject(form))
    return os::Gui().DefWindowProcA(hwnd, message, wParam, lParam);
  form->hwnd_ = hwnd;
  return app::Guarded([&] { return form->WindowMessage(message, wParam, lParam); });
}

LRESULT CALLBACK TfrmMain::ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* form = reinterpret_cast<TfrmMain*>(os::Gui().GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (test_hooks::ReachesGoneObject(form)) return os::Gui().DefWindowProcA(hwnd, message, wParam, lParam);
  return app::Guarded([&] { return form->ControlMessage(hwnd, message, wParam, lParam); });
}

}  // namespace ui
