// Where the main window's keyboard focus goes, and what its keys and button
// presses do: every focus rule of the window, apart from the window itself,
// so that the same rules run in kestrova.exe and in the native tests.
#pragma once

#include <functional>
#include <vector>

#include "ui/layout.h"

namespace ui {

// The controls that take the focus, in the layout's tab order.
const std::vector<ControlId>& FocusOrder();

// The control Tab (forward) or Shift+Tab reaches from `from`, passing over
// disabled ones; from a control outside the order the count starts at its
// first. idNone when none is enabled.
ControlId NextInFocusOrder(ControlId from, bool forward,
                           const std::function<bool(ControlId)>& enabled);

// The keys the window takes before the focused control sees them.
enum class WindowKey { Tab, ShiftTab, Enter, AltQ };

// Enter presses OK unless the focus is on Quit, which then takes the frame.
bool DrawsDefaultFrame(ControlId button, ControlId focused);

// The window's event handlers that focus changes, keys and presses run.
class FocusEvents {
 public:
  virtual ~FocusEvents() = default;
  virtual void drvcbDriveExit() = 0;  // the selector was left
  virtual void edtNVSNChange() = 0;   // the entry was entered
  virtual void bbnOKClick() = 0;
};

// What the focus rules see and do of the window.
class FocusView {
 public:
  virtual ~FocusView() = default;
  // The control of the window that has the focus; idNone for none.
  virtual ControlId Focused() const = 0;
  virtual bool Enabled(ControlId id) const = 0;
  // The platform's focus change: the control told it was entered, if it took the focus.
  virtual void MoveFocus(ControlId id) = 0;
  virtual void RepaintButtons() = 0;
  // Whether the mouse button of a press is still down.
  virtual bool PressHeld() const = 0;
  virtual void Close() = 0;
};

class FocusKeeper {
 public:
  FocusKeeper(FocusView& view, FocusEvents& handlers) : view_(view), handlers_(handlers) {}

  // The focus to `id`; before the window is shown, kept for its showing.
  void Give(ControlId id);
  // Whether `id` has the focus or gets it back when the window is next active.
  bool Holds(ControlId id) const;
  void WindowShown();
  // A control took the focus: the control left runs its exit handler, then
  // the entered one reacts.
  void Entered(ControlId id);
  // The window was activated, or took the focus itself: the focus goes back
  // where it was. False when no control took it.
  bool Reactivated(bool minimized);
  // A mouse press on a button; true when the press goes on to the button.
  bool Pressed(ControlId button);
  // One of the window's keys; false when it goes on to the focused control.
  bool KeyPressed(WindowKey key, bool listDropped);
  // The selector's selection changed: by the wheel, while another control
  // has the focus, no exit will follow, so the refresh runs now.
  void SelectionChanged();
  void Click(ControlId button);

 private:
  FocusView& view_;
  FocusEvents& handlers_;
  // Where the focus returns when the window is shown or active again.
  ControlId returnsTo_ = idNone;
  // The control last left, or still holding the focus: the one whose exit
  // runs when another control takes it.
  ControlId lastHolder_ = idNone;
  bool shown_ = false;
};

}  // namespace ui
