#include "ui/focus.h"

#include <algorithm>


namespace ui {
namespace {

bool TakesFocus(ControlKind kind) {
  return kind == ControlKind::DriveSelector || kind == ControlKind::Edit ||
         kind == ControlKind::GlyphButton;
}

std::vector<ControlId> MakeFocusOrder() {
  std::vector<const ControlLayout*> focusable;
  for (const ControlLayout& control : kMainLayout)
    if (TakesFocus(control.kind)) focusable.push_back(&control);
  std::stable_sort(focusable.begin(), focusable.end(),
                   [](const ControlLayout* a, const ControlLayout* b) {
                     return a->tabOrder < b->tabOrder;
                   });
  std::vector<ControlId> order(focusable.size());
  std::transform(focusable.begin(), focusable.end(), order.begin(),
                 [](const ControlLayout* control) { return control->id; });
  return order;
}

}  // namespace

const std::vector<ControlId>& FocusOrder() {
  static const std::vector<ControlId> order = MakeFocusOrder();
  return order;
}

ControlId NextInFocusOrder(ControlId from, bool forward,
                           const std::function<bool(ControlId)>& enabled) {
  const std::vector<ControlId>& order = FocusOrder();
  const size_t count = order.size();
  size_t current = 0;
  for (size_t i = 0; i < count; ++i)
    if (order[i] == from) current = i;
  for (size_t step = 1; step <= count; ++step) {
    const ControlId next = order[(current + (forward ? step : count - step)) % count];
    if (enabled(next)) return next;
  }
  return idNone;
}

bool DrawsDefaultFrame(ControlId button, ControlId focused) {
  return button == idBbnOK ? focused != idBbnQuit : focused == button;
}

void FocusKeeper::Give(ControlId id) {
  // Kept first: a focus change refused while a dialog is open still
  // returns here when the window is active again.
  returnsTo_ = id;
  if (shown_) view_.MoveFocus(id);
}

bool FocusKeeper::Holds(ControlId id) const { return view_.Focused() == id || returnsTo_ == id; }

void FocusKeeper::WindowShown() {
  shown_ = true;
  if (returnsTo_ != idNone) view_.MoveFocus(returnsTo_);
}

void FocusKeeper::Entered(ControlId id) {
  const ControlId left = lastHolder_;
  // Recorded before any handler runs, so that a dialog shown by the exit
  // handler gives the focus back to the control entered.
  lastHolder_ = id;
  returnsTo_ = id;
  // Every focus change moves the default frame, a return from a dialog too.
  view_.RepaintButtons();
  if (left == id) return;
  if (left == idDrvcbDrive) handlers_.drvcbDriveExit();
  if (id == idEdtNVSN) handlers_.edtNVSNChange();
}

bool FocusKeeper::Reactivated(bool minimized) {
  // A minimised window shows no control: the keys must not reach one.
  if (minimized || returnsTo_ == idNone || !view_.Enabled(returnsTo_)) return false;
  view_.MoveFocus(returnsTo_);
  return true;
}

bool FocusKeeper::Pressed(ControlId button) {
  if (view_.Focused() == button) return true;
  view_.MoveFocus(button);
  if (view_.Focused() != button || !view_.Enabled(button)) return false;
  if (view_.PressHeld()) return true;
  // A dialog of the exit handler took the release: the click follows now.
  Click(button);
  return false;
}

bool FocusKeeper::KeyPressed(WindowKey key, bool listDropped) {
  const ControlId focused = view_.Focused();
  switch (key) {
    case WindowKey::Tab:
    case WindowKey::ShiftTab: {
      const ControlId next = NextInFocusOrder(focused, key == WindowKey::Tab,
                                              [this](ControlId id) { return view_.Enabled(id); });
      if (next != idNone) view_.MoveFocus(next);
      return true;
    }
    case WindowKey::AltQ:
      Click(idBbnQuit);  // the accelerator moves no focus
      return true;
    case WindowKey::Enter:
      if (focused == idBbnOK || focused == idBbnQuit) {
        Click(focused);  // a focused button takes Enter itself
        return true;
      }
      if (focused == idDrvcbDrive && listDropped) return false;  // the open list takes it
      Click(idBbnOK);  // the default button
      return true;
  }
  return false;
}

void FocusKeeper::SelectionChanged() {
  if (view_.Focused() != idDrvcbDrive) handlers_.drvcbDriveExit();
}

void FocusKeeper::Click(ControlId button) {
  if (!view_.Enabled(button)) return;
  if (button == idBbnOK) handlers_.bbnOKClick();
  if (button == idBbnQuit) view_.Close();
}

}  // namespace ui
