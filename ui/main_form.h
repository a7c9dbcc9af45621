// The main window's event handlers, apart from the window itself: they read
// and set the window's controls through FormView, so that the same code runs
// in kestrova.exe and against the simulated machine.
#pragma once

#include <string>

#include "ui/layout.h"

namespace ui {

// What the handlers touch of the window.
class FormView {
 public:
  virtual ~FormView() = default;
  virtual std::string Caption(ControlId panel) const = 0;
  // Setting the text a control already shows changes nothing and raises nothing.
  virtual void SetCaption(ControlId panel, const std::string& text) = 0;
  virtual std::string EntryText() const = 0;
  // Raises the entry's change event when the text differs.
  virtual void SetEntryText(const std::string& text) = 0;
  virtual void SetOKEnabled(bool enabled) = 0;
  virtual char SelectedDrive() const = 0;
  virtual std::string SelectorText() const = 0;
  virtual void FocusSelector() = 0;
  // Asks for the window's close once more, from the message loop.
  virtual void RepeatClose() = 0;
};

// The OK button's rule: enabled exactly when the file-system caption holds
// neither "DF" nor "Not" and the entry holds exactly 8 bytes.
bool OKEnabledFor(const std::string& fileSystemCaption, const std::string& entry);

class MainFormHandlers {
 public:
  explicit MainFormHandlers(FormView& view) : view_(view) {}

  void FormShow();
  void drvcbDriveExit();
  void edtNVSNChange();
  void edtNVSNKeyDown() {}
  void bbnOKClick();

  // Whether the window may close now. Not while a handler runs: its dialog
  // lets a close in (End task, taskkill), and the handler would go on with
  // destroyed controls, an emptied entry read as serial 0000-0000. Such a
  // close is asked for again once the handler has returned.
  bool CanCloseNow();

 private:
  class Running;


  // The drive index from the selector; false when it has no current drive.
  bool SelectedDriveIndex(unsigned short* driveIndex) const;

  FormView& view_;
  int running_ = 0;
  bool closeWanted_ = false;
};

}  // namespace ui
