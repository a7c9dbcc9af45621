#include "ui/main_window.h"

#include <cstdlib>
#include <optional>

#include "app/application.h"
#include "app/dialogs.h"
#include "app/exceptions.h"
#include "app/text.h"
#include "app/window_owner.h"
#include "components/drawing.h"
#include "os/api.h"
#include "os/test_hooks.h"
#include "platform/platform.h"
#include "ui/controls.h"
#include "ui/scaling.h"

namespace ui {
namespace {

constexpr char kWindowClass[] = "TfrmMain";
// Read by the test inspector: what the density rule chose.
constexpr char kFontHeightProp[] = "KestrovaFontHeight";
constexpr char kDpiProp[] = "KestrovaDpi";

void RegisterMainClass(HINSTANCE instance, WNDPROC proc) {
  const os::GuiApi& gui = os::Gui();
  components::WindowClass main{kWindowClass, proc, 0};
  main.icon = gui.LoadIconA(instance, "MAINICON");
  main.smallIcon = static_cast<HICON>(
      gui.LoadImageA(instance, "MAINICON", IMAGE_ICON, gui.GetSystemMetrics(SM_CXSMICON),
                     gui.GetSystemMetrics(SM_CYSMICON), 0));
  main.background = gui.GetSysColorBrush(COLOR_BTNFACE);
  components::RegisterWindowClass(instance, main);
}

// Alt+Q: a system character q whose context bit (29) says Alt was down.
// With no control focused every key comes as a system key, without that bit.
bool IsAltQ(const MSG& message) {
  constexpr LPARAM kAltDown = LPARAM{1} << 29;
  return message.message == WM_SYSCHAR && (message.lParam & kAltDown) != 0 &&
         (message.wParam == 'q' || message.wParam == 'Q');
}

std::optional<WindowKey> WindowKeyOf(const MSG& message) {
  if (IsAltQ(message)) return WindowKey::AltQ;
  if (message.message != WM_KEYDOWN) return std::nullopt;
  if (message.wParam == VK_TAB)
    return os::Gui().GetKeyState(VK_SHIFT) < 0 ? WindowKey::ShiftTab : WindowKey::Tab;
  if (message.wParam == VK_RETURN) return WindowKey::Enter;
  return std::nullopt;
}

void SetIntProp(HWND hwnd, const char* name, int value) {
  os::Gui().SetPropA(hwnd, name, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(value)));
}

}  // namespace

TfrmMain::TfrmMain(HINSTANCE instance)
    : instance_(instance), font_(MakeScreenFont()), drvcbDrive_(instance) {
  const os::GuiApi& gui = os::Gui();
  RegisterControlClasses(instance);
  RegisterMainClass(instance, WindowProc);
  RECT outer = {0, 0, ScaleLength(kClientWidth, font_.zeroHeight),
                ScaleLength(kClientHeight, font_.zeroHeight)};
  gui.AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
  hwnd_ = gui.CreateWindowExA(0, kWindowClass, kWindowCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top,
                              nullptr, nullptr, instance, this);
  // Without its window nothing can be shown or closed: the start-up fails.
  if (hwnd_ == nullptr) throw app::Exception(app::ToWide("Can not create the main window"));
  try {
    CompleteWindow();
  } catch (...) {
    ReleaseWindow();
    throw;
  }
}

void TfrmMain::CompleteWindow() {
  SetIntProp(hwnd_, kFontHeightProp, ScaledFontHeight(font_.dpi));
  SetIntProp(hwnd_, kDpiProp, font_.dpi);
  controls_ = std::make_unique<MainControls>(instance_, hwnd_, font_);
  controls_->Color(palette_.colors());
  for (ControlId id : FocusOrder()) Subclass(Control(id), ControlProc);
  drvcbDrive_.Attach(Control(idDrvcbDrive), font_.font.get());

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
  // The window and its subclassed controls point at this object, so they go
  // first: an exception that escaped the first showing ends here, and the
  // exception box would otherwise disable and activate them.
  if (hwnd_ != nullptr) {
    tearingDown_ = true;
    os::Gui().DestroyWindow(hwnd_);
  }
  test_hooks::ObjectGone(this);
}

void TfrmMain::Show() {
  drvcbDrive_.CreateWnd();
  handlers_.FormShow();
  CenterOnScreen();
  const os::GuiApi& gui = os::Gui();
  gui.ShowWindow(hwnd_, SW_SHOWNORMAL);
  gui.UpdateWindow(hwnd_);
  // From now on the dialogs are the window's own, so that Windows gives the
  // activation back to it as each closes.
  app::SetDialogOwner(hwnd_);
  focus_.WindowShown();
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

// ---- The controls as the handlers and the focus rules see them

void TfrmMain::RepeatClose() {
  if (hwnd_ != nullptr) os::Gui().PostMessageA(hwnd_, WM_CLOSE, 0, 0);
}

void TfrmMain::SetText(ControlId id, const std::string& text) {
  // Setting the text a control already shows changes nothing and raises nothing.
  if (ControlText(id) == text) return;
  os::Gui().SetWindowTextA(Control(id), text.c_str());
}

std::string TfrmMain::ControlText(ControlId id) const {
  const os::GuiApi& gui = os::Gui();
  HWND control = Control(id);
  std::string text(static_cast<size_t>(gui.GetWindowTextLengthA(control)) + 1, '\0');
  text.resize(static_cast<size_t>(gui.GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

void TfrmMain::SetOKEnabled(bool enabled) {
  const bool held = focus_.Holds(idBbnOK);
  os::Gui().EnableWindow(Control(idBbnOK), enabled ? TRUE : FALSE);
  // A disabled control loses the focus to nothing, and activation will not
  // hand it back: the keyboard would reach no control until a click. The
  // selector takes it, as after a write.
  if (!enabled && held) focus_.Give(idDrvcbDrive);
}

ControlId TfrmMain::Focused() const {
  if (!controls_) return idNone;  // asked while the window is being made
  HWND focus = os::Gui().GetFocus();
  for (ControlId id : FocusOrder())
    if (Control(id) == focus) return id;
  return idNone;
}

bool TfrmMain::Enabled(ControlId id) const { return os::Gui().IsWindowEnabled(Control(id)) != FALSE; }

void TfrmMain::MoveFocus(ControlId id) { os::Gui().SetFocus(Control(id)); }

void TfrmMain::RepaintButtons() {
  os::Gui().InvalidateRect(Control(idBbnOK), nullptr, FALSE);
  os::Gui().InvalidateRect(Control(idBbnQuit), nullptr, FALSE);
}

bool TfrmMain::PressHeld() const { return os::Gui().GetKeyState(VK_LBUTTON) < 0; }

void TfrmMain::Close() { os::Gui().SendMessageA(hwnd_, WM_CLOSE, 0, 0); }

bool TfrmMain::PreTranslateMessage(const MSG& message) {
  if (message.hwnd != hwnd_ && !os::Gui().IsChild(hwnd_, message.hwnd)) return false;
  const std::optional<WindowKey> key = WindowKeyOf(message);
  if (!key) return false;
  const bool dropped = os::Gui().SendMessageA(Control(idDrvcbDrive), CB_GETDROPPEDSTATE, 0, 0) != 0;
  return focus_.KeyPressed(*key, dropped);
}

// ---- The window's messages

LRESULT TfrmMain::WindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE: return OnActivate(wParam, lParam);
    case WM_SETFOCUS: return OnSetFocus();
    case WM_SIZE: return OnSize(lParam);
    case WM_COMMAND: return OnCommand(wParam);
    case WM_DRAWITEM: return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_MEASUREITEM: return OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_CLOSE: return OnClose();
    case WM_DESTROY: return OnDestroy();
    case WM_NCDESTROY: return OnNcDestroy(wParam, lParam);
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
    case WM_SETTINGCHANGE: return OnColorsChanged(message, wParam, lParam);
    default: return os::Gui().DefWindowProcA(hwnd_, message, wParam, lParam);
  }
}

LRESULT TfrmMain::OnActivate(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) != WA_INACTIVE && focus_.Reactivated(HIWORD(wParam) != 0)) return 0;
  return os::Gui().DefWindowProcA(hwnd_, WM_ACTIVATE, wParam, lParam);
}

LRESULT TfrmMain::OnSetFocus() {
  focus_.Reactivated(false);
  return 0;
}

LRESULT TfrmMain::OnSize(LPARAM lParam) {
  if (controls_) os::Gui().MoveWindow(Control(idNxpClient), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
  return 0;
}

LRESULT TfrmMain::OnCommand(WPARAM wParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (id == idEdtNVSN && code == EN_CHANGE) handlers_.edtNVSNChange();
  if (id == idDrvcbDrive && code == CBN_SELCHANGE) {
    drvcbDrive_.selector().UserSelected();
    focus_.SelectionChanged();
  }
  if (code == BN_CLICKED && (id == idBbnOK || id == idBbnQuit)) focus_.Click(static_cast<ControlId>(id));
  return 0;
}

LRESULT TfrmMain::OnMeasureItem(MEASUREITEMSTRUCT& item) {
  // Asked while the selector's window is being made, before it is attached.
  if (item.CtlType == ODT_COMBOBOX) item.itemHeight = DriveComboWindow::ItemHeightFor(font_.font.get());
  return TRUE;
}

LRESULT TfrmMain::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlType == ODT_COMBOBOX) {
    drvcbDrive_.DrawItem(item);
    return TRUE;
  }
  if (item.CtlType != ODT_BUTTON) return FALSE;
  const auto button = static_cast<ControlId>(item.CtlID);
  DrawGlyphButton(item, {controls_->Glyph(button), DrawsDefaultFrame(button, Focused())});
  return TRUE;
}

LRESULT TfrmMain::OnClose() {
  if (handlers_.CanCloseNow()) os::Gui().DestroyWindow(hwnd_);
  return 0;
}

LRESULT TfrmMain::OnDestroy() {
  const os::GuiApi& gui = os::Gui();
  app::SetDialogOwner(nullptr);
  gui.RemovePropA(hwnd_, kFontHeightProp);
  gui.RemovePropA(hwnd_, kDpiProp);
  // Not when torn down: a queued quit would end the exception box's loop at
  // once, before the user saw it.
  if (!tearingDown_) gui.PostQuitMessage(0);
  return 0;
}

LRESULT TfrmMain::OnNcDestroy(WPARAM wParam, LPARAM lParam) {
  HWND gone = hwnd_;
  hwnd_ = nullptr;
  return os::Gui().DefWindowProcA(gone, WM_NCDESTROY, wParam, lParam);
}

LRESULT TfrmMain::OnColorsChanged(UINT message, WPARAM wParam, LPARAM lParam) {
  if (controls_ && palette_.Changed(message, wParam)) controls_->Recolor(palette_.colors(), message);
  return os::Gui().DefWindowProcA(hwnd_, message, wParam, lParam);
}

// ---- The messages of the controls that take the focus

LRESULT TfrmMain::ControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto id = static_cast<ControlId>(os::Gui().GetDlgCtrlID(control));
  switch (message) {
    case WM_SETFOCUS: return OnControlSetFocus(control, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnControlPress(control, message, wParam, lParam);
    case WM_KEYDOWN:
      if (id == idEdtNVSN) handlers_.edtNVSNKeyDown();
      break;
    case WM_CHAR:
      if (id == idDrvcbDrive && drvcbDrive_.OnChar(static_cast<unsigned char>(wParam))) return 0;
      break;
    default: break;
  }
  return os::Gui().CallWindowProcA(SubclassedProc(control), control, message, wParam, lParam);
}

LRESULT TfrmMain::OnControlSetFocus(HWND control, WPARAM wParam, LPARAM lParam) {
  focus_.Entered(static_cast<ControlId>(os::Gui().GetDlgCtrlID(control)));
  // A handler that moved the focus on has already had the control told it
  // lost it: passed on now, the focus would stick to it (OK's state and
  // focus rectangle beside the real focus).
  if (os::Gui().GetFocus() != control) return 0;
  return os::Gui().CallWindowProcA(SubclassedProc(control), control, WM_SETFOCUS, wParam, lParam);
}

LRESULT TfrmMain::OnControlPress(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto id = static_cast<ControlId>(os::Gui().GetDlgCtrlID(control));
  const bool button = id == idBbnOK || id == idBbnQuit;
  if (button && !focus_.Pressed(id)) return 0;
  return os::Gui().CallWindowProcA(SubclassedProc(control), control, message, wParam, lParam);
}

LRESULT CALLBACK TfrmMain::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* form = app::WindowOwner<TfrmMain>(hwnd, message, lParam);
  if (form == nullptr || test_hooks::ReachesGoneObject(form))
    return os::Gui().DefWindowProcA(hwnd, message, wParam, lParam);
  form->hwnd_ = hwnd;
  return app::Guarded([&] { return form->WindowMessage(message, wParam, lParam); });
}

// A control that takes the focus belongs to the window at the top of its
// parents, whose user data holds the form.
LRESULT CALLBACK TfrmMain::ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const os::GuiApi& gui = os::Gui();
  HWND top = hwnd;
  while (HWND parent = gui.GetParent(top)) top = parent;
  auto* form = reinterpret_cast<TfrmMain*>(gui.GetWindowLongPtrA(top, GWLP_USERDATA));
  if (form == nullptr || test_hooks::ReachesGoneObject(form))
    return gui.CallWindowProcA(SubclassedProc(hwnd), hwnd, message, wParam, lParam);
  return app::Guarded([&] { return form->ControlMessage(hwnd, message, wParam, lParam); });
}

}  // namespace ui
