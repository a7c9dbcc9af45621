// The main window's event handlers, apart from the window itself: they read
// and set the window's controls through FormView, so that the same code runs
// in kestrova.exe and against the simulated machine.
#pragma once

#include <optional>
#include <string>

#include "ui/focus.h"
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

class MainFormHandlers : public FocusEvents {
 public:
  // The write goes only to the drive the panels show, and only when they
  // allow it: with another drive chosen since, OK and Enter refresh instead.
  explicit MainFormHandlers(FormView& view) : view_(view) {}

  void FormShow();
  void drvcbDriveExit() override;
  void edtNVSNChange() override;
  void edtNVSNKeyDown() {}
  void bbnOKClick() override;

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
  // The selector's drive at the last refresh, whose panels the window
  // shows; none before the first.
  std::optional<char> refreshedDrive_;
  int running_ = 0;
  bool closeWanted_ = false;
};

}  // namespace ui
