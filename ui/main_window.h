// frmMain, the system's one window (Windows build): its construction, its
// showing, and the messages it reacts to, each passed to a named handler.
// The handlers of its controls' events are in ui/main_form.h, its focus and
// key rules in ui/focus.h, the making of its controls in
// ui/control_factory.h.
#pragma once

#include <memory>
#include <string>

#include "os/gdi.h"
#include "ui/control_factory.h"
#include "ui/drive_combo.h"
#include "ui/focus.h"
#include "ui/main_form.h"
#include "ui/window_colors.h"

namespace ui {

class TfrmMain : private FormView, private FocusView {
 public:
  // Creates the window and its controls (hidden), refuses a network path,
  // and shows the platform name.
  explicit TfrmMain(HINSTANCE instance);
  ~TfrmMain() override;
  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;

  // The first showing: the selector's list, FormShow, centring, visible.
  void Show();

  // Keys the window handles before the focused control sees them; true when
  // the message was consumed.
  bool PreTranslateMessage(const MSG& message);

 private:
  // What the handlers see of the window.
  std::string Caption(ControlId id) const override { return ControlText(id); }
  void SetCaption(ControlId id, const std::string& text) override { SetText(id, text); }
  std::string EntryText() const override { return ControlText(idEdtNVSN); }
  void SetEntryText(const std::string& text) override { SetText(idEdtNVSN, text); }
  void SetOKEnabled(bool enabled) override;
  char SelectedDrive() const override { return drvcbDrive_.selector().SelectedDrive(); }
  std::string SelectorText() const override { return drvcbDrive_.selector().DisplayedText(); }
  void FocusSelector() override { focus_.Give(idDrvcbDrive); }
  void RepeatClose() override;

  // What the focus rules see of it.
  ControlId Focused() const override;
  bool Enabled(ControlId id) const override;
  void MoveFocus(ControlId id) override;
  void RepaintButtons() override;
  bool PressHeld() const override;
  void Close() override;

  // The constructor's work once the window exists; on a throw the window
  // goes at once, since no destructor runs for a half-made object.
  void CompleteWindow();
  void ReleaseWindow();
  void CenterOnScreen();

  HWND Control(ControlId id) const { return (*controls_)[id]; }
  // Not virtual: the constructor uses them.
  void SetText(ControlId id, const std::string& text);
  std::string ControlText(ControlId id) const;

  LRESULT WindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetFocus();
  LRESULT OnSize(LPARAM lParam);
  LRESULT OnCommand(WPARAM wParam);
  LRESULT OnDrawItem(const DRAWITEMSTRUCT& item);
  LRESULT OnMeasureItem(MEASUREITEMSTRUCT& item);
  LRESULT OnClose();
  LRESULT OnDestroy();
  LRESULT OnNcDestroy(WPARAM wParam, LPARAM lParam);
  LRESULT OnColorsChanged(UINT message, WPARAM wParam, LPARAM lParam);

  LRESULT ControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnControlSetFocus(HWND control, WPARAM wParam, LPARAM lParam);
  LRESULT OnControlPress(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  ScreenFont font_;
  WindowPalette palette_;
  std::unique_ptr<MainControls> controls_;
  mutable DriveComboWindow drvcbDrive_;
  MainFormHandlers handlers_{*this};
  FocusKeeper focus_{*this, handlers_};
  bool tearingDown_ = false;  // destroyed with the object, not closed by the user
};

}  // namespace ui
