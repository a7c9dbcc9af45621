// frmMain, the system's one window (Windows build).
#pragma once

#include <map>
#include <memory>
#include <string>

#include "components/nx_panel.h"
#include "os/gui.h"
#include "ui/drive_combo.h"
#include "ui/layout.h"
#include "ui/main_form.h"

namespace ui {

class TfrmMain : private FormView {
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
  std::string Caption(ControlId id) const override;
  void SetCaption(ControlId id, const std::string& text) override;
  std::string EntryText() const override { return Caption(idEdtNVSN); }
  void SetEntryText(const std::string& text) override { SetCaption(idEdtNVSN, text); }
  void SetOKEnabled(bool enabled) override;
  char SelectedDrive() const override { return drvcbDrive_.selector().SelectedDrive(); }
  std::string SelectorText() const override { return drvcbDrive_.selector().DisplayedText(); }
  void FocusSelector() override { FocusControl(idDrvcbDrive); }
  void RepeatClose() override;

  // The constructor's work once the window exists; on a throw the window
  // goes at once, since no destructor runs for a half-made object.
  void CompleteWindow();
  void ReleaseWindow();
  void CreateControls();
  HWND CreateControl(const ControlLayout& layout);
  void SubclassFocusable(HWND control);
  void ApplyScreenDensity();
  void CenterOnScreen();

  HWND Control(ControlId id) const { return controls_.at(id); }
  // Not virtual: the constructor uses them.
  void SetText(ControlId id, const std::string& text);
  std::string ControlText(ControlId id) const;

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
  LRESULT OnMeasureItem(MEASUREITEMSTRUCT& item);

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
  int dpi_ = 96;  // the screen's, read once
  int zeroHeight_ = kDesignZeroHeight;
  HBITMAP glyphOK_ = nullptr;
  HBITMAP glyphClose_ = nullptr;
  std::map<int, HWND> controls_;
  std::map<HWND, WNDPROC> originalProcs_;
  HWND activeControl_ = nullptr;
  mutable DriveComboWindow drvcbDrive_;
  std::unique_ptr<components::TNxPanel> nxpClient_;
  MainFormHandlers handlers_{*this};
  bool shown_ = false;
  bool tearingDown_ = false;  // destroyed with the object, not closed by the user
};

}  // namespace ui
