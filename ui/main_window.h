// frmMain, the system's one window (Windows build).
#pragma once

#include <map>
#include <string>

#include "os/gui.h"
#include "ui/layout.h"

namespace ui {

class TfrmMain {
 public:
  // Creates the window and its controls (hidden), refuses a network path,
  // and shows the platform name.
  explicit TfrmMain(HINSTANCE instance);
  ~TfrmMain();
  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;

  // The first showing: the selector's list, FormShow, centring, visible.
  void Show();

  // Keys the window handles before the focused control sees them; true when
  // the message was consumed.
  bool PreTranslateMessage(const MSG& message);

 private:
  // Event handlers.
  void FormShow();
  void drvcbDriveExit();
  void edtNVSNChange();
  void edtNVSNKeyDown(WPARAM key);
  void bbnOKClick();

  void CreateControls();
  HWND CreateControl(const ControlLayout& layout);
  void SubclassFocusable(HWND control);
  void ApplyScreenDensity();
  void CenterOnScreen();

  HWND Control(ControlId id) const { return controls_.at(id); }
  void SetCaption(ControlId id, const std::string& text);
  std::string Caption(ControlId id) const;

  // Focus: which control of the window has (or gets back) the focus.
  void FocusControl(ControlId id);
  void OnControlFocus(HWND control);
  bool PressButtonAfterFocus(HWND button);
  void MoveFocus(bool forward);
  void ClickButton(HWND button);

  LRESULT WindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT ControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnDrawItem(const DRAWITEMSTRUCT& item);

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
  int zeroHeight_ = kDesignZeroHeight;
  HBITMAP glyphOK_ = nullptr;
  HBITMAP glyphClose_ = nullptr;
  std::map<int, HWND> controls_;
  std::map<HWND, WNDPROC> originalProcs_;
  HWND activeControl_ = nullptr;
  bool shown_ = false;
};

}  // namespace ui
